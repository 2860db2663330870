// Writing the report in either dialect. The document is streamed into a
// windows-1251 text in the shape of the skeleton the dialect's schema
// declares: every element in declaration order, every declared attribute
// in declaration order, those the writer does not fill with an empty value.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "FileAccess.h"
#include "TarvikDocument.h"
#include "XmlFields.h"
#include "XmlSchema.h"
#include "XmlText.h"

namespace {

using namespace tarvik::xml;

constexpr int kOk = 0;
constexpr int kNotEnoughMemory = 8;
constexpr int kFunctionFailed = 1627;

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="windows-1251"?>)";
constexpr std::string_view kFormInstruction = R"(<?F4FORM version="0.93"?>)";
// The root start tag of a saved report: the Fund's schema location and
// namespace.
constexpr std::string_view kSavedRoot =
    R"(<F4REPORT xsd:schemaLocation="http://fz122.fss.ru http://fz122.fss.ru/doc/f4form_2017_3.xsd")"
    R"( xmlns="http://fz122.fss.ru" xmlns:xsd="http://www.w3.org/2001/XMLSchema-instance">)";

// When an attribute is written: always (also when empty), only when not
// empty, or never.
enum class WriteClass { Always, OmitEmpty, Never };
// How its value is written.
enum class Format { Text, Text128, Int, Int2, Int3, Fixed1, Fixed2, Date };

template <class R>
struct WriteField {
    const char* name;
    WriteClass write;
    Format format;
    Locator<R> at;
};

constexpr auto Always = WriteClass::Always;
constexpr auto Omit = WriteClass::OmitEmpty;

// The title with the page numbers of the print form.
struct TitleRecord : RQForm4TitleList {
    int PageTitle = 0, PageTable6 = 0, PageTable61 = 0, PageTable7 = 0, PageTable8 = 0,
        PageTable10 = 0;
};

#define R TitleRecord
const WriteField<R> kTitleFields[] = {
    {"REG_NUM", Always, Format::Text, TARVIK_FIELD(REG_NUM)},
    {"KPS_NUM", Omit, Format::Text, TARVIK_FIELD(KPS_NUM)},
    {"INN", Always, Format::Text, TARVIK_FIELD(INN)},
    {"KPP", Omit, Format::Int, TARVIK_FIELD(KPP)},
    {"OGRN", Omit, Format::Text, TARVIK_FIELD(OGRN)},
    {"OKVED", Omit, Format::Text, TARVIK_FIELD(OKVED)},
    {"LIKV", Omit, Format::Int, TARVIK_FIELD(LIKV)},
    {"QUART_NUM", Always, Format::Int2, TARVIK_FIELD(QUART_NUM)},
    {"YEAR_NUM", Always, Format::Int, TARVIK_FIELD(YEAR_NUM)},
    {"NAME", Always, Format::Text, TARVIK_FIELD(NAME)},
    {"CRE_DATE", Omit, Format::Date, TARVIK_FIELD(CRE_DATE)},
    {"CEO", Always, Format::Text, TARVIK_FIELD(CEO)},
    {"PHONE", Omit, Format::Text, TARVIK_FIELD(PHONE)},
    {"CADDR", Omit, Format::Text128, TARVIK_FIELD(CADDR)},
    {"EMAIL", Omit, Format::Text, TARVIK_FIELD(EMAIL)},
    {"NumCorr", Omit, Format::Int, TARVIK_FIELD(NumCorr)},
    {"NumDot", Omit, Format::Int, TARVIK_FIELD(NumDot)},
    {"TaxType", WriteClass::Never, Format::Text, nullptr},
    {"TaxType2", WriteClass::Never, Format::Text, nullptr},
    {"TaxType3", WriteClass::Never, Format::Text, nullptr},
    {"T1R1C2", Always, Format::Int, TARVIK_FIELD(T1R1C2)},
    {"T1R2C2", WriteClass::Never, Format::Text, nullptr},
    {"T1R4C2", Omit, Format::Int, TARVIK_FIELD(T1R4C2)},
    {"T1R6C2", Omit, Format::Int, TARVIK_FIELD(T1R6C2)},
    {"BO_IF", Omit, Format::Int, TARVIK_FIELD(BO_IF)},
    {"Upoln", Omit, Format::Int, TARVIK_FIELD(Upoln)},
    {"UpolnDoc", Omit, Format::Text, TARVIK_FIELD(UpolnDoc)},
    // Declared by the extended dialect only.
    {"POST_INDEX", Always, Format::Text, TARVIK_FIELD(POST_INDEX)},
    {"ADDRESS_1", Always, Format::Text, TARVIK_FIELD(ADDRESS_1)},
    {"ADDRESS_2", Always, Format::Text, TARVIK_FIELD(ADDRESS_2)},
    {"ADDRESS_3", Always, Format::Text, TARVIK_FIELD(ADDRESS_3)},
    {"ADDRESS_4", Always, Format::Text, TARVIK_FIELD(ADDRESS_4)},
    {"ADDRESS_5", Always, Format::Text, TARVIK_FIELD(ADDRESS_5)},
    {"HOUSE", Always, Format::Text, TARVIK_FIELD(HOUSE)},
    {"KORPUS", Always, Format::Text, TARVIK_FIELD(KORPUS)},
    {"OFFICE", Always, Format::Text, TARVIK_FIELD(OFFICE)},
    {"PageTitle", Always, Format::Int3, TARVIK_FIELD(PageTitle)},
    {"PageTable6", Always, Format::Int3, TARVIK_FIELD(PageTable6)},
    {"PageTable61", Always, Format::Int3, TARVIK_FIELD(PageTable61)},
    {"PageTable7", Always, Format::Int3, TARVIK_FIELD(PageTable7)},
    {"PageTable8", Always, Format::Int3, TARVIK_FIELD(PageTable8)},
    {"PageTable10", Always, Format::Int3, TARVIK_FIELD(PageTable10)},
    {"PageCount", Always, Format::Int3, TARVIK_FIELD(PageCount)},
    {"DopPageCount", Always, Format::Int3, TARVIK_FIELD(DopPageCount)},
};
#undef R

#define R RQForm4Chapter2
#define AMOUNT(name, path) {name, Omit, Format::Fixed2, TARVIK_FIELD(path)}
#define TOTAL(name, path) {name, Always, Format::Fixed2, TARVIK_FIELD(path)}
#define COUNT(name, path) {name, Omit, Format::Int, TARVIK_FIELD(path)}
const WriteField<R> kChapterFields[] = {
    {"OKVED", WriteClass::Never, Format::Text, nullptr},
    COUNT("IS_INV", IS_INV),
    COUNT("IS_BUDJET", IS_BUDJET),
    {"T1R4C2", WriteClass::Never, Format::Text, nullptr},
    {"T1R6C2", WriteClass::Never, Format::Text, nullptr},
    AMOUNT("NC", Table6.NC),
    AMOUNT("NC1", Table6.NC1),
    AMOUNT("NC2", Table6.NC2),
    AMOUNT("NC3", Table6.NC3),
    AMOUNT("T1R3C2", Table6.T1R3C2),
    AMOUNT("C1", Table6.C1),
    AMOUNT("C2", Table6.C2),
    AMOUNT("C3", Table6.C3),
    AMOUNT("T1R5C2", Table6.T1R5C2),
    AMOUNT("I1", Table6.I1),
    AMOUNT("I2", Table6.I2),
    AMOUNT("I3", Table6.I3),
    {"RATE_MIS", Omit, Format::Fixed1, TARVIK_FIELD(Table6.RATE_MIS)},
    COUNT("RATE_DEC", Table6.RATE_DEC),
    {"INC_DATE", Omit, Format::Date, TARVIK_FIELD(Table6.INC_DATE)},
    COUNT("RATE_INC", Table6.RATE_INC),
    AMOUNT("T7R1C1", Table7.T7R1C1),
    AMOUNT("T7R3C1", Table7.T7R3C1),
    AMOUNT("T7R5C1", Table7.T7R5C1),
    AMOUNT("T7R6C1", Table7.T7R6C1),
    AMOUNT("T7R7C1", Table7.T7R7C1),
    AMOUNT("T7R9C1", Table7.T7R9C1),
    AMOUNT("T7R13C1", Table7.T7R13C1),
    AMOUNT("T7R11C1", Table7.T7R11C1),
    AMOUNT("T7R16C1", Table7.T7R16C1),
    AMOUNT("T7R17C61", Table7.T7R17C61),
    AMOUNT("T7R18C1", Table7.T7R18C1),
    AMOUNT("T7R39C1", Table7.T7R39C1),
    AMOUNT("T7R19C1", Table7.T7R19C1),
    AMOUNT("T7R40C1", Table7.T7R40C1),
    AMOUNT("T7R21C1", Table7.T7R21C1),
    AMOUNT("T7R23C1", Table7.T7R23C1),
    AMOUNT("T7R24C1", Table7.T7R24C1),
    AMOUNT("T7R25C1", Table7.T7R25C1),
    AMOUNT("T7R27C1", Table7.T7R27C1),
    AMOUNT("T7R29C1", Table7.T7R29C1),
    AMOUNT("T7R30C1", Table7.T7R30C1),
    AMOUNT("T7R31C1", Table7.T7R31C1),
    AMOUNT("T7R38C1", Table7.T7R38C1),
    AMOUNT("T7R34C1", Table7.T7R34C1),
    AMOUNT("T7R35C1", Table7.T7R35C1),
    AMOUNT("T7R41C1", Table7.T7R41C1),
    AMOUNT("T7R42C1", Table7.T7R42C1),
    COUNT("T6R3C1", Table8.T6R3C1),
    AMOUNT("T6R3C2", Table8.T6R3C2),
    COUNT("T6R13C1", Table8.T6R13C1),
    AMOUNT("T6R13C2", Table8.T6R13C2),
    COUNT("T6R4C1", Table8.T6R4C1),
    AMOUNT("T6R4C2", Table8.T6R4C2),
    COUNT("T6R8C1", Table8.T6R8C1),
    AMOUNT("T6R8C2", Table8.T6R8C2),
    COUNT("T6R14C1", Table8.T6R14C1),
    AMOUNT("T6R14C2", Table8.T6R14C2),
    COUNT("T6R9C1", Table8.T6R9C1),
    AMOUNT("T6R9C2", Table8.T6R9C2),
    COUNT("T6R5C1", Table8.T6R5C1),
    AMOUNT("T6R5C2", Table8.T6R5C2),
    COUNT("T6R6C1", Table8.T6R6C1),
    AMOUNT("T6R6C2", Table8.T6R6C2),
    AMOUNT("T6R10C2", Table8.T6R10C2),
    AMOUNT("T6R11C2", Table8.T6R11C2),
    COUNT("M1", Table9.M1),
    COUNT("M2", Table9.M2),
    COUNT("M3", Table9.M3),
    COUNT("M5", Table9.M5),
    COUNT("ATT_C1", Table10.ATT_C1),
    COUNT("ATT_C2", Table10.ATT_C2),
    COUNT("ATT_CL3", Table10.ATT_CL3),
    COUNT("ATT_CL4", Table10.ATT_CL4),
    COUNT("MED_C1", Table10.MED_C1),
    COUNT("MED_C2", Table10.MED_C2),
    // Totals of the extended dialect.
    TOTAL("T6_SUM_C6", Table6.T6_SUM_C6),
    TOTAL("T6_SUM_R1C3", Table6.T6_SUM_R1C3),
    TOTAL("T6_SUM_R1C4", Table6.T6_SUM_R1C4),
    TOTAL("T6_SUM_R1C5", Table6.T6_SUM_R1C5),
    TOTAL("T6_SUM_R1C6", Table6.T6_SUM_R1C6),
    TOTAL("T7_SUMR2C1", Table7.T7_SUMR2C1),
    TOTAL("T7_SUMR2C3", Table7.T7_SUMR2C3),
    TOTAL("T7_SUMR8C3", Table7.T7_SUMR8C3),
    TOTAL("T7_SUMR11C1", Table7.T7_SUMR11C1),
    TOTAL("T7_SUMR10C3", Table7.T7_SUMR10C3),
    TOTAL("T7_SUMR11C3", Table7.T7_SUMR11C3),
    TOTAL("T7_SUMR13C3", Table7.T7_SUMR13C3),
    TOTAL("T7_SUMR12C1", Table7.T7_SUMR12C1),
    TOTAL("T7_SUMR12C3", Table7.T7_SUMR12C3),
    TOTAL("T7_SUMR18C3", Table7.T7_SUMR18C3),
    TOTAL("T8_SUM_R10C4", Table8.T8_SUM_R10C4),
    {"T9_SUM_R4C3", Always, Format::Int, TARVIK_FIELD(Table9.T9_SUM_R4C3)},
};
#undef R

#define R RQForm4PayOrder
const WriteField<R> kPayOrderFields[] = {
    {"NUM", Always, Format::Text, TARVIK_FIELD(NUM)},
    {"DT", Always, Format::Date, TARVIK_FIELD(DT)},
    {"SUM", Always, Format::Fixed2, TARVIK_FIELD(SUM)},
};
#undef R

#define R RQForm4Table6_1
const WriteField<R> kDogovFields[] = {
    {"REG_NUM_P", Always, Format::Text, TARVIK_FIELD(REG_NUM_P)},
    {"INN_P", Always, Format::Text, TARVIK_FIELD(INN_P)},
    {"OKVED_P", Always, Format::Text, TARVIK_FIELD(OKVED_P)},
    COUNT("WRK_P", WRK_P),
    AMOUNT("FOT_P", FOT_P),
    AMOUNT("FOTINV_P", FOTINV_P),
    AMOUNT("C1", C1),
    AMOUNT("I1", I1),
    AMOUNT("C2", C2),
    AMOUNT("I2", I2),
    AMOUNT("C3", C3),
    AMOUNT("I3", I3),
    AMOUNT("RATE_MIS_P", RATE_MIS_P),
    AMOUNT("MIS_ALL_P", MIS_ALL_P),
};
#undef R

#define R RQForm4TableSKE
const WriteField<R> kSkeFields[] = {
    {"OKVED", Always, Format::Text, TARVIK_FIELD(OKVED)},
    {"ID_RISC", Always, Format::Int, TARVIK_FIELD(ID_RISC)},
    {"RATE_MIS", Always, Format::Fixed1, TARVIK_FIELD(RATE_MIS)},
    {"RATE_DEC", Always, Format::Int, TARVIK_FIELD(RATE_DEC)},
    {"RATE_INC", Always, Format::Int, TARVIK_FIELD(RATE_INC)},
    TOTAL("FOT", FOT),
    TOTAL("C1", C1),
    TOTAL("C2", C2),
    TOTAL("C3", C3),
    TOTAL("FOTINV", FOTINV),
    TOTAL("I1", I1),
    TOTAL("I2", I2),
    TOTAL("I3", I3),
    TOTAL("NC", NC),
    TOTAL("RECKON", RECKON),
};
#undef R
#undef AMOUNT
#undef TOTAL
#undef COUNT

// The attributes of one element in the schema's order, each with the field
// that fills it (null: declared but not filled, written empty). Fields whose
// attribute the schema does not declare are dropped.
template <class R>
struct Plan {
    struct Entry {
        const char* name;
        const WriteField<R>* field;
    };
    std::vector<Entry> entries;

    template <std::size_t N>
    Plan(const SchemaElement& element, const WriteField<R> (&fields)[N]) {
        std::unordered_map<std::string_view, const WriteField<R>*> byName;
        for (const auto& field : fields) byName.emplace(field.name, &field);
        entries.reserve(element.attributes.size());
        for (const std::string& attribute : element.attributes) {
            const auto it = byName.find(attribute);
            entries.push_back({attribute.c_str(), it == byName.end() ? nullptr : it->second});
        }
    }
};

void AppendAttribute(std::string& out, const char* name, std::string_view text) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendAttributeText(out, text);
    out += '"';
}

// Writes the attributes of one element from its record.
template <class R>
void WriteAttributes(std::string& out, const Plan<R>& plan, const R& record) {
    for (const auto& entry : plan.entries) {
        const WriteField<R>* field = entry.field;
        if (!field) {
            AppendAttribute(out, entry.name, {});
            continue;
        }
        if (field->write == WriteClass::Never) continue;
        const bool omit = field->write == WriteClass::OmitEmpty;
        const FieldAddr value = field->at(record);
        switch (field->format) {
            case Format::Text:
            case Format::Text128: {
                std::string_view text = value.Text();
                if (field->format == Format::Text128) text = FirstChars(text, 128);
                if (!text.empty() || !omit) AppendAttribute(out, entry.name, text);
                break;
            }
            case Format::Int:
            case Format::Int2:
            case Format::Int3: {
                const int n = value.Int();
                if (field->format == Format::Int && n == 0 && omit) break;
                const int width = field->format == Format::Int2 ? 2
                                  : field->format == Format::Int3 ? 3
                                                                  : 0;
                AppendAttribute(out, entry.name, IntText(n, width));
                break;
            }
            case Format::Fixed1:
            case Format::Fixed2: {
                const double amount = value.Amount();
                if (amount == 0.0 && omit) break;
                AppendAttribute(out, entry.name,
                                AmountText(amount, field->format == Format::Fixed1 ? 1 : 2));
                break;
            }
            case Format::Date: {
                const time_t date = value.Date();
                if (date == 0 && omit) break;
                AppendAttribute(out, entry.name, DateText(date));
                break;
            }
        }
    }
}

}  // namespace

// Streams one document of a dialect.
class RQTarvikDocument::XmlReportWriter {
public:
    XmlReportWriter(const SchemaElement& root, bool savedForm)
        : root_(root), savedForm_(savedForm) {}

    const SchemaElement* Element(std::string_view name) const { return root_.Child(name); }

    // Line break between two tags of the saved form.
    void Break() {
        if (savedForm_) out_ += "\r\n";
    }

    template <class R>
    void EmptyElement(const SchemaElement& element, const Plan<R>& plan, const R& record) {
        StartTag(element, plan, record);
        out_ += "/>";
        Break();
    }

    template <class R>
    void StartTag(const SchemaElement& element, const Plan<R>& plan, const R& record) {
        out_ += '<';
        out_ += element.name;
        WriteAttributes(out_, plan, record);
    }

    void CloseStartTag() {
        out_ += '>';
        Break();
    }

    void EndTag(const std::string& name) {
        out_ += "</";
        out_ += name;
        out_ += '>';
        Break();
    }

    std::string& Out() { return out_; }

private:
    const SchemaElement& root_;
    bool savedForm_;
    std::string out_;
};

// ----- The document

int RQTarvikDocument::CreateXmlDocument(XML_TYPE type, std::string& text, bool savedForm) {
    const SchemaElement* root = DialectRoot(type);
    if (!root) return kFunctionFailed;
    for (const char* name : {"TITLE", "F4INFO", "F4DOGOV", "F4DECODE"}) {
        if (!root->Child(name)) return kFunctionFailed;
    }
    try {
        XmlReportWriter writer(*root, savedForm);
        std::string& out = writer.Out();
        const RQForm4Chapter2& chapter = Form4.Chapter2;
        out.reserve(8192 + static_cast<std::size_t>(std::max(chapter.Table6_1Count, 0)) * 256 +
                    static_cast<std::size_t>(std::max(Form4.SKECount, 0)) * 320 +
                    static_cast<std::size_t>(std::max(chapter.PayOrderCount, 0)) * 64);
        out += kDeclaration;
        writer.Break();
        out += kFormInstruction;
        writer.Break();
        out += savedForm ? kSavedRoot : std::string_view("<F4REPORT>");
        writer.Break();
        for (const SchemaElement& element : root->children) {
            int result = kOk;
            if (element.name == "TITLE") {
                result = FillTitleList(type, writer, &Form4);
            } else if (element.name == "F4INFO") {
                result = FillChapter2(type, writer, &Form4);
            } else if (element.name == "F4DOGOV") {
                result = FillDogov(type, writer, &Form4);
            } else if (element.name == "F4DECODE") {
                result = FillSKETable(type, writer, &Form4);
            }
            // F4INF1 is never written.
            if (result != kOk) return result;
        }
        out += "</F4REPORT>";
        writer.Break();
        text.swap(out);
    } catch (const std::bad_alloc&) {
        return kNotEnoughMemory;
    }
    return kOk;
}

int RQTarvikDocument::CreateXmlDocument(XML_TYPE type, _xmlDoc*& document) {
    document = nullptr;
    std::string text;
    if (const int result = CreateXmlDocument(type, text); result != kOk) return result;
    if (text.size() >= INT_MAX) return kNotEnoughMemory;
    document = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    return document ? kOk : kFunctionFailed;
}

int RQTarvikDocument::FillTitleList(XML_TYPE type, XmlReportWriter& writer, RQForm4* form) {
    const SchemaElement* element = writer.Element("TITLE");
    if (!element) return kFunctionFailed;
    TitleRecord title;
    static_cast<RQForm4TitleList&>(title) = form->TitleList;
    if (type == XML_EXTENDED) {
        // Page numbers of the print form: title page, table 1, then table
        // 1.1 (36 rows a page, when it has a row that is not empty), table
        // 2, tables 3 and 4 (when not both empty) and table 5, the last.
        const RQForm4Chapter2& chapter = form->Chapter2;
        const int rows = chapter.Table6_1Rows ? std::max(chapter.Table6_1Count, 0) : 0;
        bool allEmpty = true;
        for (int i = 0; i < rows && allEmpty; ++i) allEmpty = chapter.Table6_1Rows[i].IsEmpty();
        title.PageTitle = 1;
        title.PageTable6 = 2;
        title.PageTable61 = allEmpty ? 0 : 3;
        title.PageTable7 = allEmpty ? 3 : 3 + (rows + 35) / 36;
        const bool noTables34 = chapter.Table8.IsEmpty() && chapter.Table9.IsEmpty();
        title.PageTable8 = noTables34 ? 0 : title.PageTable7 + 1;
        title.PageTable10 = noTables34 ? title.PageTable7 + 1 : title.PageTable7 + 2;
        title.PageCount = title.PageTable10;
        form->TitleList.PageCount = title.PageCount;
    }
    writer.EmptyElement(*element, Plan<TitleRecord>(*element, kTitleFields), title);
    return kOk;
}

int RQTarvikDocument::FillChapter2(XML_TYPE, XmlReportWriter& writer, RQForm4* form) {
    const SchemaElement* element = writer.Element("F4INFO");
    const SchemaElement* payOrder = element ? element->Child("PAYM_ORDER") : nullptr;
    if (!payOrder) return kFunctionFailed;
    const RQForm4Chapter2& chapter = form->Chapter2;
    const Plan<RQForm4Chapter2> plan(*element, kChapterFields);
    const int count = chapter.PayOrders ? std::max(chapter.PayOrderCount, 0) : 0;
    if (count == 0) {
        writer.EmptyElement(*element, plan, chapter);
        return kOk;
    }
    writer.StartTag(*element, plan, chapter);
    writer.CloseStartTag();
    for (int i = 0; i < count; ++i) {
        if (const int result = FillPayOrder(writer, &chapter.PayOrders[i]); result != kOk)
            return result;
    }
    writer.EndTag(element->name);
    return kOk;
}

int RQTarvikDocument::FillPayOrder(XmlReportWriter& writer, const RQForm4PayOrder* payOrder) {
    const SchemaElement* info = writer.Element("F4INFO");
    const SchemaElement* element = info ? info->Child("PAYM_ORDER") : nullptr;
    if (!element || !payOrder) return kFunctionFailed;
    writer.EmptyElement(*element, Plan<RQForm4PayOrder>(*element, kPayOrderFields), *payOrder);
    return kOk;
}

int RQTarvikDocument::FillDogov(XML_TYPE, XmlReportWriter& writer, RQForm4* form) {
    const SchemaElement* element = writer.Element("F4DOGOV");
    if (!element) return kFunctionFailed;
    const RQForm4Chapter2& chapter = form->Chapter2;
    const int count = chapter.Table6_1Rows ? std::max(chapter.Table6_1Count, 0) : 0;
    const Plan<RQForm4Table6_1> plan(*element, kDogovFields);
    for (int i = 0; i < count; ++i) writer.EmptyElement(*element, plan, chapter.Table6_1Rows[i]);
    return kOk;
}

int RQTarvikDocument::FillSKETable(XML_TYPE, XmlReportWriter& writer, RQForm4* form) {
    const SchemaElement* element = writer.Element("F4DECODE");
    if (!element) return kFunctionFailed;
    const int count = form->SKERows ? std::max(form->SKECount, 0) : 0;
    const Plan<RQForm4TableSKE> plan(*element, kSkeFields);
    for (int i = 0; i < count; ++i) writer.EmptyElement(*element, plan, form->SKERows[i]);
    return kOk;
}

// ----- Text and file

int RQTarvikDocument::GetXML(XML_TYPE type, char*& text, int& length) {
    std::string document;
    if (const int result = CreateXmlDocument(type, document, true); result != kOk) return result;
    if (document.size() >= INT_MAX) return kNotEnoughMemory;
    char* buffer = new (std::nothrow) char[document.size() + 1];
    if (!buffer) return kNotEnoughMemory;
    std::memcpy(buffer, document.data(), document.size() + 1);
    text = buffer;
    length = static_cast<int>(document.size());
    return kOk;
}

int RQTarvikDocument::SaveXML(XML_TYPE type, const char* path) {
    std::string document;
    if (const int result = CreateXmlDocument(type, document, true); result != kOk) return result;
    if (!path || !*path) return ENOENT;
    return tarvik::file::ReplaceFile(path, document, {});
}
