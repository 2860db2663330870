// TarvikDocument: the report on form 4 of the Social Insurance Fund in
// memory, its findings list and the document object that owns both.
//
// Texts are UTF-8. Amounts are doubles in roubles with kopecks; dates are
// time_t values holding local midnight of a calendar day (0 = no date).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#if defined(TARVIK_DOCUMENT_BUILD)
#define TARVIK_DOCUMENT_API __attribute__((visibility("default")))
#else
#define TARVIK_DOCUMENT_API
#endif

// ---------------------------------------------------------------------------
// Amounts

// Compares two amounts at two decimals: 1 when a < b, -1 when a > b, 0 when
// they are equal. Each amount is biased by 0.5/101, scaled by 100 and
// truncated toward zero; values beyond the 64-bit range are clamped and NaN
// counts as zero.
TARVIK_DOCUMENT_API int CompareRounded(double a, double b);

// ---------------------------------------------------------------------------
// The report record

// Title page (XML element TITLE).
struct TARVIK_DOCUMENT_API RQForm4TitleList {
    std::string REG_NUM;
    std::string KPS_NUM;
    std::string INN;
    int KPP = 0;
    std::string OGRN;
    std::string OKVED;
    int QUART_NUM = 0;
    int YEAR_NUM = 0;
    std::string NAME;
    time_t CRE_DATE = 0;
    std::string CEO;
    std::string CFO;
    std::string AUTHOR;
    std::string PHONE;
    int NumCorr = 0;
    int NumDot = 0;
    int T1R1C2 = 0;
    int T1R4C2 = 0;
    int T1R6C2 = 0;
    int BO_IF = 0;
    std::string CADDR;
    std::string EMAIL;
    std::string POST_INDEX;
    std::string ADDRESS_1;
    std::string ADDRESS_2;
    std::string ADDRESS_3;
    std::string ADDRESS_4;
    std::string ADDRESS_5;
    std::string HOUSE;
    std::string KORPUS;
    std::string OFFICE;
    int PageCount = 0;
    int DopPageCount = 0;
    int LIKV = 0;
    int Upoln = 0;
    std::string UpolnDoc;

    RQForm4TitleList() = default;
    RQForm4TitleList(const RQForm4TitleList&) = default;
    RQForm4TitleList& operator=(const RQForm4TitleList&) = default;
    ~RQForm4TitleList() = default;

    // All texts empty, all numbers 0, no date.
    void Clear();
    // Clear(), then a copy of every field of the source (null: just Clear()).
    // Setting a title list from itself changes nothing.
    void Set(const RQForm4TitleList* source);
};

// Printed table 1: the base for contributions.
struct TARVIK_DOCUMENT_API RQForm4Table6 {
    double NC = 0, NC1 = 0, NC2 = 0, NC3 = 0;
    double T1R3C2 = 0, C1 = 0, C2 = 0, C3 = 0;
    double T1R5C2 = 0, I1 = 0, I2 = 0, I3 = 0;
    double RATE_MIS = 0;
    int RATE_DEC = 0;
    time_t INC_DATE = 0;
    int RATE_INC = 0;
    double T6_SUM_C6 = 0;
    double T6_SUM_R1C3 = 0, T6_SUM_R1C4 = 0, T6_SUM_R1C5 = 0, T6_SUM_R1C6 = 0;
};

// Printed table 2: settlements with the Fund. Record order, not row order.
struct TARVIK_DOCUMENT_API RQForm4Table7 {
    double T7R1C1 = 0, T7R3C1 = 0, T7R5C1 = 0, T7R6C1 = 0, T7R7C1 = 0, T7R9C1 = 0;
    double T7R13C1 = 0, T7R11C1 = 0, T7R16C1 = 0, T7R17C61 = 0, T7R18C1 = 0;
    double T7R39C1 = 0, T7R19C1 = 0, T7R40C1 = 0, T7R21C1 = 0, T7R23C1 = 0;
    double T7R24C1 = 0, T7R25C1 = 0, T7R27C1 = 0, T7R29C1 = 0, T7R30C1 = 0;
    double T7R31C1 = 0, T7R38C1 = 0, T7R34C1 = 0, T7R35C1 = 0, T7R41C1 = 0;
    double T7R42C1 = 0;
    // Computed totals.
    double T7_SUMR2C1 = 0, T7_SUMR2C3 = 0, T7_SUMR8C3 = 0, T7_SUMR10C3 = 0;
    double T7_SUMR11C1 = 0, T7_SUMR11C3 = 0, T7_SUMR12C1 = 0, T7_SUMR12C3 = 0;
    double T7_SUMR13C3 = 0, T7_SUMR18C3 = 0;
};

// Printed table 3: expenses. Each ...C1 is a count, each ...C2 its amount.
struct TARVIK_DOCUMENT_API RQForm4Table8 {
    int T6R3C1 = 0;
    double T6R3C2 = 0;
    int T6R13C1 = 0;
    double T6R13C2 = 0;
    int T6R4C1 = 0;
    double T6R4C2 = 0;
    int T6R8C1 = 0;
    double T6R8C2 = 0;
    int T6R14C1 = 0;
    double T6R14C2 = 0;
    int T6R9C1 = 0;
    double T6R9C2 = 0;
    int T6R5C1 = 0;
    double T6R5C2 = 0;
    int T6R6C1 = 0;
    double T6R6C2 = 0;
    double T6R10C2 = 0;
    double T6R11C2 = 0;
    double T8_SUM_R10C4 = 0;  // computed

    // True when every field but the computed total is 0 at two decimals.
    bool IsEmpty() const;
};

// Printed table 4: victims.
struct TARVIK_DOCUMENT_API RQForm4Table9 {
    int M1 = 0, M2 = 0, M3 = 0, M5 = 0;
    int T9_SUM_R4C3 = 0;  // computed

    // True when M1, M2, M3 and M5 are 0.
    bool IsEmpty() const;
};

// Printed table 5: special assessment and medical examinations.
struct TARVIK_DOCUMENT_API RQForm4Table10 {
    int ATT_C1 = 0, ATT_C2 = 0, ATT_CL3 = 0, ATT_CL4 = 0;
    int MED_C1 = 0, MED_C2 = 0;
};

// One payment order (XML element PAYM_ORDER).
struct TARVIK_DOCUMENT_API RQForm4PayOrder {
    std::string NUM;
    double SUM = 0;
    time_t DT = 0;
    int Line = 0;           // 1..9 on the page it was entered on; 0 from a file
    std::string SumCellId;  // "PO_SUM<line>"; empty from a file

    RQForm4PayOrder() = default;
    RQForm4PayOrder(const RQForm4PayOrder&) = default;
    RQForm4PayOrder& operator=(const RQForm4PayOrder&) = default;
    ~RQForm4PayOrder() = default;

    void SetPayOrder(const RQForm4PayOrder* source);
    // 1 when NUM is empty, SUM is exactly 0.0 and DT is 0.
    int IsEmpty() const;
};

// One row of printed table 1.1 (XML element F4DOGOV).
struct TARVIK_DOCUMENT_API RQForm4Table6_1 {
    std::string REG_NUM_P;
    std::string INN_P;
    std::string OKVED_P;
    int WRK_P = 0;
    double FOT_P = 0, FOTINV_P = 0;
    double C1 = 0, C2 = 0, C3 = 0;
    double I1 = 0, I2 = 0, I3 = 0;
    double RATE_MIS_P = 0, MIS_ALL_P = 0;

    RQForm4Table6_1() = default;
    RQForm4Table6_1(const RQForm4Table6_1&) = default;
    RQForm4Table6_1& operator=(const RQForm4Table6_1&) = default;
    ~RQForm4Table6_1() = default;

    void SetTableRow(const RQForm4Table6_1* source);
    // True when the texts are empty and FOT_P, FOTINV_P, C1, I1, I2, I3,
    // RATE_MIS_P and MIS_ALL_P are 0 at two decimals. WRK_P, C2 and C3 are
    // not consulted.
    bool IsEmpty() const;
};

// One row of the breakdown by independent classification units (F4DECODE).
struct TARVIK_DOCUMENT_API RQForm4TableSKE {
    std::string OKVED;
    int ID_RISC = 0;
    double RATE_MIS = 0;
    int RATE_DEC = 0;
    int RATE_INC = 0;
    double FOT = 0, C1 = 0, C2 = 0, C3 = 0;
    double FOTINV = 0, I1 = 0, I2 = 0, I3 = 0;
    double NC = 0;
    double RECKON = 0;
};

// Tables 1 to 5 with the pay orders and the rows of table 1.1 (F4INFO).
//
// Each array holds exactly its count of elements and is absent (null) when
// the count is 0. Whoever changes a count calls the matching Alloc...
// function before touching the elements; it releases the old array and
// returns 1, or 0 with the count reset to 0 when the memory is not there.
// Copies are deep.
struct TARVIK_DOCUMENT_API RQForm4Chapter2 {
    RQForm4Table6 Table6;
    RQForm4Table7 Table7;
    int Table6_1Count = 0;
    std::unique_ptr<RQForm4Table6_1[]> Table6_1Rows;
    RQForm4Table8 Table8;
    RQForm4Table9 Table9;
    RQForm4Table10 Table10;
    int IS_INV = 0;
    int IS_BUDJET = 0;
    int PayOrderCount = 0;
    std::unique_ptr<RQForm4PayOrder[]> PayOrders;

    RQForm4Chapter2();
    RQForm4Chapter2(const RQForm4Chapter2& other);
    RQForm4Chapter2& operator=(const RQForm4Chapter2& other);
    ~RQForm4Chapter2();

    // Counts 0, flags 0, arrays released, every field of the tables 0.
    void Clear();
    int AllocPayOrder();
    int AllocTable6_1();
    // Deep copy of the source block; always 1, also when an array could
    // not be allocated (the copy then keeps none of that kind).
    int SetChapter(const RQForm4Chapter2* source);
};

// The whole report.
struct TARVIK_DOCUMENT_API RQForm4 {
    RQForm4TitleList TitleList;
    RQForm4Chapter2 Chapter2;
    int SKECount = 0;
    std::unique_ptr<RQForm4TableSKE[]> SKERows;

    RQForm4() = default;
    RQForm4(const RQForm4& other);
    RQForm4& operator=(const RQForm4& other);
    ~RQForm4() = default;

    // Releases the SKE rows (count 0) and clears the title list and tables.
    void Clear();
    int AllocTableSKE();
};

// ---------------------------------------------------------------------------
// Findings

// One finding of the format-logical control or of a page's cell check.
struct TARVIK_DOCUMENT_API RQErrorCellDescription {
    enum FORM4_TABLE_ID : std::int32_t {
        ID_NONE = 0,
        ID_TITLE = 1,
        ID_TABLE6 = 2,
        ID_TABLE7 = 3,
        ID_TABLE6_1 = 4,
        ID_TABLE8 = 5,
        ID_TABLE9 = 6,
        ID_TABLE10 = 7,
        ID_TABLE_SKE = 8,
    };
    enum RECORD_TYPE : std::int32_t {
        RECORD_ERROR = 0,
        RECORD_WARNING = 1,
    };

    FORM4_TABLE_ID TableId = ID_NONE;
    RECORD_TYPE RecordType = RECORD_ERROR;
    int Row = 0;     // row of the printed table; 0 or less: none
    int Column = 0;  // column of the printed table; 0 or less: none
    std::string TableName;
    std::string SectionName;
    std::string CellId;
    std::string CellId2;
    std::string CellId3;
    std::string Message;

    RQErrorCellDescription() = default;
    RQErrorCellDescription(const RQErrorCellDescription&) = default;
    RQErrorCellDescription& operator=(const RQErrorCellDescription&) = default;
    ~RQErrorCellDescription() = default;

    // Resets every field, then fills the finding; the message is the
    // printf-style formatting of format with the arguments, of any length,
    // formatted in the C locale. A null cellId gives an empty CellId.
    void Set(FORM4_TABLE_ID table, RECORD_TYPE type, int row, int column, const char* cellId,
             const char* format, ...) __attribute__((format(printf, 7, 8)));
    void Clear();
    // The row or column in decimal when greater than 0, else "".
    std::string GetStrRow() const;
    std::string GetStrColumn() const;
};

// The findings of a document, in the order they were appended.
class TARVIK_DOCUMENT_API RQForm4ErrorCells {
public:
    RQForm4ErrorCells() = default;
    RQForm4ErrorCells(const RQForm4ErrorCells&) = default;
    RQForm4ErrorCells& operator=(const RQForm4ErrorCells&) = default;
    ~RQForm4ErrorCells() = default;

    // Appends a copy of the finding; a null pointer appends nothing.
    void Append(const RQErrorCellDescription* finding);
    void Append(RQErrorCellDescription&& finding);
    // The finding at index (0-based), valid until the list changes; null
    // when the index is out of range.
    RQErrorCellDescription* Get(int index);
    const RQErrorCellDescription* Get(int index) const;
    // Removes the finding at index; later ones move up. Out of range: no-op.
    void Remove(int index);
    void Clear();
    int Size() const;
    // Counts the errors (RecordType 0) and the warnings (RecordType 1).
    void GetCountInfo(int& errors, int& warnings) const;

private:
    std::vector<RQErrorCellDescription> items_;
};

// ---------------------------------------------------------------------------
// The document

class TARVIK_DOCUMENT_API RQTarvikDocument {
public:
    enum XML_TYPE {
        XML_EXCHANGE = 0,   // the report file
        XML_EXTENDED = 1,   // the enriched document for printing
        XML_PRINT_XSL = 2,  // the print stylesheet
    };
    enum CELL_DATA_TYPE {
        CELL_TYPE_STRONG_STRING = 0,
        CELL_TYPE_DWORD = 1,
        CELL_TYPE_FLOAT = 2,
        CELL_TYPE_INT = 3,
    };

    RQTarvikDocument();
    // Deep copies: the record, the findings and the texts.
    RQTarvikDocument(const RQTarvikDocument& other);
    RQTarvikDocument& operator=(const RQTarvikDocument& other);
    ~RQTarvikDocument();

    // Empties the record and forgets the validation text and the file name;
    // the findings, the version and the build date stay.
    void Clear();

    // The document's own record; the pointer stays the same for the whole
    // life of the document.
    RQForm4* GetForm4Struct() { return &Form4; }
    const RQForm4* GetForm4Struct() const { return &Form4; }
    RQForm4ErrorCells* GetErrorCells() { return &ErrorCells; }
    const RQForm4ErrorCells* GetErrorCells() const { return &ErrorCells; }
    void AppendErrorCell(const RQErrorCellDescription* finding) { ErrorCells.Append(finding); }

    // Why the last load failed, or null. Owned by the document.
    const char* GetValidateError() const;
    // The file-name part of the path last given to LoadXML, or null.
    const char* GetFileName() const;
    // The library's version "a.b.c.d", or null when unknown.
    const char* GetProductVersion() const;
    // The date of the library file "dd.mm.yyyy", or null when unknown.
    const char* GetBuildDate() const;

    // ===== Calculations and format-logical control =================
    //
    // Totals of tables 1 to 4. CalculateReport recomputes the document's
    // report: table 1, table 2 (with the pay orders), table 3, table 4. The
    // static ones work on any block, e.g. a page's working copy; a null
    // pointer is ignored.
    void CalculateReport();
    static void CalculateTable6(RQForm4Table6* table);
    static void CalculateTable7(RQForm4Chapter2* chapter);
    // Table 2 after the user overwrote the sub-total of (row, column): the
    // typed cell is kept, what depends on it follows.
    static void ReCalculateTable7(RQForm4Table7* table, unsigned short row, unsigned short column);
    static void CalculateTable8(RQForm4Table8* table);
    static void CalculateTable9(RQForm4Table9* table);

    // The control appends its findings to GetErrorCells() and never removes
    // any; the caller empties the list before a run and calls
    // CalculateReport first.
    //
    // Mandatory fields: true when nothing is missing.
    bool CheckRequiredField();
    // CheckRequiredField, and when it passed every cross-field and table
    // rule: true when no failing rule fired.
    bool CheckReportCalculate();
    // Single steps of CheckReportCalculate; a failing rule sets ok to false,
    // nothing sets it back to true. CheckTitleList sets KPP to 0 when the
    // INN has 12 digits.
    void CheckTitleList(bool& ok);
    void CheckTable6(bool& ok);
    void CheckTable6_1(bool& ok);
    void CheckTable7(bool& ok);
    void CheckTable8(bool& ok);
    void CheckTable9(bool& ok);
    void CheckTable10(bool& ok);
    void CheckSKETable(bool& ok);
    // ===== End of calculations and format-logical control ==========

    // ===== Check protocol =====
    // The result of the control as an HTML page in windows-1251: a new
    // zero-terminated buffer (release it with Form4Document_Delete) and its
    // length in bytes. status: 0 nothing found, 1 warnings only, 2 errors or
    // a report that could not be read.
    //
    // The report in the document: without a validation error the findings
    // are emptied and the report is calculated and checked anew; with one
    // the page reports it. 0, or 8 when the buffer cannot be allocated.
    int CreateCheckProtocol(char*& text, int& length, int& status);
    // The report file at path, loaded first: the loader's code when it
    // fails with anything but 87 (a missing element), else as above.
    int CreateCheckProtocol(const char* path, char*& text, int& length, int& status);
    // ===== End of check protocol =====

    // ===== XML exchange: the report file and the extended document =====
    // Status results: 0 on success; 8 not enough memory, 30 file size not
    // available, 87 a required element is missing, 232 not exactly one TITLE
    // or no F4INFO, 1627 not well-formed XML or a failed XML operation, or
    // the system's errno of a file operation. Every failed load leaves a
    // reason in Russian in GetValidateError().

    // Loads the report file at path into the record (either dialect is read
    // the same way). A file whose declaration names no encoding is rewritten
    // in place with the windows-1251 declaration first (a backup copy goes to
    // $TMPDIR/Halvorn/Dorrel when that folder exists); the file is replaced
    // only as a whole. Remembers the file-name part of the path.
    int LoadXML(XML_TYPE type, const char* path);
    // Loads the report from a zero-terminated text; length is not consulted.
    // The text is decoded by the encoding its declaration names, as
    // windows-1251 when it names none.
    int LoadXML(XML_TYPE type, const char* text, int length);
    // The report as a windows-1251 text of the dialect: a new buffer of
    // length + 1 bytes (zero-terminated) that the caller releases with
    // Form4Document_Delete. Writing XML_EXTENDED stores the number of the
    // last printed page into TitleList.PageCount.
    int GetXML(XML_TYPE type, char*& text, int& length);
    // Writes GetXML's text to path. The new content is written beside the
    // file and renamed over it, so a failure never damages an existing file.
    int SaveXML(XML_TYPE type, const char* path);

    // Helpers of the reader and the writer, defined inside the library only.
    struct XmlNode;
    struct XmlReadState;
    class XmlReportWriter;

private:
    // Loads from the size bytes at text, followed by the rest of the file
    // fd (when not -1) whose size is fileSize.
    int LoadXMLText(const char* text, std::size_t size, const std::string& sourceName, int fd = -1,
                    std::size_t fileSize = 0);
    int ParseXMLDocument(void* context, XmlReadState& state, RQForm4* form);
    int ParseTitleList(void* context, const XmlNode& title, RQForm4* form);
    int ParseChapter2(void* context, const XmlNode& info, RQForm4* form);
    int ParsePayOrder(void* context, const XmlNode* node, RQForm4PayOrder* payOrder);
    int ParseTable61Table(void* context, XmlReadState& state, RQForm4* form);
    int ParseSKETable(void* context, XmlReadState& state, RQForm4* form);
    void ParseAddressString(RQForm4* form);
    void SetValidateError(std::string reason);

    // The document of the dialect as text without line breaks and with a
    // plain F4REPORT root, or (savedForm) as the saved text.
    int CreateXmlDocument(XML_TYPE type, std::string& text, bool savedForm = false);
    // The same document parsed into a libxml2 tree (xmlDocPtr) for the
    // print transform; the caller frees it with xmlFreeDoc.
    int CreateXmlDocument(XML_TYPE type, struct _xmlDoc*& document);
    int FillTitleList(XML_TYPE type, XmlReportWriter& writer, RQForm4* form);
    int FillChapter2(XML_TYPE type, XmlReportWriter& writer, RQForm4* form);
    int FillDogov(XML_TYPE type, XmlReportWriter& writer, RQForm4* form);
    int FillSKETable(XML_TYPE type, XmlReportWriter& writer, RQForm4* form);
    int FillPayOrder(XmlReportWriter& writer, const RQForm4PayOrder* payOrder);
    // ===== end of XML exchange =====

private:
    RQForm4 Form4;
    RQForm4ErrorCells ErrorCells;
    std::optional<std::string> ValidateError;
    std::optional<std::string> FileName;
    std::optional<std::string> ProductVersion;
    std::optional<std::string> BuildDate;
};

// The cppType text of a cell data type: "StrongString", "DWORD", "float",
// "DWORD" for CELL_TYPE_INT, and "SimpleType" for any other value.
TARVIK_DOCUMENT_API const char* CellTypeToStr(RQTarvikDocument::CELL_DATA_TYPE type);

// ===== XML exchange: embedded resources and report file names =====
// A new copy of an embedded resource: the schema of the exchange dialect
// (XML_EXCHANGE), of the extended dialect (XML_EXTENDED) or the print
// stylesheet (XML_PRINT_XSL), zero-terminated; length excludes the zero.
// A non-null buffer passed in is released first (Form4Document_Delete).
// 1 on success; 0 for any other type or when memory runs out.
TARVIK_DOCUMENT_API int GetFormScheme(RQTarvikDocument::XML_TYPE type, char*& buffer, int& length);
// The file-name rule of the exchange format: ten digits, "_", four
// characters each a digit or "%", "_", two digits, then ".xml" or ".ef4" in
// any letter case and nothing else (1234567890_2017_03.xml). A null name
// fails.
TARVIK_DOCUMENT_API bool IsValidReportFileName(const char* fileName);
// ===== end of XML exchange =====

// Release a text buffer the library handed out and set the pointer to null.
// Form4Document_Delete is for the library's buffers (array allocation);
// Form4Document_Free for buffers from malloc. Both accept null.
TARVIK_DOCUMENT_API void Form4Document_Delete(char*& buffer);
TARVIK_DOCUMENT_API void Form4Document_Free(char*& buffer);
