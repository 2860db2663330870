// The element and attribute declarations of the embedded schemas, read by
// a plain parse of the schema text in document order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TarvikDocument.h"

namespace tarvik::xml {

// One element declaration: its attributes in declaration order and the
// elements its content model lists directly (nested groups are not
// entered, occurrence bounds are not consulted).
struct SchemaElement {
    std::string name;
    std::vector<std::string> attributes;
    std::vector<SchemaElement> children;

    const SchemaElement* Child(std::string_view childName) const;
};

// The embedded resource of a type (schema 101, 102 or the stylesheet 103);
// empty for any other type.
std::string_view EmbeddedResource(RQTarvikDocument::XML_TYPE type);

// Parses the top-level element declarations of a schema text. Returns
// false when the text is not a schema the walk understands.
bool ParseSchemaElements(std::string_view schemaText, std::vector<SchemaElement>& elements);

// The root element declaration (F4REPORT) of the dialect's embedded schema,
// parsed once and kept; null when the type has no schema or it cannot be
// read.
const SchemaElement* DialectRoot(RQTarvikDocument::XML_TYPE type);

}  // namespace tarvik::xml
