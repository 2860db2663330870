// Loading the report from a file or a text: a single pass of libxml2's
// streaming reader fills the record; the element lookups, the attribute
// readings, the status codes and the state each failure leaves are those
// of a lookup of the elements anywhere in the document.
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <string_view>

#include "FileAccess.h"
#include "TarvikDocument.h"
#include "XmlReaderInternal.h"
#include "XmlText.h"

namespace {

using namespace tarvik::xml;

constexpr int kOk = 0;
constexpr int kNotEnoughMemory = 8;
constexpr int kMissingNode = 87;
constexpr int kBadStructure = 232;
constexpr int kFunctionFailed = 1627;

constexpr std::string_view kBareDeclaration = R"(<?xml version="1.0"?>)";
constexpr std::string_view kCp1251Declaration = R"(<?xml version="1.0" encoding="windows-1251"?>)";

// ----- The fields each element gives

#define R RQForm4TitleList
const ReadField<R> kTitleFields[] = {
    {"REG_NUM", TARVIK_FIELD(REG_NUM)},
    {"KPS_NUM", TARVIK_FIELD(KPS_NUM)},
    {"INN", TARVIK_FIELD(INN)},
    {"KPP", TARVIK_FIELD(KPP)},
    {"OGRN", TARVIK_FIELD(OGRN)},
    {"OKVED", TARVIK_FIELD(OKVED)},
    {"QUART_NUM", TARVIK_FIELD(QUART_NUM)},
    {"YEAR_NUM", TARVIK_FIELD(YEAR_NUM)},
    {"NAME", TARVIK_FIELD(NAME)},
    {"CRE_DATE", TARVIK_FIELD(CRE_DATE)},
    {"LIKV", TARVIK_FIELD(LIKV)},
    {"CEO", TARVIK_FIELD(CEO)},
    {"CFO", TARVIK_FIELD(CFO)},
    {"AUTHOR", TARVIK_FIELD(AUTHOR)},
    {"PHONE", TARVIK_FIELD(PHONE)},
    {"NumCorr", TARVIK_FIELD(NumCorr)},
    {"NumDot", TARVIK_FIELD(NumDot)},
    {"T1R1C2", TARVIK_FIELD(T1R1C2)},
    {"T1R4C2", TARVIK_FIELD(T1R4C2)},
    {"T1R6C2", TARVIK_FIELD(T1R6C2)},
    {"BO_IF", TARVIK_FIELD(BO_IF)},
    {"CADDR", TARVIK_FIELD(CADDR)},
    {"EMAIL", TARVIK_FIELD(EMAIL)},
    {"POST_INDEX", TARVIK_FIELD(POST_INDEX)},
    {"ADDRESS_1", TARVIK_FIELD(ADDRESS_1)},
    {"ADDRESS_2", TARVIK_FIELD(ADDRESS_2)},
    {"ADDRESS_3", TARVIK_FIELD(ADDRESS_3)},
    {"ADDRESS_4", TARVIK_FIELD(ADDRESS_4)},
    {"ADDRESS_5", TARVIK_FIELD(ADDRESS_5)},
    {"HOUSE", TARVIK_FIELD(HOUSE)},
    {"KORPUS", TARVIK_FIELD(KORPUS)},
    {"OFFICE", TARVIK_FIELD(OFFICE)},
    {"Upoln", TARVIK_FIELD(Upoln)},
    {"UpolnDoc", TARVIK_FIELD(UpolnDoc)},
};
#undef R

#define R RQForm4Chapter2
const ReadField<R> kChapterFields[] = {
    {"IS_INV", TARVIK_FIELD(IS_INV)},
    {"IS_BUDJET", TARVIK_FIELD(IS_BUDJET)},
    {"T1R3C2", TARVIK_FIELD(Table6.T1R3C2)},
    {"T1R5C2", TARVIK_FIELD(Table6.T1R5C2)},
    {"NC", TARVIK_FIELD(Table6.NC)},
    {"C1", TARVIK_FIELD(Table6.C1)},
    {"I1", TARVIK_FIELD(Table6.I1)},
    {"NC1", TARVIK_FIELD(Table6.NC1)},
    {"C2", TARVIK_FIELD(Table6.C2)},
    {"I2", TARVIK_FIELD(Table6.I2)},
    {"NC2", TARVIK_FIELD(Table6.NC2)},
    {"C3", TARVIK_FIELD(Table6.C3)},
    {"I3", TARVIK_FIELD(Table6.I3)},
    {"NC3", TARVIK_FIELD(Table6.NC3)},
    {"RATE_MIS", TARVIK_FIELD(Table6.RATE_MIS)},
    {"RATE_DEC", TARVIK_FIELD(Table6.RATE_DEC)},
    {"INC_DATE", TARVIK_FIELD(Table6.INC_DATE)},
    {"RATE_INC", TARVIK_FIELD(Table6.RATE_INC)},
    {"T7R1C1", TARVIK_FIELD(Table7.T7R1C1)},
    {"T7R3C1", TARVIK_FIELD(Table7.T7R3C1)},
    {"T7R5C1", TARVIK_FIELD(Table7.T7R5C1)},
    {"T7R6C1", TARVIK_FIELD(Table7.T7R6C1)},
    {"T7R7C1", TARVIK_FIELD(Table7.T7R7C1)},
    {"T7R9C1", TARVIK_FIELD(Table7.T7R9C1)},
    {"T7R13C1", TARVIK_FIELD(Table7.T7R13C1)},
    {"T7R11C1", TARVIK_FIELD(Table7.T7R11C1)},
    {"T7R16C1", TARVIK_FIELD(Table7.T7R16C1)},
    {"T7R17C61", TARVIK_FIELD(Table7.T7R17C61)},
    {"T7R18C1", TARVIK_FIELD(Table7.T7R18C1)},
    {"T7R39C1", TARVIK_FIELD(Table7.T7R39C1)},
    {"T7R19C1", TARVIK_FIELD(Table7.T7R19C1)},
    {"T7R40C1", TARVIK_FIELD(Table7.T7R40C1)},
    {"T7R21C1", TARVIK_FIELD(Table7.T7R21C1)},
    {"T7R23C1", TARVIK_FIELD(Table7.T7R23C1)},
    {"T7R24C1", TARVIK_FIELD(Table7.T7R24C1)},
    {"T7R25C1", TARVIK_FIELD(Table7.T7R25C1)},
    {"T7R27C1", TARVIK_FIELD(Table7.T7R27C1)},
    {"T7R29C1", TARVIK_FIELD(Table7.T7R29C1)},
    {"T7R30C1", TARVIK_FIELD(Table7.T7R30C1)},
    {"T7R31C1", TARVIK_FIELD(Table7.T7R31C1)},
    {"T7R38C1", TARVIK_FIELD(Table7.T7R38C1)},
    {"T7R34C1", TARVIK_FIELD(Table7.T7R34C1)},
    {"T7R35C1", TARVIK_FIELD(Table7.T7R35C1)},
    {"T7R41C1", TARVIK_FIELD(Table7.T7R41C1)},
    {"T7R42C1", TARVIK_FIELD(Table7.T7R42C1)},
    {"T6R3C1", TARVIK_FIELD(Table8.T6R3C1)},
    {"T6R3C2", TARVIK_FIELD(Table8.T6R3C2)},
    {"T6R13C1", TARVIK_FIELD(Table8.T6R13C1)},
    {"T6R13C2", TARVIK_FIELD(Table8.T6R13C2)},
    {"T6R4C1", TARVIK_FIELD(Table8.T6R4C1)},
    {"T6R4C2", TARVIK_FIELD(Table8.T6R4C2)},
    {"T6R8C1", TARVIK_FIELD(Table8.T6R8C1)},
    {"T6R8C2", TARVIK_FIELD(Table8.T6R8C2)},
    {"T6R14C1", TARVIK_FIELD(Table8.T6R14C1)},
    {"T6R14C2", TARVIK_FIELD(Table8.T6R14C2)},
    {"T6R9C1", TARVIK_FIELD(Table8.T6R9C1)},
    {"T6R9C2", TARVIK_FIELD(Table8.T6R9C2)},
    {"T6R5C1", TARVIK_FIELD(Table8.T6R5C1)},
    {"T6R5C2", TARVIK_FIELD(Table8.T6R5C2)},
    {"T6R6C1", TARVIK_FIELD(Table8.T6R6C1)},
    {"T6R6C2", TARVIK_FIELD(Table8.T6R6C2)},
    {"T6R10C2", TARVIK_FIELD(Table8.T6R10C2)},
    {"T6R11C2", TARVIK_FIELD(Table8.T6R11C2)},
    {"M1", TARVIK_FIELD(Table9.M1)},
    {"M2", TARVIK_FIELD(Table9.M2)},
    {"M3", TARVIK_FIELD(Table9.M3)},
    {"M5", TARVIK_FIELD(Table9.M5)},
    {"ATT_C1", TARVIK_FIELD(Table10.ATT_C1)},
    {"ATT_C2", TARVIK_FIELD(Table10.ATT_C2)},
    {"ATT_CL3", TARVIK_FIELD(Table10.ATT_CL3)},
    {"ATT_CL4", TARVIK_FIELD(Table10.ATT_CL4)},
    {"MED_C1", TARVIK_FIELD(Table10.MED_C1)},
    {"MED_C2", TARVIK_FIELD(Table10.MED_C2)},
    // Computed totals of the extended dialect; T7_SUMR10C3 and T7_SUMR13C3
    // are not read.
    {"T6_SUM_C6", TARVIK_FIELD(Table6.T6_SUM_C6)},
    {"T6_SUM_R1C3", TARVIK_FIELD(Table6.T6_SUM_R1C3)},
    {"T6_SUM_R1C4", TARVIK_FIELD(Table6.T6_SUM_R1C4)},
    {"T6_SUM_R1C5", TARVIK_FIELD(Table6.T6_SUM_R1C5)},
    {"T6_SUM_R1C6", TARVIK_FIELD(Table6.T6_SUM_R1C6)},
    {"T7_SUMR2C1", TARVIK_FIELD(Table7.T7_SUMR2C1)},
    {"T7_SUMR2C3", TARVIK_FIELD(Table7.T7_SUMR2C3)},
    {"T7_SUMR8C3", TARVIK_FIELD(Table7.T7_SUMR8C3)},
    {"T7_SUMR11C1", TARVIK_FIELD(Table7.T7_SUMR11C1)},
    {"T7_SUMR11C3", TARVIK_FIELD(Table7.T7_SUMR11C3)},
    {"T7_SUMR12C1", TARVIK_FIELD(Table7.T7_SUMR12C1)},
    {"T7_SUMR12C3", TARVIK_FIELD(Table7.T7_SUMR12C3)},
    {"T7_SUMR18C3", TARVIK_FIELD(Table7.T7_SUMR18C3)},
    {"T8_SUM_R10C4", TARVIK_FIELD(Table8.T8_SUM_R10C4)},
    {"T9_SUM_R4C3", TARVIK_FIELD(Table9.T9_SUM_R4C3)},
};
#undef R

#define R RQForm4PayOrder
const ReadField<R> kPayOrderFields[] = {
    {"NUM", TARVIK_FIELD(NUM)},
    {"DT", TARVIK_FIELD(DT)},
    {"SUM", TARVIK_FIELD(SUM)},
};
#undef R

#define R RQForm4Table6_1
const ReadField<R> kDogovFields[] = {
    {"REG_NUM_P", TARVIK_FIELD(REG_NUM_P)},
    {"INN_P", TARVIK_FIELD(INN_P)},
    {"OKVED_P", TARVIK_FIELD(OKVED_P)},
    {"WRK_P", TARVIK_FIELD(WRK_P)},
    {"FOT_P", TARVIK_FIELD(FOT_P)},
    {"FOTINV_P", TARVIK_FIELD(FOTINV_P)},
    {"C1", TARVIK_FIELD(C1)},
    {"I1", TARVIK_FIELD(I1)},
    {"C2", TARVIK_FIELD(C2)},
    {"I2", TARVIK_FIELD(I2)},
    {"C3", TARVIK_FIELD(C3)},
    {"I3", TARVIK_FIELD(I3)},
    {"RATE_MIS_P", TARVIK_FIELD(RATE_MIS_P)},
    {"MIS_ALL_P", TARVIK_FIELD(MIS_ALL_P)},
};
#undef R

#define R RQForm4TableSKE
const ReadField<R> kSkeFields[] = {
    {"OKVED", TARVIK_FIELD(OKVED)},
    {"ID_RISC", TARVIK_FIELD(ID_RISC)},
    {"RATE_MIS", TARVIK_FIELD(RATE_MIS)},
    {"RATE_DEC", TARVIK_FIELD(RATE_DEC)},
    {"RATE_INC", TARVIK_FIELD(RATE_INC)},
    {"FOT", TARVIK_FIELD(FOT)},
    {"C1", TARVIK_FIELD(C1)},
    {"C2", TARVIK_FIELD(C2)},
    {"C3", TARVIK_FIELD(C3)},
    {"FOTINV", TARVIK_FIELD(FOTINV)},
    {"I1", TARVIK_FIELD(I1)},
    {"I2", TARVIK_FIELD(I2)},
    {"I3", TARVIK_FIELD(I3)},
    {"NC", TARVIK_FIELD(NC)},
    {"RECKON", TARVIK_FIELD(RECKON)},
};
#undef R

// ----- The text handed to the parser

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// The encoding named by the declaration at the start of the text; empty
// when there is none.
std::string DeclaredEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    std::string_view head = text.substr(0, std::min<std::size_t>(text.size(), 1024));
    head = head.substr(0, head.find("?>"));
    auto at = head.find("encoding");
    if (at == std::string_view::npos) return {};
    at = head.find_first_of("\"'", at);
    if (at == std::string_view::npos) return {};
    const auto end = head.find(head[at], at + 1);
    if (end == std::string_view::npos) return {};
    return std::string(head.substr(at + 1, end - at - 1));
}

bool IsKnownEncoding(const std::string& name) {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(name.c_str());
    if (!handler) return false;
    xmlCharEncCloseFunc(handler);
    return true;
}

// The encoding to decode the text with when it does not say what the parser
// can use: windows-1251 for a text without a byte order mark whose
// declaration names no encoding or one that no converter knows (such as
// "ANSI", which programs writing in the system's code page put there); null
// (the parser decides by the declaration) otherwise.
const char* FallbackEncoding(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 2) == "\xFE\xFF" ||
        text.substr(0, 2) == "\xFF\xFE")
        return nullptr;
    if (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0')) return nullptr;
    const std::string declared = DeclaredEncoding(text);
    if (!declared.empty() && IsKnownEncoding(declared)) return nullptr;
    return "windows-1251";
}

// Whether the text is UTF-16 or UTF-32 (a byte order mark, or a zero byte
// among its first two), whose characters carry zero bytes of their own.
bool IsWideText(std::string_view text) {
    return text.substr(0, 2) == "\xFE\xFF" || text.substr(0, 2) == "\xFF\xFE" ||
           (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
}

// Whether the text can be XML at all: after an optional byte order mark and
// blanks it starts with "<" (or it is UTF-16/32, which the parser judges).
bool LooksLikeMarkup(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0' ||
                             text.substr(0, 2) == "\xFE\xFF" || text.substr(0, 2) == "\xFF\xFE"))
        return true;
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '<';
}

// Splits the text into the pieces the parser reads: the root start tag
// "<F4REPORT ...>" loses its attributes (the Fund's namespace and schema
// location) and becomes a plain "<F4REPORT>" in its place, so that every
// element is read by its plain name.
std::vector<std::string_view> NormaliseRoot(std::string_view text) {
    static constexpr std::string_view kTag = "<F4REPORT";
    std::size_t root = 0;
    while ((root = text.find(kTag, root)) != std::string_view::npos) {
        const std::size_t next = root + kTag.size();
        if (next < text.size() && std::strchr(" \t\r\n>/", text[next]) != nullptr) break;
        root = next;
    }
    if (root == std::string_view::npos) return {text};
    const auto close = text.find('>', root);
    if (close == std::string_view::npos) return {text};
    const bool empty = text[close - 1] == '/';
    return {text.substr(0, root), empty ? "<F4REPORT/>" : "<F4REPORT>", text.substr(close + 1)};
}

int ReadPieces(void* context, char* buffer, int length) {
    auto& state = *static_cast<RQTarvikDocument::XmlReadState*>(context);
    int done = 0;
    while (done < length && state.piece < state.pieces.size()) {
        const std::string_view piece = state.pieces[state.piece];
        const std::size_t n = std::min<std::size_t>(piece.size() - state.offset,
                                                    static_cast<std::size_t>(length - done));
        std::memcpy(buffer + done, piece.data() + state.offset, n);
        done += static_cast<int>(n);
        state.offset += n;
        if (state.offset == piece.size()) {
            ++state.piece;
            state.offset = 0;
        }
    }
    if (done < length && state.fd >= 0) {
        long n = tarvik::file::ReadSome(state.fd, buffer + done,
                                        static_cast<std::size_t>(length - done));
        if (n < 0) {
            state.readError = errno;
            return -1;
        }
        state.fileRead += static_cast<std::size_t>(n);
        if (state.endsAtZero) {
            // The text ends at its first zero byte: the rest of the file is
            // not read.
            if (const void* zero = std::memchr(buffer + done, '\0', static_cast<std::size_t>(n))) {
                n = static_cast<const char*>(zero) - (buffer + done);
                state.fd = -1;
            }
        }
        done += static_cast<int>(n);
    }
    return done;
}

// Whether the beginning of a file holds the whole root start tag, or
// something other than blanks before it, so that the rest can be streamed.
bool HeadIsEnough(std::string_view head) {
    if (head.find_first_not_of(" \t\r\n") == std::string_view::npos) return false;
    const auto root = head.find("<F4REPORT");
    return root != std::string_view::npos && head.find('>', root) != std::string_view::npos;
}

void CollectError(void* context, xmlErrorPtr error) {
    auto& state = *static_cast<RQTarvikDocument::XmlReadState*>(context);
    if (!error || error->level < XML_ERR_ERROR) return;
    const bool fatal = error->level == XML_ERR_FATAL;
    // The text is rejected at its first fatal error; stopping the parser of
    // the document there spares a text full of faults the cost of reporting
    // every one. (The parsers of entity contents, one level deeper, are left
    // to report their failure to the document's parser.)
    if (fatal && error->ctxt) {
        auto* parser = static_cast<xmlParserCtxtPtr>(error->ctxt);
        if (parser->depth == 0) xmlStopParser(parser);
    }
    if (!state.parserMessage.empty() && (state.parserFatal || !fatal)) return;
    state.parserFatal = fatal;
    state.parserLine = error->line;
    state.parserMessage = error->message ? error->message : "";
    while (!state.parserMessage.empty() &&
           (state.parserMessage.back() == '\n' || state.parserMessage.back() == ' '))
        state.parserMessage.pop_back();
}

std::string Quoted(const std::string& name) {
    return "«" + name + "»";
}

}  // namespace

// ----- Reading attribute values

namespace tarvik::xml {

namespace {

bool AppendNodes(const xmlDoc* doc, const xmlNode* node, std::string& value, std::size_t budget,
                 int depth) {
    if (depth > 40) return false;
    for (; node; node = node->next) {
        if (node->type == XML_TEXT_NODE && node->content) {
            value += reinterpret_cast<const char*>(node->content);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            const xmlEntity* entity = xmlGetDocEntity(doc, node->name);
            if (!entity) continue;
            if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
                if (entity->content) value += reinterpret_cast<const char*>(entity->content);
            } else if (entity->etype == XML_INTERNAL_GENERAL_ENTITY) {
                // External entities are never resolved; internal ones are
                // expanded from their parsed content within the budget.
                if (!AppendNodes(doc, entity->children, value, budget, depth + 1)) return false;
            }
        }
        if (value.size() > budget) return false;
    }
    return true;
}

}  // namespace

bool AttributeValue(const xmlAttr* attribute, std::string& value, std::size_t budget) {
    value.clear();
    return AppendNodes(attribute->doc, attribute->children, value, budget, 0);
}

void StoreField(const FieldAddr& field, std::string_view text) {
    void* target = const_cast<void*>(field.field);
    switch (field.type) {
        case FieldType::Text:
            static_cast<std::string*>(target)->assign(text);
            break;
        case FieldType::Int:
            *static_cast<int*>(target) = ReadInt(text);
            break;
        case FieldType::Amount:
            *static_cast<double*>(target) = ReadAmount(text);
            break;
        case FieldType::Date:
            ReadDate(text, *static_cast<time_t*>(target));
            break;
    }
}

}  // namespace tarvik::xml

// ----- Loading

void RQTarvikDocument::SetValidateError(std::string reason) {
    ValidateError = std::move(reason);
}

int RQTarvikDocument::LoadXML(XML_TYPE, const char* path) {
    using namespace tarvik::file;
    constexpr std::size_t kHead = 64 * 1024;
    const std::string pathText = path ? path : "";
    const std::string subject = "Файл " + Quoted(pathText);
    int result = kOk;
    InputFile file;
    std::string text;
    FileStatus status = file.Open(pathText.c_str());
    // The beginning of the file; the rest is streamed to the parser, unless
    // the whole text is needed here.
    if (status.code == 0) status = file.Read(std::min(file.Size(), kHead), text);
    const bool bare = StartsWithNoCase(text, kBareDeclaration);
    if (status.code == 0 && text.size() < file.Size() && (bare || !HeadIsEnough(text)))
        status = file.Read(file.Size() - text.size(), text);
    if (status.code == 0 && text.size() < std::min(file.Size(), kHead))
        status = {kFunctionFailed, "файл прочитан не полностью"};
    if (status.code != 0) {
        result = status.code;
        SetValidateError(subject + ": " + status.reason + ".");
    } else if (bare) {
        // A declaration without an encoding: the file is given the
        // windows-1251 declaration on disk, after a backup copy.
        if (text.size() < file.Size()) {
            result = kFunctionFailed;
            SetValidateError(subject + ": файл прочитан не полностью.");
        } else {
            const char* tmp = std::getenv("TMPDIR");
            std::string backup = tmp && *tmp ? tmp : "/tmp";
            if (backup.back() != '/') backup += '/';
            const std::time_t now = std::time(nullptr);
            std::tm local{};
            char stamp[64] = "";
            if (localtime_r(&now, &local))
                std::strftime(stamp, sizeof stamp, "%d.%m.%Y %H_%M_%S", &local);
            backup += "Halvorn/Dorrel/(" + std::string(stamp) + ")_" + BaseName(pathText);
            WriteWholeFile(backup, text);  // best effort: the folder may not exist

            const std::string_view rest = std::string_view(text).substr(kBareDeclaration.size());
            if (ReplaceFile(pathText.c_str(), kCp1251Declaration, rest) == 0)
                text.replace(0, kBareDeclaration.size(), kCp1251Declaration);
            result = LoadXMLText(text.data(), text.size(), pathText);
        }
    } else {
        const bool whole = text.size() >= file.Size();
        result = LoadXMLText(text.data(), text.size(), pathText, whole ? -1 : file.Descriptor(),
                             file.Size());
    }
    FileName = BaseName(pathText);
    return result;
}

// The text runs to its terminating zero; the length is not consulted.
int RQTarvikDocument::LoadXML(XML_TYPE, const char* text, int) {
    return LoadXMLText(text ? text : "", text ? std::strlen(text) : 0, std::string());
}

int RQTarvikDocument::LoadXMLText(const char* text, std::size_t size, const std::string& sourceName,
                                  int fd, std::size_t fileSize) {
    std::string_view content(text, size);
    Clear();
    XmlReadState state;
    if (sourceName.empty()) {
        state.subject = "Текст отчета";
        state.locative = "в тексте отчета";
    } else {
        state.subject = "Файл " + Quoted(sourceName);
        state.locative = "в файле " + Quoted(sourceName);
    }
    // An 8-bit text ends at its first zero byte, as a zero-terminated text
    // does: zero bytes after the report (padding that some programs leave
    // at the end of a file) and whatever follows them are not read.
    state.endsAtZero = !IsWideText(content);
    if (state.endsAtZero) {
        if (const auto zero = content.find('\0'); zero != std::string_view::npos) {
            content = content.substr(0, zero);
            fd = -1;
        }
    }
    state.fd = fd;
    state.fileSize = fileSize;
    state.fileRead = content.size();
    if (fd < 0 && content.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        SetValidateError(state.subject + " пуст: в нем нет XML-документа.");
        return kFunctionFailed;
    }
    if (!LooksLikeMarkup(content)) {
        SetValidateError(state.subject + " не является XML-документом: текст не начинается с «<».");
        return kFunctionFailed;
    }
    state.pieces = NormaliseRoot(content);
    // A fallback encoding is used instead of whatever the declaration says.
    const char* fallback = FallbackEncoding(content);
    state.reader = xmlReaderForIO(ReadPieces, nullptr, &state, nullptr, fallback,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                      (fallback ? XML_PARSE_IGNORE_ENC : 0));
    if (!state.reader) {
        SetValidateError(state.subject + ": не удалось запустить разбор XML.");
        return kFunctionFailed;
    }
    xmlTextReaderSetStructuredErrorHandler(state.reader, CollectError, &state);
    int result;
    try {
        result = ParseXMLDocument(nullptr, state, &Form4);
    } catch (const std::bad_alloc&) {
        Form4.Clear();
        SetValidateError(state.subject + ": недостаточно памяти для чтения отчета.");
        result = kNotEnoughMemory;
    }
    xmlFreeTextReader(state.reader);
    return result;
}

// Walks the text once. The first TITLE and the first F4INFO with its
// PAYM_ORDER children are read as they pass, the table rows are collected;
// the counts decide the result when the text has been read to its end.
int RQTarvikDocument::ParseXMLDocument(void* context, XmlReadState& state, RQForm4* form) {
    xmlTextReaderPtr reader = state.reader;
    int infoDepth = -1;  // depth of the first F4INFO while inside it
    int walk = kOk;
    int status;
    while (walk == kOk && (status = xmlTextReaderRead(reader)) == 1) {
        const int type = xmlTextReaderNodeType(reader);
        if (type == XML_READER_TYPE_END_ELEMENT) {
            if (xmlTextReaderDepth(reader) == infoDepth) infoDepth = -1;
            continue;
        }
        if (type != XML_READER_TYPE_ELEMENT) continue;
        const XmlNode node{xmlTextReaderCurrentNode(reader), &state};
        const std::string_view name(reinterpret_cast<const char*>(xmlTextReaderConstName(reader)));
        const int depth = xmlTextReaderDepth(reader);
        if (infoDepth >= 0 && depth == infoDepth + 1 && EqualsNoCase(name, "PAYM_ORDER")) {
            walk = ParsePayOrder(context, &node, &state.payOrders.emplace_back());
        }
        if (name == "TITLE") {
            if (++state.titleCount == 1) walk = ParseTitleList(context, node, form);
        } else if (name == "F4INFO") {
            if (++state.infoCount == 1) {
                walk = ParseChapter2(context, node, form);
                if (!xmlTextReaderIsEmptyElement(reader)) infoDepth = depth;
            }
        } else if (name == "F4DOGOV") {
            if (!ReadAttributes(node, state.dogovRows.emplace_back(), kDogovFields))
                walk = kFunctionFailed;
        } else if (name == "F4DECODE") {
            if (!ReadAttributes(node, state.skeRows.emplace_back(), kSkeFields))
                walk = kFunctionFailed;
        }
    }
    if (walk == kOk && status == 0 && state.fd >= 0 && state.fileRead < state.fileSize) {
        form->Clear();
        SetValidateError(state.subject + ": файл прочитан не полностью.");
        return kFunctionFailed;
    }
    if (walk != kOk || status != 0) {
        form->Clear();
        if (state.readError != 0) {
            SetValidateError(state.subject + ": не удалось прочитать файл: " +
                             tarvik::file::SystemMessage(state.readError) + ".");
            return state.readError;
        }
        if (state.entityBudgetExceeded) {
            SetValidateError(state.subject +
                             ": значение атрибута после подстановки сущностей слишком велико.");
        } else if (!state.parserMessage.empty()) {
            SetValidateError(state.subject + " не является правильным XML-документом: строка " +
                             std::to_string(state.parserLine) + ": " + state.parserMessage + ".");
        } else {
            SetValidateError(state.subject + " не является правильным XML-документом.");
        }
        return kFunctionFailed;
    }

    if (state.titleCount != 1) {
        form->Clear();
        SetValidateError(state.titleCount == 0
                             ? "Нет титульного листа (элемента TITLE) " + state.locative + "."
                             : "Титульный лист (элемент TITLE) должен быть один, а " +
                                   state.locative + " их " + std::to_string(state.titleCount) +
                                   ".");
        return kBadStructure;
    }
    if (state.infoCount == 0) {
        form->Chapter2.Clear();
        SetValidateError("Нет раздела 1 (элемента F4INFO) " + state.locative + ".");
        return kBadStructure;
    }

    // The pay orders of the first F4INFO.
    const int payOrders = static_cast<int>(state.payOrders.size());
    form->Chapter2.PayOrderCount = payOrders;
    if (payOrders > 0) {
        if (!form->Chapter2.AllocPayOrder()) {
            form->Chapter2.PayOrderCount = 0;
            SetValidateError("Недостаточно памяти для платежных поручений " + state.locative + ".");
            return kNotEnoughMemory;
        }
        for (int i = 0; i < payOrders; ++i)
            form->Chapter2.PayOrders[i] = std::move(state.payOrders[i]);
    }
    state.payOrders.clear();

    if (!state.dogovRows.empty()) {
        if (const int result = ParseTable61Table(context, state, form); result != kOk)
            return result;
    }
    if (!state.skeRows.empty()) return ParseSKETable(context, state, form);
    return kOk;
}

int RQTarvikDocument::ParseTitleList(void*, const XmlNode& title, RQForm4* form) {
    RQForm4TitleList& t = form->TitleList;
    if (!ReadAttributes(title, t, kTitleFields)) return kFunctionFailed;
    const bool noParts = t.POST_INDEX.empty() && t.ADDRESS_1.empty() && t.ADDRESS_2.empty() &&
                         t.ADDRESS_3.empty() && t.ADDRESS_4.empty() && t.ADDRESS_5.empty() &&
                         t.HOUSE.empty() && t.KORPUS.empty() && t.OFFICE.empty();
    if (noParts && !t.CADDR.empty()) ParseAddressString(form);
    return kOk;
}

int RQTarvikDocument::ParseChapter2(void*, const XmlNode& info, RQForm4* form) {
    return ReadAttributes(info, form->Chapter2, kChapterFields) ? kOk : kFunctionFailed;
}

int RQTarvikDocument::ParsePayOrder(void*, const XmlNode* node, RQForm4PayOrder* payOrder) {
    if (!node || !payOrder) return kMissingNode;
    return ReadAttributes(*node, *payOrder, kPayOrderFields) ? kOk : kFunctionFailed;
}

int RQTarvikDocument::ParseTable61Table(void*, XmlReadState& state, RQForm4* form) {
    RQForm4Chapter2& chapter = form->Chapter2;
    chapter.Table6_1Count = static_cast<int>(state.dogovRows.size());
    if (!chapter.AllocTable6_1()) {
        chapter.Table6_1Count = 0;
        SetValidateError("Недостаточно памяти для строк таблицы 1.1 " + state.locative + ".");
        return kNotEnoughMemory;
    }
    for (int i = 0; i < chapter.Table6_1Count; ++i) {
        chapter.Table6_1Rows[i] = std::move(state.dogovRows.front());
        state.dogovRows.pop_front();
    }
    return kOk;
}

int RQTarvikDocument::ParseSKETable(void*, XmlReadState& state, RQForm4* form) {
    form->SKECount = static_cast<int>(state.skeRows.size());
    if (!form->AllocTableSKE()) {
        form->SKECount = 0;
        SetValidateError("Недостаточно памяти для строк таблицы СКЕ " + state.locative + ".");
        return kNotEnoughMemory;
    }
    for (int i = 0; i < form->SKECount; ++i) {
        form->SKERows[i] = std::move(state.skeRows.front());
        state.skeRows.pop_front();
    }
    return kOk;
}
