#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "TarvikDocument.h"

using Finding = RQErrorCellDescription;

TEST(Finding, SetFillsNamesAndFormatsTheMessage) {
    struct Case {
        int table;
        const char* tableName;
        const char* sectionName;
    } cases[] = {
        {0, "", ""},
        {1, "Титульный лист", "Титульный лист"},
        {2, "Таблица 1", "Раздел 1"},
        {3, "Таблица 2", "Раздел 1"},
        {4, "Таблица 1.1", "Раздел 1"},
        {5, "Таблица 3", "Раздел 1"},
        {6, "Таблица 4", "Раздел 1"},
        {7, "Таблица 5", "Раздел 1"},
        {8, "Таблица СКЕ", "Таблица СКЕ"},
        {9, "", ""},
        {-1, "", ""},
    };
    for (const Case& c : cases) {
        Finding f;
        f.CellId2 = "left over";
        f.Set(Finding::FORM4_TABLE_ID(c.table), Finding::RECORD_WARNING, 3, 4, "T7R3C1",
              "Строка %d: %s", 3, "текст");
        EXPECT_EQ(f.TableName, c.tableName) << c.table;
        EXPECT_EQ(f.SectionName, c.sectionName) << c.table;
        EXPECT_EQ(f.TableId, c.table);
        EXPECT_EQ(f.RecordType, Finding::RECORD_WARNING);
        EXPECT_EQ(f.Row, 3);
        EXPECT_EQ(f.Column, 4);
        EXPECT_EQ(f.CellId, "T7R3C1");
        EXPECT_EQ(f.CellId2, "");
        EXPECT_EQ(f.Message, "Строка 3: текст");
    }
}

TEST(Finding, MessagesOfAnyLengthAreKeptWhole) {
    const std::string longText(100000, 'x');
    Finding f;
    f.Set(Finding::ID_TITLE, Finding::RECORD_ERROR, 0, 0, nullptr, "[%s]", longText.c_str());
    EXPECT_EQ(f.Message, "[" + longText + "]");
    EXPECT_EQ(f.CellId, "");
}

TEST(Finding, NumbersAreFormattedInTheCLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    Finding f;
    f.Set(Finding::ID_TABLE7, Finding::RECORD_ERROR, 1, 1, "x", "%.2f", 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(f.Message, "1.50");
}

TEST(Finding, RowAndColumnTexts) {
    Finding f;
    f.Row = 0;
    f.Column = -2;
    EXPECT_EQ(f.GetStrRow(), "");
    EXPECT_EQ(f.GetStrColumn(), "");
    f.Row = 12;
    f.Column = 3;
    EXPECT_EQ(f.GetStrRow(), "12");
    EXPECT_EQ(f.GetStrColumn(), "3");
}

TEST(Findings, CountRemoveAndCopy) {
    RQForm4ErrorCells list;
    Finding f;
    f.Set(Finding::ID_TABLE6, Finding::RECORD_ERROR, 1, 0, "a", "first");
    list.Append(&f);
    f.Set(Finding::ID_TABLE6, Finding::RECORD_ERROR, 2, 0, "b", "second");
    list.Append(&f);
    f.Set(Finding::ID_TABLE6, Finding::RECORD_WARNING, 3, 0, "c", "third");
    list.Append(&f);
    f.RecordType = Finding::RECORD_TYPE(7);
    list.Append(&f);

    int errors = -1, warnings = -1;
    list.GetCountInfo(errors, warnings);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(list.Size(), 4);

    RQForm4ErrorCells copy(list);
    list.Remove(0);
    ASSERT_EQ(list.Size(), 3);
    EXPECT_EQ(list.Get(0)->Message, "second");
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    list.Remove(17);
    EXPECT_EQ(list.Size(), 3);
    EXPECT_EQ(copy.Size(), 4);
    EXPECT_EQ(copy.Get(0)->Message, "first");

    list.Clear();
    EXPECT_EQ(list.Size(), 0);
    list.GetCountInfo(errors, warnings);
    EXPECT_EQ(errors + warnings, 0);
}

TEST(CellTypeToStr, NamesEveryType) {
    using Doc = RQTarvikDocument;
    EXPECT_STREQ(CellTypeToStr(Doc::CELL_TYPE_STRONG_STRING), "StrongString");
    EXPECT_STREQ(CellTypeToStr(Doc::CELL_TYPE_DWORD), "DWORD");
    EXPECT_STREQ(CellTypeToStr(Doc::CELL_TYPE_FLOAT), "float");
    EXPECT_STREQ(CellTypeToStr(Doc::CELL_TYPE_INT), "DWORD");
    EXPECT_STREQ(CellTypeToStr(Doc::CELL_DATA_TYPE(7)), "SimpleType");
}
