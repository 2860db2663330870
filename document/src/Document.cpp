// The document object: one report record, its findings and the texts the
// library keeps about itself.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "TarvikDocument.h"

namespace {

// "dd.mm.yyyy" of the library file's modification time, local time.
std::optional<std::string> LibraryFileDate() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFileDate), &info) == 0 || !info.dli_fname)
        return std::nullopt;
    struct stat st {};
    if (stat(info.dli_fname, &st) != 0) return std::nullopt;
    std::tm local{};
    if (!localtime_r(&st.st_mtime, &local)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900);
    return std::string(text);
}

const char* TextOrNull(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

}  // namespace

RQTarvikDocument::RQTarvikDocument()
    : ProductVersion(TARVIK_PRODUCT_VERSION), BuildDate(LibraryFileDate()) {}

RQTarvikDocument::RQTarvikDocument(const RQTarvikDocument& other) = default;

RQTarvikDocument& RQTarvikDocument::operator=(const RQTarvikDocument& other) = default;

RQTarvikDocument::~RQTarvikDocument() = default;

void RQTarvikDocument::Clear() {
    Form4.Clear();
    ValidateError.reset();
    FileName.reset();
}

const char* RQTarvikDocument::GetValidateError() const {
    return TextOrNull(ValidateError);
}

const char* RQTarvikDocument::GetFileName() const {
    return TextOrNull(FileName);
}

const char* RQTarvikDocument::GetProductVersion() const {
    return TextOrNull(ProductVersion);
}

const char* RQTarvikDocument::GetBuildDate() const {
    return TextOrNull(BuildDate);
}

void Form4Document_Delete(char*& buffer) {
    delete[] buffer;
    buffer = nullptr;
}

void Form4Document_Free(char*& buffer) {
    std::free(buffer);
    buffer = nullptr;
}
