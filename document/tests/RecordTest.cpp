#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "TarvikDocument.h"

TEST(CompareRounded, AtTheKopeckBoundaries) {
    struct Case {
        double a, b;
        int expected;
    } cases[] = {
        {0.004, 0.0, 0},        {0.006, 0.0, -1},
        {-0.014, 0.0, 0},       {-0.015, 0.0, 1},
        {0.0, 0.006, 1},        {10.00, 10.004, 0},
        {10.00, 10.0051, 1},    {1e12, 1e12 + 0.001, 0},
        {1e12, 1e12 + 0.02, 1}, {123456789.12, 123456789.13, 1},
        {-5.5, -5.5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareRounded(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(CompareRounded, ClampsWhatDoesNotFitInSixtyFourBits) {
    EXPECT_EQ(CompareRounded(1e300, 1e299), 0);
    EXPECT_EQ(CompareRounded(-1e300, 1e300), 1);
    EXPECT_EQ(CompareRounded(std::nan(""), 0.0), 0);
}

TEST(Allocation, CountsZeroNegativeAndHuge) {
    RQForm4Chapter2 chapter;
    chapter.PayOrderCount = 3;
    ASSERT_EQ(chapter.AllocPayOrder(), 1);
    ASSERT_NE(chapter.PayOrders, nullptr);
    EXPECT_TRUE(chapter.PayOrders[2].IsEmpty());

    chapter.PayOrderCount = 0;
    EXPECT_EQ(chapter.AllocPayOrder(), 1);
    EXPECT_EQ(chapter.PayOrders, nullptr);

    chapter.Table6_1Count = -4;
    EXPECT_EQ(chapter.AllocTable6_1(), 1);
    EXPECT_EQ(chapter.Table6_1Rows, nullptr);
    EXPECT_EQ(chapter.Table6_1Count, -4);

    RQForm4 form;
    form.SKECount = INT_MAX;
    EXPECT_EQ(form.AllocTableSKE(), 0);
    EXPECT_EQ(form.SKECount, 0);
    EXPECT_EQ(form.SKERows, nullptr);
}

TEST(Allocation, ReplacesThePreviousArrayWithDefaults) {
    RQForm4 form;
    form.SKECount = 2;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    form.SKERows[0].OKVED = "01.11";
    form.SKERows[1].FOT = 5;
    form.SKECount = 2;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    EXPECT_EQ(form.SKERows[0].OKVED, "");
    EXPECT_EQ(form.SKERows[1].FOT, 0.0);
}

TEST(Emptiness, PayOrderComparesExactly) {
    RQForm4PayOrder order;
    EXPECT_EQ(order.IsEmpty(), 1);
    order.Line = 4;
    order.SumCellId = "PO_SUM4";
    EXPECT_EQ(order.IsEmpty(), 1) << "Line and SumCellId play no part";
    order.SUM = 0.001;
    EXPECT_EQ(order.IsEmpty(), 0);
    order.SUM = 0;
    order.DT = 86400;
    EXPECT_EQ(order.IsEmpty(), 0);
    order.DT = 0;
    order.NUM = "1";
    EXPECT_EQ(order.IsEmpty(), 0);
}

TEST(Emptiness, Table6_1RowIgnoresWorkersAndLaterMonths) {
    using Setter = void (*)(RQForm4Table6_1&);
    struct Case {
        const char* what;
        Setter set;
        bool empty;
    } cases[] = {
        {"nothing", [](RQForm4Table6_1&) {}, true},
        {"WRK_P", [](RQForm4Table6_1& r) { r.WRK_P = 7; }, true},
        {"C2", [](RQForm4Table6_1& r) { r.C2 = 100; }, true},
        {"C3", [](RQForm4Table6_1& r) { r.C3 = 100; }, true},
        {"FOT_P below a kopeck", [](RQForm4Table6_1& r) { r.FOT_P = 0.004; }, true},
        {"FOT_P", [](RQForm4Table6_1& r) { r.FOT_P = 0.01; }, false},
        {"C1", [](RQForm4Table6_1& r) { r.C1 = 1; }, false},
        {"I3", [](RQForm4Table6_1& r) { r.I3 = 1; }, false},
        {"MIS_ALL_P", [](RQForm4Table6_1& r) { r.MIS_ALL_P = 0.2; }, false},
        {"INN_P", [](RQForm4Table6_1& r) { r.INN_P = "7701234567"; }, false},
        {"OKVED_P", [](RQForm4Table6_1& r) { r.OKVED_P = "01.11"; }, false},
    };
    for (const Case& c : cases) {
        RQForm4Table6_1 row;
        c.set(row);
        EXPECT_EQ(row.IsEmpty(), c.empty) << c.what;
    }
}

TEST(Emptiness, Tables3And4IgnoreTheirTotals) {
    RQForm4Table8 t8;
    t8.T8_SUM_R10C4 = 500;
    EXPECT_TRUE(t8.IsEmpty());
    t8.T6R11C2 = 0.004;
    EXPECT_TRUE(t8.IsEmpty());
    t8.T6R6C1 = 1;
    EXPECT_FALSE(t8.IsEmpty());

    RQForm4Table9 t9;
    t9.T9_SUM_R4C3 = 3;
    EXPECT_TRUE(t9.IsEmpty());
    t9.M5 = 1;
    EXPECT_FALSE(t9.IsEmpty());
}

TEST(SetChapter, ThreePayOrdersIntoFive) {
    RQForm4Chapter2 source;
    source.IS_INV = 1;
    source.Table7.T7R1C1 = 12.5;
    source.PayOrderCount = 3;
    ASSERT_EQ(source.AllocPayOrder(), 1);
    for (int i = 0; i < 3; ++i) {
        source.PayOrders[i].NUM = "п/п " + std::to_string(i + 1);
        source.PayOrders[i].SUM = 100.0 * (i + 1);
        source.PayOrders[i].DT = 1000 * (i + 1);
        source.PayOrders[i].Line = i + 4;
        source.PayOrders[i].SumCellId = "PO_SUM" + std::to_string(i + 4);
    }
    source.Table6_1Count = 1;
    ASSERT_EQ(source.AllocTable6_1(), 1);
    source.Table6_1Rows[0].REG_NUM_P = "7700000001";
    source.Table6_1Rows[0].C3 = 9.99;

    RQForm4Chapter2 target;
    target.PayOrderCount = 5;
    ASSERT_EQ(target.AllocPayOrder(), 1);
    target.PayOrders[4].NUM = "stale";
    target.Table8.T6R3C1 = 99;

    EXPECT_EQ(target.SetChapter(&source), 1);
    ASSERT_EQ(target.PayOrderCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(target.PayOrders[i].NUM, source.PayOrders[i].NUM);
        EXPECT_EQ(target.PayOrders[i].SUM, source.PayOrders[i].SUM);
        EXPECT_EQ(target.PayOrders[i].DT, source.PayOrders[i].DT);
        EXPECT_EQ(target.PayOrders[i].Line, source.PayOrders[i].Line);
        EXPECT_EQ(target.PayOrders[i].SumCellId, source.PayOrders[i].SumCellId);
    }
    EXPECT_NE(target.PayOrders.get(), source.PayOrders.get());
    ASSERT_EQ(target.Table6_1Count, 1);
    EXPECT_EQ(target.Table6_1Rows[0].REG_NUM_P, "7700000001");
    EXPECT_EQ(target.Table6_1Rows[0].C3, 9.99);
    EXPECT_EQ(target.Table8.T6R3C1, 0);
    EXPECT_EQ(target.Table7.T7R1C1, 12.5);
    EXPECT_EQ(target.IS_INV, 1);
}

TEST(Copies, AreDeep) {
    RQForm4 form;
    form.TitleList.NAME = "ООО \"Ромашка\"";
    form.SKECount = 1;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    form.SKERows[0].OKVED = "10.1";
    form.Chapter2.PayOrderCount = 1;
    ASSERT_EQ(form.Chapter2.AllocPayOrder(), 1);

    RQForm4 copy(form);
    copy.SKERows[0].OKVED = "changed";
    copy.Chapter2.PayOrders[0].NUM = "changed";
    EXPECT_EQ(form.SKERows[0].OKVED, "10.1");
    EXPECT_EQ(form.Chapter2.PayOrders[0].NUM, "");
    EXPECT_EQ(copy.TitleList.NAME, form.TitleList.NAME);

    RQForm4 assigned;
    assigned = form;
    EXPECT_NE(assigned.SKERows.get(), form.SKERows.get());
    EXPECT_EQ(assigned.SKERows[0].OKVED, "10.1");
}

TEST(TitleList, SetLeavesNothingBehind) {
    RQForm4TitleList target;
    target.REG_NUM = "old";
    target.UpolnDoc = "доверенность";
    target.CRE_DATE = 12345;
    target.PageCount = 9;
    target.LIKV = 1;

    RQForm4TitleList source;
    source.REG_NUM = "7712345678";
    target.Set(&source);
    EXPECT_EQ(target.REG_NUM, "7712345678");
    EXPECT_EQ(target.UpolnDoc, "");
    EXPECT_EQ(target.CRE_DATE, 0);
    EXPECT_EQ(target.PageCount, 0);
    EXPECT_EQ(target.LIKV, 0);
}

TEST(Copies, FromThemselvesKeepEverything) {
    RQForm4TitleList title;
    title.REG_NUM = "7712345678";
    title.CRE_DATE = 86400;
    title.Set(&title);
    EXPECT_EQ(title.REG_NUM, "7712345678");
    EXPECT_EQ(title.CRE_DATE, 86400);

    RQForm4Chapter2 chapter;
    chapter.Table9.M1 = 2;
    chapter.PayOrderCount = 2;
    ASSERT_EQ(chapter.AllocPayOrder(), 1);
    chapter.PayOrders[1].NUM = "17";
    chapter.Table6_1Count = 1;
    ASSERT_EQ(chapter.AllocTable6_1(), 1);
    chapter.Table6_1Rows[0].INN_P = "7701234567";
    EXPECT_EQ(chapter.SetChapter(&chapter), 1);
    EXPECT_EQ(chapter.Table9.M1, 2);
    ASSERT_EQ(chapter.PayOrderCount, 2);
    EXPECT_EQ(chapter.PayOrders[1].NUM, "17");
    ASSERT_EQ(chapter.Table6_1Count, 1);
    EXPECT_EQ(chapter.Table6_1Rows[0].INN_P, "7701234567");
}

TEST(Form4, ClearEmptiesEverything) {
    RQForm4 form;
    form.TitleList.INN = "7701234567";
    form.Chapter2.Table6.INC_DATE = 5;
    form.Chapter2.Table10.MED_C2 = 3;
    form.Chapter2.PayOrderCount = 2;
    ASSERT_EQ(form.Chapter2.AllocPayOrder(), 1);
    form.SKECount = 2;
    ASSERT_EQ(form.AllocTableSKE(), 1);
    form.Clear();
    EXPECT_EQ(form.TitleList.INN, "");
    EXPECT_EQ(form.Chapter2.Table6.INC_DATE, 0);
    EXPECT_EQ(form.Chapter2.Table10.MED_C2, 0);
    EXPECT_EQ(form.Chapter2.PayOrderCount, 0);
    EXPECT_EQ(form.Chapter2.PayOrders, nullptr);
    EXPECT_EQ(form.SKECount, 0);
    EXPECT_EQ(form.SKERows, nullptr);
}
