// Reads the element tree and the attribute order from an XSD text.
#include "XmlSchema.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

namespace tarvik::xml {

namespace {

constexpr const char* kXsdNamespace = "http://www.w3.org/2001/XMLSchema";
constexpr int kMaxDepth = 32;

bool IsXsd(const xmlNode* node, const char* localName) {
    return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), kXsdNamespace) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

std::string Prop(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value) return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// The local part of a QName ("xs:date" -> "date").
std::string LocalPart(const std::string& qname) {
    const auto colon = qname.find(':');
    return colon == std::string::npos ? qname : qname.substr(colon + 1);
}

class SchemaWalk {
public:
    explicit SchemaWalk(const xmlNode* schema) : schema_(schema) {}

    bool Element(const xmlNode* declaration, SchemaElement& out, int depth) {
        if (depth > kMaxDepth) return false;
        out.name = Prop(declaration, "name");
        if (out.name.empty()) return false;
        const xmlNode* type = nullptr;
        for (const xmlNode* c = declaration->children; c; c = c->next) {
            if (IsXsd(c, "complexType")) type = c;
        }
        if (!type) {
            const std::string typeName = LocalPart(Prop(declaration, "type"));
            if (!typeName.empty()) type = NamedComplexType(typeName);
        }
        if (!type) return true;  // a simple type: no attributes, no children
        for (const xmlNode* c = type->children; c; c = c->next) {
            if (IsXsd(c, "attribute")) {
                std::string name = Prop(c, "name");
                if (!name.empty()) out.attributes.push_back(std::move(name));
            } else if (IsXsd(c, "sequence") || IsXsd(c, "choice") || IsXsd(c, "all")) {
                for (const xmlNode* p = c->children; p; p = p->next) {
                    if (!IsXsd(p, "element")) continue;
                    out.children.emplace_back();
                    if (!Element(p, out.children.back(), depth + 1)) return false;
                }
            }
        }
        return true;
    }

private:
    const xmlNode* NamedComplexType(const std::string& name) const {
        for (const xmlNode* c = schema_->children; c; c = c->next) {
            if (IsXsd(c, "complexType") && Prop(c, "name") == name) return c;
        }
        return nullptr;
    }

    const xmlNode* schema_;
};

}  // namespace

const SchemaElement* SchemaElement::Child(std::string_view childName) const {
    for (const auto& child : children) {
        if (child.name == childName) return &child;
    }
    return nullptr;
}

bool ParseSchemaElements(std::string_view schemaText, std::vector<SchemaElement>& elements) {
    elements.clear();
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlReadMemory(schemaText.data(), static_cast<int>(schemaText.size()), nullptr, nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        &xmlFreeDoc);
    if (!doc) return false;
    const xmlNode* schema = xmlDocGetRootElement(doc.get());
    if (!IsXsd(schema, "schema")) return false;
    SchemaWalk walk(schema);
    for (const xmlNode* c = schema->children; c; c = c->next) {
        if (!IsXsd(c, "element")) continue;
        elements.emplace_back();
        if (!walk.Element(c, elements.back(), 0)) return false;
    }
    return !elements.empty();
}

const SchemaElement* DialectRoot(RQTarvikDocument::XML_TYPE type) {
    struct Dialects {
        std::vector<SchemaElement> exchange, extended;
        bool exchangeOk = false, extendedOk = false;
    };
    static const Dialects dialects = [] {
        Dialects d;
        d.exchangeOk =
            ParseSchemaElements(EmbeddedResource(RQTarvikDocument::XML_EXCHANGE), d.exchange);
        d.extendedOk =
            ParseSchemaElements(EmbeddedResource(RQTarvikDocument::XML_EXTENDED), d.extended);
        return d;
    }();
    if (type == RQTarvikDocument::XML_EXCHANGE && dialects.exchangeOk)
        return &dialects.exchange.front();
    if (type == RQTarvikDocument::XML_EXTENDED && dialects.extendedOk)
        return &dialects.extended.front();
    return nullptr;
}

}  // namespace tarvik::xml
