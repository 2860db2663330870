// The resources compiled into the library: the schemas of the two dialects
// and the print stylesheet.
#include <cstring>
#include <new>

#include "TarvikDocument.h"
#include "XmlSchema.h"

extern const unsigned char tarvik_resource_exchange[];
extern const std::size_t tarvik_resource_exchange_size;
extern const unsigned char tarvik_resource_extended[];
extern const std::size_t tarvik_resource_extended_size;
extern const unsigned char tarvik_resource_print[];
extern const std::size_t tarvik_resource_print_size;

namespace tarvik::xml {

std::string_view EmbeddedResource(RQTarvikDocument::XML_TYPE type) {
    auto view = [](const unsigned char* data, std::size_t size) {
        return std::string_view(reinterpret_cast<const char*>(data), size);
    };
    switch (type) {
        case RQTarvikDocument::XML_EXCHANGE:
            return view(tarvik_resource_exchange, tarvik_resource_exchange_size);
        case RQTarvikDocument::XML_EXTENDED:
            return view(tarvik_resource_extended, tarvik_resource_extended_size);
        case RQTarvikDocument::XML_PRINT_XSL:
            return view(tarvik_resource_print, tarvik_resource_print_size);
    }
    return {};
}

}  // namespace tarvik::xml

int GetFormScheme(RQTarvikDocument::XML_TYPE type, char*& buffer, int& length) {
    if (type != RQTarvikDocument::XML_EXCHANGE && type != RQTarvikDocument::XML_EXTENDED &&
        type != RQTarvikDocument::XML_PRINT_XSL)
        return 0;
    length = 0;
    Form4Document_Delete(buffer);
    const std::string_view resource = tarvik::xml::EmbeddedResource(type);
    if (resource.empty()) return 0;
    length = static_cast<int>(resource.size());
    char* copy = new (std::nothrow) char[resource.size() + 1];
    if (!copy) return 0;
    std::memcpy(copy, resource.data(), resource.size());
    copy[resource.size()] = '\0';
    buffer = copy;
    return 1;
}
