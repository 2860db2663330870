#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

#include "CheckFixture.h"
#include "TarvikDocument.h"

namespace {

// The protocol page of the document, decoded from windows-1251 for
// comparison with UTF-8 literals (only Cyrillic and ASCII occur).
struct Protocol {
    int result = -1;
    int status = -1;
    std::string page;  // windows-1251 bytes
    int length = -1;
};

Protocol Make(RQTarvikDocument& doc, const char* path = nullptr) {
    Protocol p;
    char* text = nullptr;
    p.result = path ? doc.CreateCheckProtocol(path, text, p.length, p.status)
                    : doc.CreateCheckProtocol(text, p.length, p.status);
    if (text) {
        p.page.assign(text);
        Form4Document_Delete(text);
    }
    return p;
}

// UTF-8 to windows-1251 for the Cyrillic literals the tests look for.
std::string Cp1251(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += char(b);
            continue;
        }
        const auto next = [&] { return static_cast<unsigned char>(utf8[++i]) & 0x3Fu; };
        unsigned cp = (b & 0xE0) == 0xE0 ? (b & 0x0Fu) << 12 : (b & 0x1Fu) << 6;
        if ((b & 0xE0) == 0xE0) cp |= next() << 6;
        cp |= next();
        if (cp == 0x401)
            out += char(0xA8);  // Ё
        else if (cp == 0x451)
            out += char(0xB8);  // ё
        else if (cp == 0x2116)
            out += char(0xB9);  // №
        else
            out += char(cp - 0x410 + 0xC0);
    }
    return out;
}

bool Has(const Protocol& p, const std::string& utf8) {
    return p.page.find(Cp1251(utf8)) != std::string::npos;
}

int Count(const Protocol& p, const std::string& utf8) {
    const std::string needle = Cp1251(utf8);
    int n = 0;
    for (auto at = p.page.find(needle); at != std::string::npos; at = p.page.find(needle, at + 1))
        ++n;
    return n;
}

// A temporary folder removed with its files at the end of the test.
class ProtocolFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvik-protocol-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    // Saves the clean report under name and returns the path.
    std::string SaveClean(const std::string& name) {
        RQTarvikDocument doc;
        checktest::FillCleanReport(*doc.GetForm4Struct());
        const std::string path = dir_ + "/" + name;
        EXPECT_EQ(doc.SaveXML(RQTarvikDocument::XML_EXCHANGE, path.c_str()), 0);
        return path;
    }
    std::string dir_;
};

}  // namespace

TEST_F(ProtocolFiles, CleanReportWithAProperName) {
    RQTarvikDocument doc;
    const Protocol p = Make(doc, SaveClean("7701234567_2017_03.xml").c_str());
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.length, static_cast<int>(p.page.size()));
    EXPECT_TRUE(Has(p, "<title>Morvane - 7701234567_2017_03.xml</title>"));
    EXPECT_TRUE(Has(p, "charset=windows-1251"));
    EXPECT_TRUE(Has(p, "bgcolor=\"#B4FAB2\""));
    EXPECT_TRUE(Has(p, "<font color=\"#04B900\">Успешно</font>"));
    EXPECT_TRUE(Has(p, "<td><b>0</b></td><td><b>0</b></td>"));
    EXPECT_TRUE(Has(p, "ООО &quot;Ромашка&quot;"));
    EXPECT_TRUE(Has(p, std::string("версия ") + doc.GetProductVersion() + " от "));
    EXPECT_FALSE(Has(p, "<thead"));
    EXPECT_TRUE(p.page.ends_with("</div></body></html>"));
    EXPECT_TRUE(std::regex_search(
        p.page, std::regex(R"(<td colspan="2">\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d</td>)")));
}

TEST_F(ProtocolFiles, BadFileNameIsOneMoreWarningButNotTheStatus) {
    RQTarvikDocument doc;
    const Protocol p = Make(doc, SaveClean("report.xml").c_str());
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.status, 0);
    EXPECT_TRUE(Has(p, "Успешно"));
    EXPECT_TRUE(Has(p, "<td><b>0</b></td><td><b>1</b></td>"));
    EXPECT_TRUE(Has(p, "<font color=\"#FF0000\">Структура документа</font>"));
    EXPECT_TRUE(Has(p,
                    "<td align=\"right\">1.</td><td></td><td></td><td></td>"
                    "<td><b><span style=\"color: #0080FF;\">Предупреждение</span></b><br>"
                    "Имя файла не соответствует утвержденному формату:<br><b>[Рег. "
                    "Номер]_[Отчетный год]_[Отчетный квартал].xml</b></td>"));
    EXPECT_TRUE(Has(p, "<th width=\"1%%\">№</th>")) << "the findings head is written verbatim";
}

TEST(Protocol, FindingsAreGroupedBySectionAndNumbered) {
    RQTarvikDocument doc;
    RQForm4& form = *doc.GetForm4Struct();
    checktest::FillCleanReport(form);
    form.TitleList.YEAR_NUM = 2017;
    form.TitleList.CEO = "";              // a missing mandatory field
    form.Chapter2.Table7.T7R18C1 += 100;  // table 2 no longer adds up
    form.TitleList.NAME = "ООО <филиал> & Ко";
    const Protocol p = Make(doc);
    ASSERT_EQ(p.result, 0);

    const RQForm4ErrorCells& found = *doc.GetErrorCells();
    ASSERT_GT(found.Size(), 0);
    int errors = 0, warnings = 0;
    found.GetCountInfo(errors, warnings);
    EXPECT_EQ(p.status, errors > 0 ? 2 : warnings > 0 ? 1 : 0);
    // Reported name 7701234567_2017_03.xml passes the rule: no extra row.
    EXPECT_TRUE(Has(p, "7701234567_2017_03.xml"));
    EXPECT_FALSE(Has(p, "Структура документа"));
    EXPECT_TRUE(Has(p, "ООО &lt;филиал&gt; &amp; Ко"));
    EXPECT_FALSE(Has(p, "<филиал>"));

    int sections = 0;
    for (int i = 0; i < found.Size(); ++i) {
        const RQErrorCellDescription* f = found.Get(i);
        if (i == 0 || f->SectionName != found.Get(i - 1)->SectionName) ++sections;
        EXPECT_TRUE(Has(p, "<td align=\"right\">" + std::to_string(i + 1) + ".</td><td>" +
                               f->TableName + "</td>"))
            << i;
    }
    EXPECT_EQ(Count(p, "<tr bgcolor=\"#ffed93\">"), sections);
    EXPECT_EQ(p.status, 2);
    EXPECT_TRUE(Has(p, "<font color=\"#FF0000\">Плохо</font>"));
}

TEST(Protocol, WarningsOnlyGiveTheirOwnStatus) {
    RQTarvikDocument doc;
    checktest::FillCleanReport(*doc.GetForm4Struct());
    doc.GetForm4Struct()->TitleList.Upoln = 5;  // a warning that does not fail the control
    const Protocol p = Make(doc);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.status, 1);
    EXPECT_TRUE(Has(p, "<td><b>0</b></td><td><b>1</b></td>"));
    EXPECT_TRUE(Has(p,
                    "bgcolor=\"#FFED93\" style=\"font-size: 10pt;\"><b><font "
                    "color=\"#FF0000\">Предупреждения</font>"));
    EXPECT_EQ(Count(p, "<font color=\"#000000\">"), 2) << "name and number stay black";
    EXPECT_TRUE(Has(p,
                    "<td align=\"right\">1.</td><td>Титульный лист</td><td></td><td></td>"
                    "<td><b><span style=\"color: #0080FF;\">Предупреждение</span></b><br>"));
}

TEST(Protocol, NameBuiltFromTheTitleWhenNeverLoaded) {
    RQTarvikDocument doc;
    checktest::FillCleanReport(*doc.GetForm4Struct());
    doc.GetForm4Struct()->TitleList.REG_NUM = "770123456";  // nine digits
    const Protocol p = Make(doc);
    ASSERT_EQ(p.result, 0);
    EXPECT_TRUE(Has(p, "<title>Morvane - 770123456_2017_03.xml</title>"));
    EXPECT_TRUE(Has(p, "Имя файла не соответствует"));
}

TEST_F(ProtocolFiles, UnreadableReports) {
    RQTarvikDocument doc;
    const std::string missing = dir_ + "/7701234567_2017_03.xml";
    Protocol p = Make(doc, missing.c_str());
    EXPECT_EQ(p.result, ENOENT);
    EXPECT_TRUE(p.page.empty());

    // Well-formed, but without F4INFO: the loader fails with 232.
    const std::string noInfo = dir_ + "/noinfo.xml";
    std::ofstream(noInfo) << "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
                             "<F4REPORT><TITLE REG_NUM=\"1\"/></F4REPORT>";
    p = Make(doc, noInfo.c_str());
    EXPECT_NE(p.result, 0);
    EXPECT_TRUE(p.page.empty());
}

TEST(Protocol, ValidationErrorIsReportedAsCritical) {
    RQTarvikDocument doc;
    const char* text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?><F4REPORT><TITLE";
    ASSERT_NE(doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, text, 0), 0);
    ASSERT_NE(doc.GetValidateError(), nullptr);
    RQErrorCellDescription kept;
    kept.Set(RQErrorCellDescription::ID_TITLE, RQErrorCellDescription::RECORD_WARNING, 0, 0, "",
             "kept");
    doc.AppendErrorCell(&kept);

    const Protocol p = Make(doc);
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(doc.GetErrorCells()->Size(), 1) << "no check runs over an unreadable report";
    EXPECT_TRUE(Has(p, "<title>Morvane - \?\?\?</title>"));
    EXPECT_TRUE(Has(p, "<font color=\"#FF0000\">\?\?\?</font>"));
    EXPECT_TRUE(Has(p, "<td><b>1</b></td>"));
    EXPECT_TRUE(Has(p, "Критическая ошибка"));
    EXPECT_TRUE(Has(p, "<td align=\"right\">2.</td>")) << "the file-name row follows";
    EXPECT_FALSE(Has(p, ">kept<"));
}
