#include "PageCache.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tarvik_pages {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

// True when the file at path holds exactly text.
bool FileHolds(const std::string& path, std::string_view text) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool same = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                static_cast<std::uint64_t>(info.st_size) == text.size();
    std::vector<char> chunk(64 * 1024);
    std::size_t offset = 0;
    while (same) {
        ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            same = got == 0 && offset == text.size();
            break;
        }
        std::size_t n = static_cast<std::size_t>(got);
        same = offset + n <= text.size() && text.compare(offset, n, chunk.data(), n) == 0;
        offset += n;
    }
    close(fd);
    return same;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t put = write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string PageFolder() {
    std::string root;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') {
        root = cache;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) return {};
        root = home + "/.cache";
    }
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root + "/tarvik/pages/" + std::string(PagesVersionText());
}

std::optional<std::string> WritePageFile(const std::string& folder, const Page& page) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) return std::nullopt;

    std::string path = folder + "/" + std::string(page.FileName);
    if (FileHolds(path, page.Text)) return path;

    // A partly written page must never be shown: write aside, then rename.
    std::string temporary = folder + "/." + std::string(page.FileName) + ".XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    bool written = WriteAll(fd, page.Text);
    written = close(fd) == 0 && written;
    if (written) written = fchmodat(AT_FDCWD, temporary.c_str(), 0644, 0) == 0;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return std::nullopt;
    }
    return path;
}

std::string FileUrl(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 0x0F];
        }
    }
    return url;
}

}  // namespace tarvik_pages
