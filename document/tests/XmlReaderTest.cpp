#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <regex>

#include "XmlTestSupport.h"

using namespace xmltest;

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";

const std::string kUtf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// A minimal report text in UTF-8 around the given title attributes and body.
std::string Report(const std::string& titleAttributes, const std::string& body = "<F4INFO/>") {
    return kUtf8Declaration + "<F4REPORT><TITLE " + titleAttributes + "/>" + body + "</F4REPORT>";
}

// Sets TMPDIR for the life of the object.
class TmpDirEnv {
public:
    explicit TmpDirEnv(const std::string& value) {
        if (const char* old = std::getenv("TMPDIR")) previous_ = old, had_ = true;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    TmpDirEnv(const TmpDirEnv&) = delete;
    TmpDirEnv& operator=(const TmpDirEnv&) = delete;
    ~TmpDirEnv() {
        if (had_)
            ::setenv("TMPDIR", previous_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::string previous_;
    bool had_ = false;
};

}  // namespace

TEST(XmlReader, RoundTripKeepsEveryFieldOfTheExchangeDialect) {
    RQTarvikDocument source;
    FillFullReport(*source.GetForm4Struct());
    TempDir dir;
    const std::string path = dir / "1234567890_2017_03.xml";
    ASSERT_EQ(source.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0);

    RQTarvikDocument loaded;
    RQErrorCellDescription finding;
    loaded.AppendErrorCell(&finding);
    const RQForm4* record = loaded.GetForm4Struct();
    ASSERT_EQ(loaded.LoadXML(RQTarvikDocument::XML_EXTENDED, path.c_str()), 0);
    EXPECT_EQ(loaded.GetValidateError(), nullptr);
    EXPECT_STREQ(loaded.GetFileName(), "1234567890_2017_03.xml");
    EXPECT_EQ(loaded.GetForm4Struct(), record);
    EXPECT_EQ(loaded.GetErrorCells()->Size(), 1);
    ExpectSameExchangeFields(*source.GetForm4Struct(), *record);
    // Not carried by the exchange dialect.
    EXPECT_EQ(record->TitleList.CFO, "");
    EXPECT_EQ(record->Chapter2.Table6.T6_SUM_C6, 0.0);
}

TEST(XmlReader, ExtendedDialectBringsBackTotalsAndAddressParts) {
    RQTarvikDocument source;
    RQForm4& form = *source.GetForm4Struct();
    FillFullReport(form);
    form.TitleList.POST_INDEX = "123456";
    form.TitleList.ADDRESS_2 = "Москва г";
    form.TitleList.OFFICE = "кв. 12";
    form.Chapter2.Table6.T6_SUM_R1C3 = 12.5;
    form.Chapter2.Table7.T7_SUMR18C3 = 7.25;
    form.Chapter2.Table7.T7_SUMR13C3 = 3;  // written, not read back
    form.Chapter2.Table9.T9_SUM_R4C3 = 4;
    RQTarvikDocument loaded;
    ASSERT_EQ(LoadText(loaded, Xml(source, RQTarvikDocument::XML_EXTENDED)), 0);
    const RQForm4& back = *loaded.GetForm4Struct();
    ExpectSameExchangeFields(form, back);
    EXPECT_EQ(back.TitleList.POST_INDEX, "123456");
    EXPECT_EQ(back.TitleList.ADDRESS_2, "Москва г");
    EXPECT_EQ(back.TitleList.OFFICE, "кв. 12");
    EXPECT_EQ(back.TitleList.PageCount, 0);
    EXPECT_DOUBLE_EQ(back.Chapter2.Table6.T6_SUM_R1C3, 12.5);
    EXPECT_DOUBLE_EQ(back.Chapter2.Table7.T7_SUMR18C3, 7.25);
    EXPECT_EQ(back.Chapter2.Table7.T7_SUMR13C3, 0.0);
    EXPECT_EQ(back.Chapter2.Table9.T9_SUM_R4C3, 4);
}

TEST(XmlReader, FileOfAnotherProgramLoadsLikeOurOwn) {
    RQTarvikDocument other;
    const std::string fixture = std::string(TARVIK_TEST_DATA) + "/other-program.xml";
    ASSERT_EQ(other.LoadXML(RQTarvikDocument::XML_EXCHANGE, fixture.c_str()), 0)
        << other.GetValidateError();

    RQTarvikDocument own;
    RQForm4& form = *own.GetForm4Struct();
    form.TitleList.REG_NUM = "7712345678";
    form.TitleList.INN = "7701234567";
    form.TitleList.KPP = 770101001;
    form.TitleList.QUART_NUM = 6;
    form.TitleList.YEAR_NUM = 2017;
    form.TitleList.NAME = "ООО \"Ромашка\"";
    form.TitleList.CRE_DATE = Date(2017, 7, 14);
    form.TitleList.CEO = "Иванов Иван Иванович";
    form.TitleList.CADDR = "123456, Московская обл, Химки г, , , Ленина ул, 5, 12";
    form.TitleList.T1R1C2 = 25;
    RQForm4Chapter2& c = form.Chapter2;
    c.Table6.NC = 1000;
    c.Table6.T1R3C2 = 50000;
    c.Table6.C1 = 10000;
    c.Table6.C2 = c.Table6.C3 = 20000;
    c.Table6.RATE_MIS = 0.2;
    c.Table7.T7R1C1 = 100;
    c.Table8.T6R3C1 = 2;
    c.Table8.T6R3C2 = 3500.5;
    c.Table9.M1 = 1;
    c.PayOrderCount = 2;
    ASSERT_EQ(c.AllocPayOrder(), 1);
    c.PayOrders[0] = {};
    c.PayOrders[0].NUM = "11", c.PayOrders[0].DT = Date(2017, 4, 12), c.PayOrders[0].SUM = 50;
    c.PayOrders[1].NUM = "12", c.PayOrders[1].DT = Date(2017, 5, 15), c.PayOrders[1].SUM = 50.5;
    c.Table6_1Count = 1;
    ASSERT_EQ(c.AllocTable6_1(), 1);
    RQForm4Table6_1& row = c.Table6_1Rows[0];
    row.REG_NUM_P = "7700000001", row.INN_P = "5000000001", row.OKVED_P = "47.11";
    row.WRK_P = 3, row.FOT_P = 1500;
    form.SKECount = 1;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    RQForm4TableSKE& ske = form.SKERows[0];
    ske.OKVED = "01.11", ske.ID_RISC = 1, ske.RATE_MIS = 0.2, ske.FOT = 50000;
    ske.C1 = 10000, ske.C2 = ske.C3 = 20000, ske.NC = 1000, ske.RECKON = 3500.5;

    RQTarvikDocument ownLoaded;
    ASSERT_EQ(LoadText(ownLoaded, Xml(own, RQTarvikDocument::XML_EXCHANGE)), 0);
    ExpectSameExchangeFields(*ownLoaded.GetForm4Struct(), *other.GetForm4Struct());
    const RQForm4TitleList& t = other.GetForm4Struct()->TitleList;
    EXPECT_EQ(t.NAME, "ООО \"Ромашка\"");
    // The one-line address was split into its parts.
    EXPECT_EQ(t.POST_INDEX, "123456");
    EXPECT_EQ(t.ADDRESS_2, "Химки г");
    EXPECT_EQ(t.ADDRESS_5, "Ленина ул");
    EXPECT_EQ(t.HOUSE, "5");
    EXPECT_EQ(t.OFFICE, "12");
    EXPECT_EQ(t.POST_INDEX, ownLoaded.GetForm4Struct()->TitleList.POST_INDEX);
}

TEST(XmlReader, BareDeclarationIsRewrittenInPlaceAfterABackup) {
    for (const std::string bare : {"<?xml version=\"1.0\"?>", "<?XML VERSION=\"1.0\"?>"}) {
        TempDir dir;
        fs::create_directories(dir.path() / "Halvorn" / "Dorrel");
        const TmpDirEnv tmp(dir.path().string());
        const std::string rest =
            ToCp1251("\r\n<F4REPORT><TITLE NAME=\"Ромашка\"/><F4INFO/></F4REPORT>");
        const std::string path = dir / "report.xml";
        WriteFile(path, bare + rest);

        RQTarvikDocument doc;
        ASSERT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXTENDED, path.c_str()), 0)
            << doc.GetValidateError();
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "Ромашка");
        EXPECT_EQ(ReadFile(path), kDeclaration + rest);
        int backups = 0;
        for (const auto& entry : fs::directory_iterator(dir.path() / "Halvorn" / "Dorrel")) {
            ++backups;
            EXPECT_EQ(ReadFile(entry.path()), bare + rest);
            EXPECT_TRUE(
                std::regex_match(entry.path().filename().string(),
                                 std::regex(R"(\(\d\d\.\d\d\.\d{4} \d\d_\d\d_\d\d\)_report\.xml)")))
                << entry.path();
        }
        EXPECT_EQ(backups, 1);
    }
}

TEST(XmlReader, FailedRewriteLeavesTheFileIntactAndStillLoads) {
    TempDir dir;
    const TmpDirEnv tmp(dir.path().string());  // no backup folder: no copy
    const std::string original =
        "<?xml version=\"1.0\"?>" +
        ToCp1251(Report("NAME=\"Ромашка\"").substr(kUtf8Declaration.size())) +
        std::string(4000, ' ');
    const std::string path = dir / "report.xml";
    WriteFile(path, original);
    RQTarvikDocument doc;
    {
        FileSizeLimit limit(1000);
        ASSERT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0);
    }
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "Ромашка");
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A file marked read-only is read, not rewritten.
    ::chmod(path.c_str(), 0444);
    RQTarvikDocument again;
    ASSERT_EQ(again.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0);
    EXPECT_EQ(again.GetForm4Struct()->TitleList.NAME, "Ромашка");
    EXPECT_EQ(ReadFile(path), original);
}

TEST(XmlReader, TextIsDecodedByItsDeclaredEncoding) {
    const std::string body = "<F4REPORT><TITLE NAME=\"Ромашка ё\"/><F4INFO/></F4REPORT>";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"utf-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body},
        {"WINDOWS-1251", "<?xml version='1.0' encoding='WINDOWS-1251'?>" + ToCp1251(body)},
        {"no declaration", ToCp1251(body)},
        {"declaration without encoding", "<?xml version=\"1.0\" ?>" + ToCp1251(body)},
        {"utf-8 with byte order mark", "\xEF\xBB\xBF" + body},
        {"encoding no converter knows",
         "<?xml version=\"1.0\" encoding=\"ANSI\"?>" + ToCp1251(body)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir / "r.xml";
        WriteFile(path, c.text);
        RQTarvikDocument doc;
        ASSERT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0)
            << c.what << ": " << doc.GetValidateError();
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "Ромашка ё") << c.what;
        EXPECT_EQ(ReadFile(path), c.text) << c.what;  // not rewritten
    }
}

TEST(XmlReader, EightBitFileEndsAtItsFirstZeroByte) {
    const std::string report =
        Report("REG_NUM=\"1\"", "<!--" + std::string(100000, 'x') + "--><F4INFO/>");
    const std::string zero(1, '\0');
    const std::string utf16 =
        "\xFF\xFE" + Convert(
                         "<?xml version=\"1.0\" encoding=\"UTF-16\"?><F4REPORT>"
                         "<TITLE REG_NUM=\"1\"/><F4INFO/></F4REPORT>",
                         "UTF-16LE", "UTF-8");
    const struct {
        const char* what;
        std::string content;
        int code;
    } cases[] = {
        {"zero padding after a short report", Report("REG_NUM=\"1\"") + std::string(16, '\0'), 0},
        {"zero padding after a long report", report + std::string(4096, '\0'), 0},
        {"a zero byte, then anything", report + zero + "<junk>", 0},
        {"a zero byte inside the report", report.substr(0, 200) + zero + report.substr(200), 1627},
        {"UTF-16 with its own zero bytes", utf16, 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir / "r.xml";
        WriteFile(path, c.content);
        RQTarvikDocument doc;
        EXPECT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), c.code)
            << c.what << ": " << (doc.GetValidateError() ? doc.GetValidateError() : "");
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, c.code == 0 ? "1" : "") << c.what;
        EXPECT_EQ(ReadFile(path), c.content) << c.what;  // the file is left as it was
    }
}

TEST(XmlReader, RootWithNamespaceLoadsLikeAPlainRoot) {
    const std::string plain = Report("REG_NUM=\"1\"", "<F4INFO NC=\"2\"/>");
    std::string namespaced = plain;
    namespaced.replace(namespaced.find("<F4REPORT>"), 10,
                       "<F4REPORT xsd:schemaLocation=\"x y\" xmlns=\"http://fz122.fss.ru\">");
    for (const std::string& text : {plain, namespaced}) {
        RQTarvikDocument doc;
        ASSERT_EQ(LoadText(doc, text), 0);
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, "1");
        EXPECT_EQ(doc.GetForm4Struct()->Chapter2.Table6.NC, 2.0);
    }
    // An undeclared prefix on the root does no harm: the root's attributes
    // are dropped before parsing.
    RQTarvikDocument doc;
    std::string prefixed = plain;
    prefixed.replace(prefixed.find("<F4REPORT>"), 10, "<F4REPORT xsi:schemaLocation=\"x\">");
    EXPECT_EQ(LoadText(doc, prefixed), 0) << doc.GetValidateError();
}

TEST(XmlReader, StructureErrorsAndWhatTheyLeave) {
    RQTarvikDocument doc;
    FillFullReport(*doc.GetForm4Struct());
    ASSERT_EQ(LoadText(doc, Report("REG_NUM=\"1\"", "<TITLE/><F4INFO/>")), 232);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, "");
    EXPECT_EQ(doc.GetForm4Struct()->Chapter2.PayOrderCount, 0);
    ASSERT_NE(doc.GetValidateError(), nullptr);
    EXPECT_NE(std::string(doc.GetValidateError()).find("TITLE"), std::string::npos);

    ASSERT_EQ(LoadText(doc, kDeclaration + "<F4REPORT><F4INFO/></F4REPORT>"), 232);
    EXPECT_NE(std::string(doc.GetValidateError()).find("TITLE"), std::string::npos);

    FillFullReport(*doc.GetForm4Struct());
    ASSERT_EQ(LoadText(doc, Report("REG_NUM=\"1\"", "<F4DOGOV/><F4DECODE/>")), 232);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, "1");
    EXPECT_EQ(doc.GetForm4Struct()->Chapter2.Table6_1Count, 0);
    EXPECT_EQ(doc.GetForm4Struct()->SKECount, 0);
    EXPECT_NE(std::string(doc.GetValidateError()).find("F4INFO"), std::string::npos);

    ASSERT_EQ(LoadText(doc, Report("REG_NUM=\"2\"")), 0);
    EXPECT_EQ(doc.GetValidateError(), nullptr);
}

TEST(XmlReader, ElementsAreFoundAtAnyDepthPayOrdersAmongTheChildrenOfTheFirstInfo) {
    const std::string text =
        kDeclaration +
        "<F4REPORT><wrap><TITLE REG_NUM=\"1\"/></wrap>"
        "<F4INFO NC=\"1\">\r\n  <PAYM_ORDER NUM=\"a\"/>\r\n  <!-- x -->"
        "<paym_order NUM=\"b\"/> text <other><PAYM_ORDER NUM=\"deep\"/></other>"
        "<Paym_Order NUM=\"c\" SUM=\"1.5\"/></F4INFO>"
        "<F4INFO NC=\"2\"><PAYM_ORDER NUM=\"second\"/></F4INFO>"
        "<x><F4DECODE OKVED=\"1\"/></x><F4DECODE OKVED=\"2\"/></F4REPORT>";
    RQTarvikDocument doc;
    ASSERT_EQ(LoadText(doc, text), 0) << doc.GetValidateError();
    const RQForm4& form = *doc.GetForm4Struct();
    EXPECT_EQ(form.TitleList.REG_NUM, "1");
    EXPECT_EQ(form.Chapter2.Table6.NC, 1.0);
    ASSERT_EQ(form.Chapter2.PayOrderCount, 3);
    EXPECT_EQ(form.Chapter2.PayOrders[0].NUM, "a");
    EXPECT_EQ(form.Chapter2.PayOrders[1].NUM, "b");
    EXPECT_EQ(form.Chapter2.PayOrders[2].NUM, "c");
    EXPECT_EQ(form.Chapter2.PayOrders[2].SUM, 1.5);
    EXPECT_EQ(form.Chapter2.Table6_1Count, 0);
    ASSERT_EQ(form.SKECount, 2);
    EXPECT_EQ(form.SKERows[0].OKVED, "1");
    EXPECT_EQ(form.SKERows[1].OKVED, "2");
}

TEST(XmlReader, AttributeValuesAreReadLeniently) {
    struct Case {
        const char* attributes;
        int quart;
        int kpp;
        double sum;
        time_t date;
    };
    const Case cases[] = {
        {"QUART_NUM=\"03\"", 3, 0, 0, 0},
        {"KPP=\"  +42abc\" SUM=\"12,50\"", 0, 42, 12.0, 0},
        {"SUM=\" -.5e1x\" CRE_DATE=\"2017-02-30\"", 0, 0, -5.0, Date(2017, 3, 2)},
        {"CRE_DATE=\"30.01.2017\"", 0, 0, 0, 0},
        {"CRE_DATE=\"2017-1-5\"", 0, 0, 0, 0},
        {"CRE_DATE=\"1899-12-31\"", 0, 0, 0, 0},
        {"CRE_DATE=\"3000-12-31\"", 0, 0, 0, Date(3000, 12, 31)},
        {"KPP=\"99999999999999999999\" SUM=\"1e999\" CRE_DATE=\"99999-99-99\"", 0, INT_MAX, 0, 0},
        {"KPP=\"-99999999999\" SUM=\"-1e999\" QUART_NUM=\"x\"", 0, INT_MIN, 0, 0},
        {"SUM=\"1e-999\" CRE_DATE=\"\"", 0, 0, 0, 0},
        {"SUM=\"inf\" QUART_NUM=\"-\"", 0, 0, 0, 0},
    };
    for (const char* locale : {"C", "ru_RU.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr);
        for (const Case& c : cases) {
            // The SUM and the date go to a pay order and to the title.
            std::string attributes = c.attributes;
            std::string payOrder = attributes;
            const auto date = payOrder.find("CRE_DATE");
            if (date != std::string::npos) payOrder.replace(date, 8, "DT");
            RQTarvikDocument doc;
            ASSERT_EQ(LoadText(doc, Report(attributes,
                                           "<F4INFO><PAYM_ORDER " + payOrder + "/></F4INFO>")),
                      0)
                << c.attributes;
            const RQForm4& form = *doc.GetForm4Struct();
            EXPECT_EQ(form.TitleList.QUART_NUM, c.quart) << c.attributes;
            EXPECT_EQ(form.TitleList.KPP, c.kpp) << c.attributes;
            EXPECT_EQ(form.TitleList.CRE_DATE, c.date) << c.attributes;
            EXPECT_EQ(form.Chapter2.PayOrders[0].SUM, c.sum) << c.attributes << " " << locale;
            EXPECT_EQ(form.Chapter2.PayOrders[0].DT, c.date) << c.attributes;
        }
        std::setlocale(LC_ALL, "C");
    }
}

TEST(XmlReader, OneLineAddressIsSplitIntoItsParts) {
    struct Case {
        const char* caddr;
        const char* parts[9];  // POST_INDEX .. OFFICE
    };
    const Case cases[] = {
        {"101000, Область, Район, Город, Пункт, Улица, 5, 12",
         {"101000", "Область", "Район", "Город", "Пункт", "Улица", "5", "", "12"}},
        {"101000, Область, Район, Город, Пункт, Улица, 5, 12, 3",
         {"101000", "Область", "Район", "Город", "Пункт", "Улица", "5", "12", "3"}},
        {"643, 101000, Область, Район, Город, Пункт, Улица, 5, 12, 3",
         {"101000", "Область", "Район", "Город", "Пункт", "Улица", "5", "12", "3"}},
        {"101000,  Область ,Район,Город,Пункт,Улица,5,12,3,4,6",
         {"101000", "Область ", "Район", "Город", "Пункт", "Улица", "5", "12", "3,4,6"}},
        {"101000, Область, Район, Город", {"", "", "", "", "", "", "", "", ""}},
        {"101000, Область, Район, Город, Пункт, Улица, 5, ", {"", "", "", "", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        RQTarvikDocument doc;
        ASSERT_EQ(LoadText(doc, Report("CADDR=\"" + std::string(c.caddr) + "\"")), 0);
        const RQForm4TitleList& t = doc.GetForm4Struct()->TitleList;
        const std::string* parts[] = {&t.POST_INDEX, &t.ADDRESS_1, &t.ADDRESS_2,
                                      &t.ADDRESS_3,  &t.ADDRESS_4, &t.ADDRESS_5,
                                      &t.HOUSE,      &t.KORPUS,    &t.OFFICE};
        for (int i = 0; i < 9; ++i) EXPECT_EQ(*parts[i], c.parts[i]) << c.caddr << " part " << i;
        EXPECT_EQ(t.CADDR, c.caddr);
    }
    // Spaces only change nothing; parts given in the file are kept.
    RQTarvikDocument doc;
    ASSERT_EQ(LoadText(doc, Report("CADDR=\"   \"")), 0);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.OFFICE, "");
    ASSERT_EQ(LoadText(doc, Report("CADDR=\"1, 2, 3, 4, 5, 6, 7, 8\" HOUSE=\"9\"")), 0);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.HOUSE, "9");
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.OFFICE, "");
}

TEST(XmlReader, BadFilesGetACodeAndAReasonNamingTheFile) {
    TempDir dir;
    const std::string good = Report("REG_NUM=\"1\"");
    auto sparse = [&](const std::string& name, const std::string& head, off_t size) {
        const std::string path = dir / name;
        WriteFile(path, head);
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    };
    fs::create_directory(dir / "folder");
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE F4REPORT [<!ENTITY a \"aaaaaaaaaa\">";
    for (char e = 'b'; e <= 'k'; ++e) {
        bomb += std::string("<!ENTITY ") + e + " \"";
        for (int i = 0; i < 10; ++i) bomb += std::string("&") + static_cast<char>(e - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><F4REPORT><TITLE NAME=\"&k;\"/><F4INFO/></F4REPORT>";
    std::string contentBomb = bomb;
    contentBomb.replace(contentBomb.find("<TITLE NAME=\"&k;\"/>"), 19, "<TITLE>&k;</TITLE>");

    const struct {
        const char* what;
        std::string path;
        std::string content;  // written when not empty
        int code;
        const char* reasonPart;
    } cases[] = {
        {"missing file", dir / "none.xml", "", ENOENT, "не удалось открыть"},
        {"folder", dir / "folder", "", EISDIR, "папка"},
        {"empty file", dir / "empty.xml", "", 1627, "пуст"},
        {"blank file", dir / "blank.xml", " \r\n", 1627, "пуст"},
        {"not XML", dir / "text.xml", "Отчет за квартал", 1627, "не является XML"},
        {"not well-formed", dir / "broken.xml", kDeclaration + "\n<F4REPORT>\n<TITLE>\n</F4REPORT>",
         1627, "строка 4"},
        {"truncated", dir / "cut.xml", good.substr(0, good.size() / 2), 1627, "строка"},
        {"a fault on every character", dir / "faults.xml",
         kDeclaration + "<F4REPORT><!--" + std::string(20 << 20, '-') + "x-->", 1627, "строка"},
        {"entity bomb in an attribute", dir / "bomb.xml", bomb, 1627, "XML"},
        {"entity bomb in content", dir / "bomb2.xml", contentBomb, 1627, "XML"},
        {"zero bytes", sparse("zeros.xml", "", 1000), "", 1627, "XML"},
        {"several hundred megabytes", sparse("big.xml", kDeclaration + "<F4REPORT>", 256 << 20), "",
         1627, "строка"},
        {"larger than a text can be", sparse("huge.xml", "", 3LL << 30), "", 8, "велик"},
    };
    for (const auto& c : cases) {
        if (!c.content.empty() || std::string(c.what) == "empty file") WriteFile(c.path, c.content);
        RQTarvikDocument doc;
        FillFullReport(*doc.GetForm4Struct());
        const int code = doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, c.path.c_str());
        EXPECT_EQ(code, c.code) << c.what;
        ASSERT_NE(doc.GetValidateError(), nullptr) << c.what;
        const std::string reason = doc.GetValidateError();
        EXPECT_NE(reason.find(c.path), std::string::npos) << c.what << ": " << reason;
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << c.what << ": " << reason;
        EXPECT_STREQ(doc.GetFileName(), fs::path(c.path).filename().c_str()) << c.what;
        // A file that could not be read leaves the record as it was; a text
        // that could not be parsed leaves it empty.
        const bool read = c.code == 1627;
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, read ? "" : "7712345678") << c.what;
    }
    if (::geteuid() != 0) {
        const std::string locked = dir / "locked.xml";
        WriteFile(locked, good);
        ::chmod(locked.c_str(), 0);
        RQTarvikDocument doc;
        EXPECT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, locked.c_str()), EACCES);
        EXPECT_NE(doc.GetValidateError(), nullptr);
    }
}

TEST(XmlReader, ExternalEntitiesAreNeverResolved) {
    TempDir dir;
    WriteFile(dir / "secret.txt", "SECRET");
    WriteFile(dir / "secret.dtd", "<!ENTITY leak \"SECRET\">");
    const std::string doctype = "<!DOCTYPE F4REPORT SYSTEM \"" + (dir / "secret.dtd") +
                                "\" [<!ENTITY x SYSTEM \"file://" + (dir / "secret.txt") +
                                "\"><!ENTITY net SYSTEM \"http://127.0.0.1:9/x\">"
                                "<!ENTITY % p SYSTEM \"" +
                                (dir / "secret.dtd") + "\"> %p;]>";
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + doctype;
    // In content: not loaded, the document still loads.
    {
        RQTarvikDocument doc;
        ASSERT_EQ(LoadText(doc, head + "<F4REPORT><TITLE NAME=\"a&leak;\">&x;&net;</TITLE>"
                                       "<F4INFO/></F4REPORT>"),
                  0)
            << doc.GetValidateError();
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "a");
    }
    // In an attribute value an external entity is an error of the text.
    {
        RQTarvikDocument doc;
        EXPECT_EQ(LoadText(doc, head + "<F4REPORT><TITLE NAME=\"&x;\"/><F4INFO/></F4REPORT>"),
                  1627);
        ASSERT_NE(doc.GetValidateError(), nullptr);
        EXPECT_EQ(std::string(doc.GetValidateError()).find("SECRET"), std::string::npos);
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "");
    }
    // Internal entities are expanded.
    {
        RQTarvikDocument doc;
        ASSERT_EQ(LoadText(doc, ToCp1251("<!DOCTYPE F4REPORT [<!ENTITY n \"Ромашка\"><!ENTITY m "
                                         "\"ООО &n;\">]><F4REPORT><TITLE NAME=\"&m; &amp; К\"/>"
                                         "<F4INFO/></F4REPORT>")),
                  0)
            << doc.GetValidateError();
        EXPECT_EQ(doc.GetForm4Struct()->TitleList.NAME, "ООО Ромашка & К");
    }
}

TEST(XmlReader, TextLoadRunsToTheTerminatingZero) {
    const std::string text = Report("REG_NUM=\"5\"");
    RQTarvikDocument doc;
    EXPECT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, text.c_str(), 3), 0);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.REG_NUM, "5");
    EXPECT_EQ(doc.GetFileName(), nullptr);
    EXPECT_EQ(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, nullptr, 0), 1627);
    ASSERT_NE(doc.GetValidateError(), nullptr);
    EXPECT_NE(std::string(doc.GetValidateError()).find("Текст отчета"), std::string::npos);
}

TEST(XmlReader, AmountsReadAsTheNearestDouble) {
    // Every sum must read exactly as strtod reads it in the C locale.
    std::string body = "<F4INFO>";
    std::vector<std::string> sums;
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 400; ++i) {
        std::string sum = (next() % 5 == 0 ? "-" : "") + std::to_string(next() % 100000000);
        const int decimals = static_cast<int>(next() % 8);
        if (decimals > 0) {
            sum += '.';
            for (int d = 0; d < decimals; ++d) sum += static_cast<char>('0' + next() % 10);
        }
        if (i % 50 == 0) sum = "123456789012345678.25";  // beyond 15 digits
        if (i % 50 == 1) sum = "0.1e3";
        sums.push_back(sum);
        body += "<PAYM_ORDER SUM=\"" + sum + "\"/>";
    }
    body += "</F4INFO>";
    RQTarvikDocument doc;
    ASSERT_EQ(LoadText(doc, Report("", body)), 0);
    ASSERT_EQ(doc.GetForm4Struct()->Chapter2.PayOrderCount, static_cast<int>(sums.size()));
    for (std::size_t i = 0; i < sums.size(); ++i)
        EXPECT_EQ(doc.GetForm4Struct()->Chapter2.PayOrders[i].SUM,
                  std::strtod(sums[i].c_str(), nullptr))
            << sums[i];
}

TEST(XmlReader, LargeFilesAreStreamedFromDisk) {
    TempDir dir;
    RQTarvikDocument source;
    RQForm4& form = *source.GetForm4Struct();
    FillFullReport(form);
    form.SKECount = 2000;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    for (int i = 0; i < form.SKECount; ++i) {
        form.SKERows[i].OKVED = "Ж" + std::to_string(i);
        form.SKERows[i].FOT = i + 0.25;
    }
    const std::string saved = dir / "big.xml";
    ASSERT_EQ(source.SaveXML(RQTarvikDocument::XML_EXCHANGE, saved.c_str()), 0);
    ASSERT_GT(fs::file_size(saved), 256u * 1024);

    // The same text after a long comment (the root beyond the first block)
    // and after many blank lines.
    const std::string text = ReadFile(saved);
    const auto afterDeclaration = text.find("?>") + 2;
    const std::string commented = dir / "commented.xml";
    WriteFile(commented, text.substr(0, afterDeclaration) + "<!--" + std::string(100000, 'x') +
                             " -->" + text.substr(afterDeclaration));
    const std::string blank = dir / "blank.xml";
    WriteFile(blank, std::string(100000, '\n') + text.substr(afterDeclaration));

    for (const std::string& path : {saved, commented, blank}) {
        RQTarvikDocument loaded;
        ASSERT_EQ(loaded.LoadXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0)
            << path << ": " << loaded.GetValidateError();
        ExpectSameExchangeFields(form, *loaded.GetForm4Struct());
    }
    // A file cut in the middle of a row.
    const std::string cut = dir / "cut.xml";
    WriteFile(cut, text.substr(0, text.size() - 5000));
    RQTarvikDocument loaded;
    EXPECT_EQ(loaded.LoadXML(RQTarvikDocument::XML_EXCHANGE, cut.c_str()), 1627);
    EXPECT_EQ(loaded.GetForm4Struct()->SKECount, 0);
    ASSERT_NE(loaded.GetValidateError(), nullptr);
}
