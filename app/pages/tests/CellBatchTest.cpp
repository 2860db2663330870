// The batch's side that needs no page: the script it sends and how it
// takes the page's answer.
#include <gtest/gtest.h>

#include "RQCellBatch.h"

TEST(CellBatch, ScriptCarriesTextsAsJsonStrings) {
    RQCellBatch batch;
    batch.SetText("A", "кавычка \" обратная \\ строка\nконец </script>");
    std::string script = batch.Script();
    EXPECT_NE(script.find(R"(["setText","A","кавычка \" обратная \\ строка\nконец </script>"])"),
              std::string::npos);
    // Text that is not UTF-8 is repaired, not sent raw.
    RQCellBatch broken;
    broken.SetText("A", std::string("\xff\xfe", 2));
    EXPECT_EQ(broken.Script().find('\xff'), std::string::npos);
}

TEST(CellBatch, AnswersFillTheOutputs) {
    RQCellBatch batch;
    std::string text = "old";
    int number = 9, fromPage = 5, written = 5;
    double amount = 9;
    time_t date = 9;
    auto value = batch.GetValue("V", text);
    auto integer = batch.GetInt("I", number);
    auto decimal = batch.GetFloat("F", amount);
    auto dated = batch.GetDate("D", date);
    auto read = batch.ExchangeInt("X", fromPage, false, true);
    auto write = batch.ExchangeInt("Y", written, false, true);
    auto empty = batch.IsPayOrderEmpty("S", 2);
    ASSERT_EQ(batch.Size(), 7u);
    ASSERT_TRUE(batch.Apply(true, R"(["a&quot;b", "12z", "-1,5", "", "", "", {"read": "33"},)"
                                  R"( true, "", "", "", "", ""])"));
    EXPECT_EQ(text, "a\"b");
    EXPECT_TRUE(batch.Succeeded(value));
    EXPECT_EQ(number, 12);
    EXPECT_TRUE(batch.Succeeded(integer));
    EXPECT_DOUBLE_EQ(amount, -1.5);
    EXPECT_TRUE(batch.Succeeded(decimal));
    EXPECT_EQ(date, 0);
    EXPECT_TRUE(batch.Succeeded(dated));  // three empty cells: no date
    EXPECT_EQ(fromPage, 33);
    EXPECT_EQ(batch.Status(read), RQCellBatch::ExchangeFromPage);
    EXPECT_EQ(written, 5);
    EXPECT_EQ(batch.Status(write), 1);
    EXPECT_TRUE(batch.Succeeded(empty));
}

TEST(CellBatch, AFailedOrMisshapenAnswerFailsEveryOperation) {
    for (auto [ok, answer] : {std::pair{false, "[\"x\"]"},
                              {true, "not json"},
                              {true, "[]"},
                              {true, "[\"x\", \"y\", \"z\"]"},
                              {true, "{\"a\": 1}"}}) {
        RQCellBatch batch;
        std::string text = "kept";
        int number = 4;
        auto value = batch.GetValue("V", text);
        auto integer = batch.GetInt("I", number);
        EXPECT_FALSE(batch.Apply(ok, answer)) << answer;
        EXPECT_FALSE(batch.Succeeded(value));
        EXPECT_FALSE(batch.Succeeded(integer));
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(number, 0);
    }
}
