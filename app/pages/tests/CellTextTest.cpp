#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "RQCellText.h"

using namespace RQCellText;

TEST(CellText, IntegerAndDecimalTexts) {
    struct Case {
        const char* text;
        bool integer;
        bool decimal;
    } cases[] = {
        {"", false, true},      {"-", false, true},      {"0", true, true},
        {"123", true, true},    {"-45", true, true},     {"--4", false, false},
        {"+4", false, false},   {" 4", false, false},    {"4 ", false, false},
        {"1,5", false, true},   {"-1.25", false, true},  {"1,", false, false},
        {",5", false, false},   {"1,2,3", false, false}, {"1.2.3", false, false},
        {"1,.5", false, false}, {"12a", false, false},   {"١٢", false, false},
        {"-,5", false, false},  {"1e5", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsIntegerText(c.text), c.integer) << '"' << c.text << '"';
        EXPECT_EQ(IsDecimalText(c.text), c.decimal) << '"' << c.text << '"';
    }
}

TEST(CellText, NumbersAreReadLikeTheCRuntimeInAnyLocale) {
    // The program runs with a decimal comma; reading must not care.
    std::setlocale(LC_ALL, "ru_RU.UTF-8");
    struct Case {
        const char* text;
        int asInt;
        double asDecimal;
    } cases[] = {
        {"", 0, 0},
        {"  -12x", -12, -12},
        {"+7", 7, 7},
        {"1,5", 1, 1.5},
        {"1.5", 1, 1.5},
        {"-0,25", 0, -0.25},
        {"3,", 3, 3},
        {",5", 0, 0.5},
        {"1e3", 1, 1000},
        {"1,5e2", 1, 150},
        {"2,E-1x", 2, 0.2},
        {",5e1", 0, 5},
        {"4e", 4, 4},
        {"4e+", 4, 4},
        {"-4,e1", -4, -40},
        {"1e999", 1, 0},
        {"abc", 0, 0},
        {"99999999999", INT_MAX, 99999999999.0},
        {"-99999999999", INT_MIN, -99999999999.0},
        {"0012,340", 12, 12.34},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLeadingInt(c.text), c.asInt) << c.text;
        EXPECT_DOUBLE_EQ(ParseLeadingDecimal(c.text), c.asDecimal) << c.text;
    }
    EXPECT_EQ(FormatAmount(1234.5), "1234.50");
    EXPECT_EQ(FormatAmount(0.125), "0.12");  // an exact tie goes to the even digit, as in printf
    EXPECT_EQ(FormatAmount(-3), "-3.00");
    EXPECT_EQ(FormatInt(-17), "-17");
    std::setlocale(LC_ALL, "C");
}

TEST(CellText, QuotEntities) {
    EXPECT_EQ(ReplaceQuotEntities("a&quot;b&quot;"), "a\"b\"");
    EXPECT_EQ(ReplaceQuotEntities("&quot;quot;"), "\"quot;");
    EXPECT_EQ(ReplaceQuotEntities("&amp;quot &quo"), "&amp;quot &quo");
}

TEST(CellText, CellFormatAndDateRules) {
    using V = std::optional<std::string>;
    EXPECT_TRUE(CheckCellFormat(std::nullopt, 1));
    EXPECT_TRUE(CheckCellFormat(V(""), 1));
    EXPECT_FALSE(CheckCellFormat(V("1,5"), 1));
    EXPECT_TRUE(CheckCellFormat(V("1,5"), 2));
    EXPECT_TRUE(CheckCellFormat(V("x"), 0));
    EXPECT_TRUE(CheckCellFormat(V("x"), 3));

    struct Case {
        V day, month, year;
        bool ok;
    } cases[] = {
        {V(""), V(""), V(""), true},
        {V("31"), V("02"), V("2010"), true},
        {V("01"), V("01"), V("1900"), false},
        {V("01"), V("01"), V("1901"), true},
        {V(""), V("05"), V(""), false},
        {V("00"), V("05"), V("2010"), false},
        {V("31"), V("12"), V("2010"), true},
        {V("32"), V("12"), V("2010"), false},
        {V("1"), V("0"), V("2010"), false},
        {V("-1"), V("5"), V("2010"), false},
        {V("1"), V("5"), std::nullopt, false},  // a missing cell reads as 0
        {std::nullopt, std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckDate(c.day, c.month, c.year), c.ok)
            << c.day.value_or("-") << "." << c.month.value_or("-") << "." << c.year.value_or("-");
}

TEST(CellText, DatesConvertAtLocalMidnight) {
    auto t = LocalMidnight(15, 6, 2024);
    ASSERT_TRUE(t);
    std::tm fields{};
    localtime_r(&*t, &fields);
    EXPECT_EQ(fields.tm_hour, 0);
    EXPECT_EQ(fields.tm_mday, 15);
    auto texts = SplitDate(*t);
    EXPECT_EQ(texts.Day, "15");
    EXPECT_EQ(texts.Month, "06");
    EXPECT_EQ(texts.Year, "2024");
    // Days past the month's end roll over.
    texts = SplitDate(*LocalMidnight(31, 2, 2010));
    EXPECT_EQ(texts.Day + "." + texts.Month, "03.03");
    EXPECT_FALSE(LocalMidnight(1, 1, 1969));
    EXPECT_FALSE(LocalMidnight(1, 1, 3001));
    EXPECT_TRUE(SplitDate(0).Day.empty());

    auto ids = MakeDateIds("DT", 4);
    EXPECT_EQ(ids.Day + " " + ids.Month + " " + ids.Year, "DT_DAY_4 DT_MONTH_4 DT_YEAR_4");
    ids = MakeDateIds("CRE_DATE", 0);
    EXPECT_EQ(ids.Year, "CRE_DATE_YEAR");
}

TEST(CellText, ControlKeysAndForbiddenSet) {
    int controls[] = {8,  9,  12,  13,  16,  20,  27,  31,  33,  46,  47, 91,
                      93, 95, 112, 116, 135, 144, 145, 160, 165, 166, 183};
    int filtered[] = {0,   10,  14,  21,  26,  32,  48,  57,  65,  90,  94,  96,
                      105, 106, 111, 136, 143, 146, 159, 184, 186, 189, 190, 222};
    for (int key : controls) EXPECT_TRUE(IsControlKey(key)) << key;
    for (int key : filtered) EXPECT_FALSE(IsControlKey(key)) << key;
    // 43 bytes in the single-byte code page: "№" is one of them.
    std::string forbidden = StrongStringForbidden;
    EXPECT_EQ(forbidden.size(), 43u + 2u);
    EXPECT_NE(forbidden.find("№"), std::string::npos);
}
