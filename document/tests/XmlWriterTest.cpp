#include <libxml/xmlschemas.h>
#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <regex>

#include "XmlTestSupport.h"

using namespace xmltest;

namespace {

const char* const kHead =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<?F4FORM version=\"0.93\"?>\r\n"
    "<F4REPORT xsd:schemaLocation=\"http://fz122.fss.ru "
    "http://fz122.fss.ru/doc/f4form_2017_3.xsd\" xmlns=\"http://fz122.fss.ru\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema-instance\">\r\n";

// The attributes of the first element of that name, in order.
std::string AttributesOf(const std::string& xml, const std::string& element) {
    const auto start = xml.find("<" + element + " ");
    if (start == std::string::npos) return {};
    const auto end = xml.find('>', start);
    std::string names;
    const std::string tag = xml.substr(start, end - start);
    static const std::regex attribute(R"( ([A-Za-z0-9_:]+)=")");
    for (std::sregex_iterator it(tag.begin(), tag.end(), attribute), last; it != last; ++it)
        names += (*it)[1].str() + " ";
    return names;
}

// The value of an attribute of the first element of that name.
std::string Value(const std::string& xml, const std::string& element, const std::string& name) {
    const auto start = xml.find("<" + element + " ");
    if (start == std::string::npos) return "<no element>";
    const auto end = xml.find('>', start);
    const std::string tag = xml.substr(start, end - start);
    const auto at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) return "<absent>";
    const auto from = at + name.size() + 3;
    return tag.substr(from, tag.find('"', from) - from);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

}  // namespace

TEST(XmlWriter, EmptyReportIsWrittenExactly) {
    RQTarvikDocument doc;
    const std::string expected = std::string(kHead) +
                                 "<TITLE REG_NUM=\"\" INN=\"\" QUART_NUM=\"00\" YEAR_NUM=\"0\" "
                                 "NAME=\"\" CEO=\"\" T1R1C2=\"0\"/>\r\n"
                                 "<F4INFO/>\r\n"
                                 "</F4REPORT>\r\n";
    char* text = nullptr;
    int length = 0;
    ASSERT_EQ(doc.GetXML(RQTarvikDocument::XML_EXCHANGE, text, length), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), expected);
    EXPECT_EQ(text[length], '\0');
    Form4Document_Delete(text);
    EXPECT_EQ(text, nullptr);
}

TEST(XmlWriter, SmallReportIsWrittenExactly) {
    RQTarvikDocument doc;
    RQForm4& form = *doc.GetForm4Struct();
    form.TitleList.REG_NUM = "7712345678";
    form.TitleList.INN = "7701234567";
    form.TitleList.KPP = 770101001;
    form.TitleList.QUART_NUM = 3;
    form.TitleList.YEAR_NUM = 2017;
    form.TitleList.NAME = "ООО «Ромашка» & Co";
    form.TitleList.CRE_DATE = Date(2017, 4, 15);
    form.TitleList.CEO = "Иванов И.И.";
    form.TitleList.CFO = "не пишется";
    form.TitleList.T1R1C2 = 12;
    form.TitleList.LIKV = 1;
    form.Chapter2.Table6.NC = 100.5;
    form.Chapter2.Table6.C1 = 1000;
    form.Chapter2.Table6.RATE_MIS = 0.2;
    form.Chapter2.Table6.T6_SUM_C6 = 5;  // extended dialect only
    form.Chapter2.Table7.T7R1C1 = -10;
    form.Chapter2.PayOrderCount = 1;
    ASSERT_EQ(form.Chapter2.AllocPayOrder(), 1);
    form.Chapter2.PayOrders[0].NUM = "15";
    form.Chapter2.PayOrders[0].DT = Date(2017, 3, 1);
    form.Chapter2.PayOrders[0].SUM = 1234.5;
    form.Chapter2.Table6_1Count = 1;
    ASSERT_EQ(form.Chapter2.AllocTable6_1(), 1);
    form.Chapter2.Table6_1Rows[0].REG_NUM_P = "1234567890";
    form.Chapter2.Table6_1Rows[0].WRK_P = 5;
    form.Chapter2.Table6_1Rows[0].FOT_P = 100;
    form.SKECount = 1;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    form.SKERows[0].OKVED = "01.11";
    form.SKERows[0].ID_RISC = 1;
    form.SKERows[0].RATE_MIS = 0.2;

    const std::string expected = ToCp1251(
        std::string(kHead) +
        "<TITLE REG_NUM=\"7712345678\" INN=\"7701234567\" KPP=\"770101001\" QUART_NUM=\"03\" "
        "YEAR_NUM=\"2017\" NAME=\"ООО «Ромашка» &amp; Co\" CRE_DATE=\"2017-04-15\" "
        "CEO=\"Иванов И.И.\" T1R1C2=\"12\" LIKV=\"1\"/>\r\n"
        "<F4INFO NC=\"100.50\" C1=\"1000.00\" RATE_MIS=\"0.2\" T7R1C1=\"-10.00\">\r\n"
        "<PAYM_ORDER NUM=\"15\" DT=\"2017-03-01\" SUM=\"1234.50\"/>\r\n"
        "</F4INFO>\r\n"
        "<F4DOGOV REG_NUM_P=\"1234567890\" INN_P=\"\" OKVED_P=\"\" WRK_P=\"5\" "
        "FOT_P=\"100.00\"/>\r\n"
        "<F4DECODE OKVED=\"01.11\" ID_RISC=\"1\" RATE_MIS=\"0.2\" RATE_DEC=\"0\" RATE_INC=\"0\" "
        "FOT=\"0.00\" C1=\"0.00\" C2=\"0.00\" C3=\"0.00\" FOTINV=\"0.00\" I1=\"0.00\" I2=\"0.00\" "
        "I3=\"0.00\" NC=\"0.00\" RECKON=\"0.00\"/>\r\n"
        "</F4REPORT>\r\n");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Xml(doc, RQTarvikDocument::XML_EXCHANGE), expected);
}

TEST(XmlWriter, AttributeOrderComesFromTheDialectsSchema) {
    RQTarvikDocument doc;
    FillFullReport(*doc.GetForm4Struct());
    const std::string exchange = Xml(doc, RQTarvikDocument::XML_EXCHANGE);
    const std::string extended = Xml(doc, RQTarvikDocument::XML_EXTENDED);
    EXPECT_EQ(AttributesOf(exchange, "TITLE"),
              "REG_NUM KPS_NUM INN KPP OGRN OKVED QUART_NUM YEAR_NUM NAME CRE_DATE CEO PHONE "
              "CADDR EMAIL NumCorr NumDot T1R1C2 T1R4C2 T1R6C2 BO_IF Upoln UpolnDoc LIKV ");
    // The one block that the two schemas order differently.
    EXPECT_NE(
        AttributesOf(exchange, "F4INFO")
            .find("IS_INV IS_BUDJET T1R3C2 NC NC1 NC2 NC3 C1 C2 C3 T1R5C2 I1 I2 I3 RATE_MIS "),
        std::string::npos)
        << AttributesOf(exchange, "F4INFO");
    EXPECT_NE(
        AttributesOf(extended, "F4INFO")
            .find("IS_INV IS_BUDJET T1R3C2 T1R5C2 NC C1 I1 NC1 C2 I2 NC2 C3 I3 NC3 RATE_MIS "),
        std::string::npos)
        << AttributesOf(extended, "F4INFO");
    EXPECT_EQ(AttributesOf(exchange, "F4DOGOV"),
              "REG_NUM_P INN_P OKVED_P WRK_P FOT_P FOTINV_P C1 C2 C3 I1 I2 I3 RATE_MIS_P "
              "MIS_ALL_P ");
}

TEST(XmlWriter, ValuesAreEncodedAsTheFormatPrescribes) {
    RQTarvikDocument doc;
    RQForm4& form = *doc.GetForm4Struct();
    form.Chapter2.Table6.RATE_MIS = 0.2;
    form.Chapter2.Table6.NC = 1234.5;
    form.Chapter2.Table6.C1 = 0.001;  // not empty: written 0.00
    form.Chapter2.Table6.C2 = 0.0;    // empty: left out
    form.Chapter2.Table6.C3 = 2.675;  // binary value just below 2.675
    form.Chapter2.Table7.T7R1C1 = -10;
    form.Chapter2.Table7.T7R3C1 = 1e12;
    form.Chapter2.Table8.T6R3C1 = -3;
    form.TitleList.CADDR = std::string(60, 'A') + Repeat("Ж", 140);  // 200 characters
    form.Chapter2.PayOrderCount = 1;
    ASSERT_EQ(form.Chapter2.AllocPayOrder(), 1);

    for (const char* locale : {"C", "ru_RU.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        const std::string xml = FromCp1251(Xml(doc, RQTarvikDocument::XML_EXCHANGE));
        std::setlocale(LC_ALL, "C");
        EXPECT_EQ(Value(xml, "F4INFO", "RATE_MIS"), "0.2") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "NC"), "1234.50") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "C1"), "0.00") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "C2"), "<absent>") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "C3"), "2.67") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "T7R1C1"), "-10.00") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "T7R3C1"), "1000000000000.00") << locale;
        EXPECT_EQ(Value(xml, "F4INFO", "T6R3C1"), "-3") << locale;
        EXPECT_EQ(Value(xml, "TITLE", "CADDR"), std::string(60, 'A') + Repeat("Ж", 68));
        // A pay order without number, date and sum.
        EXPECT_EQ(Value(xml, "PAYM_ORDER", "NUM"), "");
        EXPECT_EQ(Value(xml, "PAYM_ORDER", "DT"), "");
        EXPECT_EQ(Value(xml, "PAYM_ORDER", "SUM"), "0.00");
    }
}

TEST(XmlWriter, TextsAreEscapedAndCharactersOutsideWindows1251BecomeReferences) {
    RQTarvikDocument doc;
    RQForm4& form = *doc.GetForm4Struct();
    form.TitleList.NAME = "a&b<c>d\"e'f\tg\nh \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80 ё\x01!";
    form.TitleList.CEO = "bad \xFF utf-8";
    const std::string xml = Xml(doc, RQTarvikDocument::XML_EXCHANGE);
    // Euro sign and ё exist in windows-1251; the others are references;
    // the control character cannot be carried by XML 1.0 and is left out.
    EXPECT_EQ(Value(xml, "TITLE", "NAME"),
              "a&amp;b&lt;c&gt;d&quot;e'f&#9;g&#10;h \x88 &#20013; &#128512; \xB8!");
    EXPECT_EQ(Value(xml, "TITLE", "CEO"), "bad ? utf-8");
    // The line breaks go between tags only.
    EXPECT_EQ(xml.find("><"), std::string::npos);

    RQTarvikDocument back;
    ASSERT_EQ(LoadText(back, xml), 0) << back.GetValidateError();
    EXPECT_EQ(back.GetForm4Struct()->TitleList.NAME,
              "a&b<c>d\"e'f\tg\nh € \xE4\xB8\xAD \xF0\x9F\x98\x80 ё!");
}

TEST(XmlWriter, RowsAreWrittenInOrderEmptyOnesIncluded) {
    RQTarvikDocument doc;
    RQForm4& form = *doc.GetForm4Struct();
    form.Chapter2.Table6_1Count = 2;
    ASSERT_EQ(form.Chapter2.AllocTable6_1(), 1);
    form.SKECount = 1;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    const std::string xml = Xml(doc, RQTarvikDocument::XML_EXCHANGE);
    const auto first = xml.find("<F4DOGOV ");
    const auto second = xml.find("<F4DOGOV ", first + 1);
    const auto ske = xml.find("<F4DECODE ");
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, ske);
    EXPECT_EQ(xml.find("<F4DOGOV ", second + 1), std::string::npos);
    EXPECT_NE(xml.find("<F4DOGOV REG_NUM_P=\"\" INN_P=\"\" OKVED_P=\"\"/>"), std::string::npos);
    EXPECT_EQ(AttributesOf(xml, "F4DECODE"),
              "OKVED ID_RISC RATE_MIS RATE_DEC RATE_INC FOT C1 C2 C3 FOTINV I1 I2 I3 NC RECKON ");
    EXPECT_EQ(Value(xml, "F4DECODE", "RATE_MIS"), "0.0");
    EXPECT_EQ(xml.find("F4INF1"), std::string::npos);
}

TEST(XmlWriter, ExtendedDialectCarriesTotalsAddressPartsAndPageNumbers) {
    struct Case {
        int rows;
        bool tables34;
        const char *p61, *p7, *p8, *p10;
    };
    const Case cases[] = {
        {37, true, "003", "005", "006", "007"},
        {0, false, "000", "003", "000", "004"},
        {36, false, "003", "004", "000", "005"},
    };
    for (const Case& c : cases) {
        RQTarvikDocument doc;
        RQForm4& form = *doc.GetForm4Struct();
        form.TitleList.POST_INDEX = "123456";
        form.TitleList.DopPageCount = 2;
        form.TitleList.CFO = "Петрова";
        form.Chapter2.Table6_1Count = c.rows;
        ASSERT_EQ(form.Chapter2.AllocTable6_1(), 1);
        if (c.rows > 0) form.Chapter2.Table6_1Rows[c.rows - 1].FOT_P = 1;
        if (c.tables34) form.Chapter2.Table9.M1 = 1;

        const std::string xml = Xml(doc, RQTarvikDocument::XML_EXTENDED);
        EXPECT_EQ(Value(xml, "TITLE", "PageTitle"), "001");
        EXPECT_EQ(Value(xml, "TITLE", "PageTable6"), "002");
        EXPECT_EQ(Value(xml, "TITLE", "PageTable61"), c.p61) << c.rows;
        EXPECT_EQ(Value(xml, "TITLE", "PageTable7"), c.p7) << c.rows;
        EXPECT_EQ(Value(xml, "TITLE", "PageTable8"), c.p8) << c.rows;
        EXPECT_EQ(Value(xml, "TITLE", "PageTable10"), c.p10) << c.rows;
        EXPECT_EQ(Value(xml, "TITLE", "PageCount"), c.p10) << c.rows;
        EXPECT_EQ(form.TitleList.PageCount, std::atoi(c.p10));
        EXPECT_EQ(Value(xml, "TITLE", "DopPageCount"), "002");
        EXPECT_EQ(Value(xml, "TITLE", "PageTable1"), "");
        EXPECT_EQ(Value(xml, "TITLE", "CFO"), "");  // declared, not filled
        EXPECT_EQ(Value(xml, "TITLE", "POST_INDEX"), "123456");
        EXPECT_EQ(Value(xml, "TITLE", "OFFICE"), "");
        EXPECT_EQ(Value(xml, "TITLE", "TaxType"), "<absent>");
        EXPECT_EQ(Value(xml, "F4INFO", "T6_SUM_C6"), "0.00");
        EXPECT_EQ(Value(xml, "F4INFO", "T7_SUMR13C3"), "0.00");
        EXPECT_EQ(Value(xml, "F4INFO", "T9_SUM_R4C3"), "0");
        EXPECT_EQ(Value(xml, "F4INFO", "NUM1"), "");
        EXPECT_EQ(Value(xml, "F4INFO", "OKVED"), "<absent>");
    }
    // The exchange dialect has none of these.
    RQTarvikDocument doc;
    const std::string xml = Xml(doc, RQTarvikDocument::XML_EXCHANGE);
    for (const char* name : {"PageCount", "POST_INDEX", "T6_SUM_C6", "NUM1"})
        EXPECT_EQ(xml.find(name), std::string::npos) << name;
}

TEST(XmlWriter, OutputIsValidAgainstItsSchemaButForTheUnwrittenParts) {
    // The schemas require TaxType and F4INF1, which the writer never
    // writes; everything else must fit.
    RQTarvikDocument doc;
    FillFullReport(*doc.GetForm4Struct());
    for (auto type : {RQTarvikDocument::XML_EXCHANGE, RQTarvikDocument::XML_EXTENDED}) {
        char* schema = nullptr;
        int length = 0;
        ASSERT_EQ(GetFormScheme(type, schema, length), 1);
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewMemParserCtxt(schema, length);
        xmlSchemaPtr compiled = xmlSchemaParse(parser);
        ASSERT_NE(compiled, nullptr) << "schema " << type << " does not compile";
        xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(compiled);
        std::vector<std::string> errors;
        xmlSchemaSetValidStructuredErrors(
            valid,
            [](void* context, xmlErrorPtr error) {
                static_cast<std::vector<std::string>*>(context)->push_back(error->message);
            },
            &errors);
        // The document as given to the print form: a plain root.
        std::string xml = Xml(doc, type);
        xml.replace(xml.find("<F4REPORT "),
                    xml.find('>', xml.find("<F4REPORT ")) - xml.find("<F4REPORT ") + 1,
                    "<F4REPORT>");
        xmlDocPtr parsed = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                         XML_PARSE_NONET);
        ASSERT_NE(parsed, nullptr);
        xmlSchemaValidateDoc(valid, parsed);
        EXPECT_FALSE(errors.empty());
        for (const std::string& error : errors) {
            EXPECT_TRUE(error.find("TaxType") != std::string::npos ||
                        error.find("F4INF1") != std::string::npos)
                << "dialect " << type << ": " << error;
        }
        xmlFreeDoc(parsed);
        xmlSchemaFreeValidCtxt(valid);
        xmlSchemaFree(compiled);
        xmlSchemaFreeParserCtxt(parser);
        Form4Document_Delete(schema);
    }
}

TEST(XmlWriter, PrintStylesheetIsNotADialect) {
    RQTarvikDocument doc;
    int status = 0;
    Xml(doc, RQTarvikDocument::XML_PRINT_XSL, &status);
    EXPECT_EQ(status, 1627);
}

TEST(XmlSave, ReplacesAnExistingFileCompletely) {
    TempDir dir;
    const std::string path = dir / "1234567890_2017_03.xml";
    WriteFile(path, std::string(100000, 'x'));
    ::chmod(path.c_str(), 0640);
    RQTarvikDocument doc;
    doc.GetForm4Struct()->TitleList.NAME = "Лютик";
    ASSERT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0);
    EXPECT_EQ(ReadFile(path), Xml(doc, RQTarvikDocument::XML_EXCHANGE));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing else is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(XmlSave, FailuresReturnTheSystemCodeAndLeaveFilesAlone) {
    TempDir dir;
    RQTarvikDocument doc;
    FillFullReport(*doc.GetForm4Struct());

    EXPECT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, (dir / "missing/r.xml").c_str()), ENOENT);
    EXPECT_FALSE(fs::exists(dir / "missing"));

    fs::create_directory(dir / "folder");
    EXPECT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, (dir / "folder").c_str()), EISDIR);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));

    // The disk fills up in the middle of the write.
    const std::string path = dir / "report.xml";
    const std::string previous = "<previous report/>";
    WriteFile(path, previous);
    {
        FileSizeLimit limit(1000);
        EXPECT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), EFBIG);
    }
    EXPECT_EQ(ReadFile(path), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // A file marked read-only.
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), EACCES);
    EXPECT_EQ(ReadFile(path), previous);
}

TEST(XmlSave, WritesThroughASymbolicLink) {
    TempDir dir;
    const std::string target = dir / "real.xml";
    WriteFile(target, "old");
    fs::create_symlink(target, dir / "link.xml");
    RQTarvikDocument doc;
    ASSERT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, (dir / "link.xml").c_str()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.xml"));
    EXPECT_EQ(ReadFile(target), Xml(doc, RQTarvikDocument::XML_EXCHANGE));
}

TEST(XmlFormat, SchemesAreHandedOutAsCopies) {
    char* buffer = new char[4];  // released by the call
    int length = -1;
    ASSERT_EQ(GetFormScheme(RQTarvikDocument::XML_EXCHANGE, buffer, length), 1);
    ASSERT_GT(length, 1000);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_NE(std::string(buffer).find("id=\"Tarvik\""), std::string::npos);
    EXPECT_EQ(std::string(buffer).find("DOP_NUM"), std::string::npos);
    Form4Document_Delete(buffer);

    ASSERT_EQ(GetFormScheme(RQTarvikDocument::XML_EXTENDED, buffer, length), 1);
    EXPECT_NE(std::string(buffer).find("DOP_NUM"), std::string::npos);
    Form4Document_Delete(buffer);

    ASSERT_EQ(GetFormScheme(RQTarvikDocument::XML_PRINT_XSL, buffer, length), 1);
    EXPECT_NE(std::string(buffer).find("xsl:stylesheet"), std::string::npos);
    Form4Document_Delete(buffer);

    length = 77;
    EXPECT_EQ(GetFormScheme(static_cast<RQTarvikDocument::XML_TYPE>(3), buffer, length), 0);
    EXPECT_EQ(length, 77);
    EXPECT_EQ(buffer, nullptr);
}

TEST(XmlFormat, ReportFileNameRule) {
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"1234567890_2017_03.xml", true},
        {"1234567890_2017_03.EF4", true},
        {"1234567890_20%%_03.Xml", true},
        {"123456789_2017_03.xml", false},
        {"1234567890_2017_3.xml", false},
        {"1234567890_2017_03.xml.bak", false},
        {"12345678901_2017_03.xml", false},
        {"1234567890_2017_03.txt", false},
        {"1234567890_2017_03.", false},
        {"report.xml", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidReportFileName(c.name), c.valid) << c.name;
    EXPECT_FALSE(IsValidReportFileName(nullptr));
}
