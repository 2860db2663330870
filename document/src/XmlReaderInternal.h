// The reader's view of the report text: elements as the streaming parser
// delivers them, and what a load collects on its way through the text.
#pragma once

#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "TarvikDocument.h"
#include "XmlFields.h"

// One element at the parser's current position, with its attributes.
struct RQTarvikDocument::XmlNode {
    const xmlNode* node = nullptr;
    RQTarvikDocument::XmlReadState* state = nullptr;

    // Calls visit(name, value) for every attribute without a namespace
    // prefix, in document order. Entity references in a value are expanded
    // within a fixed budget; false when the budget is exceeded.
    template <class Visit>
    bool ForEachAttribute(Visit&& visit) const;
};

// The state of one load: where the text comes from, what the parser said
// and what was collected for the record.
struct RQTarvikDocument::XmlReadState {
    // Pieces of the text handed to the parser in order (the root start tag
    // normalised).
    std::vector<std::string_view> pieces;
    std::size_t piece = 0, offset = 0;
    // Then the rest of the file, when the text is only its beginning.
    int fd = -1;
    std::size_t fileSize = 0, fileRead = 0;
    // An 8-bit text: it ends at its first zero byte.
    bool endsAtZero = false;
    int readError = 0;

    // How the messages name the text: "Файл «…»" or "Текст отчета".
    std::string subject;
    std::string locative;  // "в файле «…»" or "в тексте отчета"

    xmlTextReaderPtr reader = nullptr;
    std::string parserMessage;
    int parserLine = 0;
    bool parserFatal = false;
    bool entityBudgetExceeded = false;
    std::string valueBuffer;

    int titleCount = 0;
    int infoCount = 0;
    // Collected in blocks: no row is moved while the text is read.
    std::deque<RQForm4PayOrder> payOrders;
    std::deque<RQForm4Table6_1> dogovRows;
    std::deque<RQForm4TableSKE> skeRows;
};

namespace tarvik::xml {

// A reader's description of one attribute: its exact name and its field.
template <class R>
struct ReadField {
    const char* name;
    Locator<R> at;
};

// The value of an attribute: its text, with entity references expanded up
// to budget bytes in total. False when the budget would be exceeded.
bool AttributeValue(const xmlAttr* attribute, std::string& value, std::size_t budget);

// Stores the attribute text into the field as its type reads it.
void StoreField(const FieldAddr& field, std::string_view text);

// Reads every attribute of the node that names a field of the table.
template <class R, std::size_t N>
bool ReadAttributes(const RQTarvikDocument::XmlNode& node, R& record,
                    const ReadField<R> (&fields)[N]) {
    std::size_t next = 0;  // attributes usually come in the table's order
    return node.ForEachAttribute([&](const char* name, std::string_view value) {
        for (std::size_t k = 0; k < N; ++k) {
            const std::size_t i = (next + k) % N;
            if (std::strcmp(name, fields[i].name) == 0) {
                StoreField(fields[i].at(record), value);
                next = i + 1;
                return;
            }
        }
    });
}

}  // namespace tarvik::xml

template <class Visit>
bool RQTarvikDocument::XmlNode::ForEachAttribute(Visit&& visit) const {
    constexpr std::size_t kValueBudget = 1 << 20;
    for (const xmlAttr* a = node ? node->properties : nullptr; a; a = a->next) {
        if (a->ns) continue;
        const char* name = reinterpret_cast<const char*>(a->name);
        const xmlNode* c = a->children;
        if (!c) {
            visit(name, std::string_view());
        } else if (c->type == XML_TEXT_NODE && !c->next && c->content) {
            visit(name, std::string_view(reinterpret_cast<const char*>(c->content)));
        } else {
            if (!tarvik::xml::AttributeValue(a, state->valueBuffer, kValueBudget)) {
                state->entityBudgetExceeded = true;
                return false;
            }
            visit(name, std::string_view(state->valueBuffer));
        }
    }
    return true;
}
