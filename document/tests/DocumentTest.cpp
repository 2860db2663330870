#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <regex>

#include "TarvikDocument.h"

TEST(Document, FreshDocumentIsEmptyAndKnowsItsVersion) {
    RQTarvikDocument doc;
    EXPECT_EQ(doc.GetValidateError(), nullptr);
    EXPECT_EQ(doc.GetFileName(), nullptr);
    EXPECT_EQ(doc.GetErrorCells()->Size(), 0);
    ASSERT_NE(doc.GetProductVersion(), nullptr);
    EXPECT_TRUE(std::regex_match(doc.GetProductVersion(), std::regex(R"(\d+\.\d+\.\d+\.\d+)")));
    ASSERT_NE(doc.GetBuildDate(), nullptr);
    EXPECT_TRUE(std::regex_match(doc.GetBuildDate(), std::regex(R"(\d\d\.\d\d\.\d{4})")));
}

TEST(Document, ClearKeepsFindingsAndTheRecordPointer) {
    RQTarvikDocument doc;
    RQForm4* form = doc.GetForm4Struct();
    form->TitleList.REG_NUM = "7712345678";
    form->SKECount = 3;
    ASSERT_EQ(form->AllocTableSKE(), 1);
    RQErrorCellDescription finding;
    finding.Set(RQErrorCellDescription::ID_TITLE, RQErrorCellDescription::RECORD_ERROR, 0, 0,
                "REG_NUM", "Не заполнено");
    doc.AppendErrorCell(&finding);

    doc.Clear();
    EXPECT_EQ(doc.GetForm4Struct(), form);
    EXPECT_EQ(form->TitleList.REG_NUM, "");
    EXPECT_EQ(form->SKECount, 0);
    EXPECT_EQ(doc.GetErrorCells()->Size(), 1);
    EXPECT_NE(doc.GetProductVersion(), nullptr);
}

TEST(Document, CopiesAreDeep) {
    RQTarvikDocument doc;
    doc.GetForm4Struct()->Chapter2.Table6_1Count = 1;
    ASSERT_EQ(doc.GetForm4Struct()->Chapter2.AllocTable6_1(), 1);
    RQTarvikDocument copy(doc);
    copy.GetForm4Struct()->Chapter2.Table6_1Rows[0].INN_P = "x";
    EXPECT_EQ(doc.GetForm4Struct()->Chapter2.Table6_1Rows[0].INN_P, "");
}

TEST(Buffers, ReleaseFunctionsAcceptNullAndResetThePointer) {
    char* buffer = nullptr;
    Form4Document_Delete(buffer);
    EXPECT_EQ(buffer, nullptr);
    buffer = new char[8];
    Form4Document_Delete(buffer);
    EXPECT_EQ(buffer, nullptr);

    Form4Document_Free(buffer);
    buffer = static_cast<char*>(std::malloc(8));
    Form4Document_Free(buffer);
    EXPECT_EQ(buffer, nullptr);
}
