#include <gtest/gtest.h>

#include <climits>

#include "CheckFixture.h"
#include "TarvikDocument.h"

using checktest::Date;
using checktest::SetPayOrder;

TEST(CalculateTable6, RateAfterDiscountAndSurchargeAndLineOne) {
    struct Case {
        double rate;
        int discount, surcharge;
        double expected;
    } cases[] = {
        {0.2, 10, 0, 0.18}, {0.2, 10, 40, 0.26}, {0.2, 0, 0, 0.2},
        {8.5, 0, 40, 11.9}, {1.0, 100, 0, 0.0},
    };
    for (const Case& c : cases) {
        RQForm4Table6 t;
        t.RATE_MIS = c.rate;
        t.RATE_DEC = c.discount;
        t.RATE_INC = c.surcharge;
        RQTarvikDocument::CalculateTable6(&t);
        EXPECT_NEAR(t.T6_SUM_C6, c.expected, 1e-12) << c.rate << " " << c.discount;
    }

    RQForm4Table6 t;
    t.T1R3C2 = 1;
    t.NC = 2;
    t.C1 = 4;
    t.NC1 = 8;
    t.C2 = 16;
    t.NC2 = 32;
    t.C3 = 64;
    t.NC3 = 128;
    RQTarvikDocument::CalculateTable6(&t);
    EXPECT_EQ(t.T6_SUM_R1C3, 3);
    EXPECT_EQ(t.T6_SUM_R1C4, 12);
    EXPECT_EQ(t.T6_SUM_R1C5, 48);
    EXPECT_EQ(t.T6_SUM_R1C6, 192);
}

// Every input of table 2 a distinct power of two, so that each total shows
// exactly which fields went into it and with which sign.
TEST(CalculateTable7, EveryTotalTakesExactlyItsFields) {
    RQForm4Chapter2 c;
    RQForm4Table7& t = c.Table7;
    double* inputs[] = {&t.T7R1C1,  &t.T7R3C1,  &t.T7R5C1,  &t.T7R6C1,   &t.T7R7C1,  &t.T7R9C1,
                        &t.T7R13C1, &t.T7R11C1, &t.T7R16C1, &t.T7R17C61, &t.T7R18C1, &t.T7R39C1,
                        &t.T7R19C1, &t.T7R40C1, &t.T7R21C1, &t.T7R23C1,  &t.T7R24C1, &t.T7R25C1,
                        &t.T7R27C1, &t.T7R29C1, &t.T7R30C1, &t.T7R31C1,  &t.T7R38C1, &t.T7R34C1,
                        &t.T7R35C1, &t.T7R41C1, &t.T7R42C1};
    double bit = 1;
    for (double* field : inputs) {
        *field = bit;
        bit *= 2;
    }
    const RQForm4Table7 in = t;
    RQTarvikDocument::CalculateTable7(&c);

    EXPECT_EQ(t.T7_SUMR2C1, in.T7R6C1 + in.T7R5C1 + in.T7R7C1);
    EXPECT_EQ(t.T7_SUMR2C3, t.T7_SUMR2C1 + in.T7R3C1);
    EXPECT_EQ(t.T7_SUMR8C3, t.T7_SUMR2C3 + in.T7R1C1 + in.T7R9C1 + in.T7R13C1 + in.T7R11C1 +
                                in.T7R16C1 + in.T7R17C61);
    EXPECT_EQ(t.T7_SUMR11C1, in.T7R24C1 + in.T7R23C1 + in.T7R25C1);
    EXPECT_EQ(t.T7_SUMR11C3, t.T7_SUMR11C1 + in.T7R21C1);
    // No pay orders: the paid-per-month fields are the user's.
    EXPECT_EQ(t.T7R29C1, in.T7R29C1);
    EXPECT_EQ(t.T7_SUMR12C1, in.T7R30C1 + in.T7R29C1 + in.T7R31C1);
    EXPECT_EQ(t.T7_SUMR12C3, t.T7_SUMR12C1 + in.T7R27C1);
    EXPECT_EQ(t.T7_SUMR18C3, t.T7_SUMR12C3 + t.T7_SUMR11C3 + in.T7R19C1 + in.T7R38C1 + in.T7R42C1);
    EXPECT_EQ(t.T7_SUMR13C3, in.T7R19C1 - in.T7R40C1);
    EXPECT_EQ(t.T7_SUMR10C3, in.T7R18C1 - in.T7R39C1);
}

TEST(CalculateTable7, DatedPayOrdersCountByMonthWhateverTheirLine) {
    for (int month = 1; month <= 12; ++month) {
        RQForm4Chapter2 c;
        c.Table7.T7R29C1 = c.Table7.T7R30C1 = c.Table7.T7R31C1 = 7;  // typed before
        c.PayOrderCount = 2;
        ASSERT_EQ(c.AllocPayOrder(), 1);
        SetPayOrder(c.PayOrders[0], "1", 100, Date(2017, month, 1), 9);
        SetPayOrder(c.PayOrders[1], "2", 0.5, Date(2017, month, 28), 1);
        RQTarvikDocument::CalculateTable7(&c);
        const double* fields[] = {&c.Table7.T7R29C1, &c.Table7.T7R30C1, &c.Table7.T7R31C1};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(*fields[k], k == (month - 1) % 3 ? 100.5 : 0.0) << month << " " << k;
        EXPECT_EQ(c.Table7.T7_SUMR12C1, 100.5);
    }
}

TEST(CalculateTable7, FirstQuarterExampleOfThreeMonths) {
    RQForm4Chapter2 c;
    c.PayOrderCount = 3;
    ASSERT_EQ(c.AllocPayOrder(), 1);
    SetPayOrder(c.PayOrders[0], "1", 100, Date(2017, 1, 31), 7);
    SetPayOrder(c.PayOrders[1], "2", 200, Date(2017, 2, 1), 8);
    SetPayOrder(c.PayOrders[2], "3", 300, Date(2017, 3, 15), 1);
    c.Table7.T7R27C1 = 50;
    RQTarvikDocument::CalculateTable7(&c);
    EXPECT_EQ(c.Table7.T7R29C1, 100);
    EXPECT_EQ(c.Table7.T7R30C1, 200);
    EXPECT_EQ(c.Table7.T7R31C1, 300);
    EXPECT_EQ(c.Table7.T7_SUMR12C1, 600);
    EXPECT_EQ(c.Table7.T7_SUMR12C3, 650);
    EXPECT_EQ(c.Table7.T7_SUMR18C3, 650);
}

TEST(CalculateTable7, UndatedPayOrdersCountByTheirLine) {
    // line -> 0, 1, 2 for the three month fields, -1 for nowhere
    const int expected[] = {-1, 0, 0, 0, 1, 1, 1, 2, 2, 2, -1};
    for (int line = 0; line <= 10; ++line) {
        for (time_t undated : {time_t{0}, time_t{-86400}}) {
            RQForm4Chapter2 c;
            c.PayOrderCount = 1;
            ASSERT_EQ(c.AllocPayOrder(), 1);
            SetPayOrder(c.PayOrders[0], "1", 10, undated, line);
            RQTarvikDocument::CalculateTable7(&c);
            const double got[] = {c.Table7.T7R29C1, c.Table7.T7R30C1, c.Table7.T7R31C1};
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(got[k], k == expected[line] ? 10.0 : 0.0) << "line " << line;
        }
    }
}

TEST(CalculateTable7, RemovingTheLastPayOrderKeepsTheLastComputedValues) {
    RQForm4Chapter2 c;
    c.PayOrderCount = 1;
    ASSERT_EQ(c.AllocPayOrder(), 1);
    SetPayOrder(c.PayOrders[0], "1", 40, Date(2017, 5, 3), 1);
    RQTarvikDocument::CalculateTable7(&c);
    ASSERT_EQ(c.Table7.T7R30C1, 40);

    c.PayOrderCount = 0;
    ASSERT_EQ(c.AllocPayOrder(), 1);
    RQTarvikDocument::CalculateTable7(&c);
    EXPECT_EQ(c.Table7.T7R29C1, 0);
    EXPECT_EQ(c.Table7.T7R30C1, 40);
    EXPECT_EQ(c.Table7.T7R31C1, 0);
    EXPECT_EQ(c.Table7.T7_SUMR12C1, 40);
}

TEST(ReCalculateTable7, KeepsTheTypedCellAndRecomputesWhatFollows) {
    // Sub-totals overwritten by hand; inputs chosen so that a recomputation
    // of a sub-total that should stay would show.
    auto table = [] {
        RQForm4Table7 t;
        t.T7R3C1 = 1;
        t.T7R21C1 = 2;
        t.T7R27C1 = 4;
        t.T7R1C1 = 8;
        t.T7R19C1 = 16;
        t.T7R40C1 = 32;
        t.T7R18C1 = 64;
        t.T7R39C1 = 128;
        t.T7_SUMR2C1 = 1000;
        t.T7_SUMR2C3 = 3000;
        t.T7_SUMR11C1 = 10000;
        t.T7_SUMR11C3 = 30000;
        t.T7_SUMR12C1 = 100000;
        t.T7_SUMR12C3 = 300000;
        return t;
    };
    struct Case {
        unsigned short row, column;
        double r2c3, r11c3, r12c3;
        bool totals;
    } cases[] = {
        {2, 1, 1001, 30000, 300000, true},   {2, 3, 3000, 30000, 300000, true},
        {11, 1, 3000, 10002, 300000, true},  {11, 3, 3000, 30000, 300000, true},
        {12, 1, 3000, 30000, 100004, true},  {12, 3, 3000, 30000, 300000, true},
        {10, 3, 3000, 30000, 300000, true},  {13, 3, 3000, 30000, 300000, true},
        {5, 1, 3000, 30000, 300000, true},   {2, 2, 3000, 30000, 300000, false},
        {12, 0, 3000, 30000, 300000, false},
    };
    for (const Case& c : cases) {
        RQForm4Table7 t = table();
        RQTarvikDocument::ReCalculateTable7(&t, c.row, c.column);
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        EXPECT_EQ(t.T7_SUMR2C1, 1000);
        EXPECT_EQ(t.T7_SUMR11C1, 10000);
        EXPECT_EQ(t.T7_SUMR12C1, 100000);
        EXPECT_EQ(t.T7_SUMR2C3, c.r2c3);
        EXPECT_EQ(t.T7_SUMR11C3, c.r11c3);
        EXPECT_EQ(t.T7_SUMR12C3, c.r12c3);
        if (c.totals) {
            EXPECT_EQ(t.T7_SUMR8C3, c.r2c3 + 8);
            EXPECT_EQ(t.T7_SUMR18C3, c.r12c3 + c.r11c3 + 16);
            EXPECT_EQ(t.T7_SUMR13C3, 16 - 32);
            EXPECT_EQ(t.T7_SUMR10C3, 64 - 128);
        } else {
            EXPECT_EQ(t.T7_SUMR8C3, 0);
            EXPECT_EQ(t.T7_SUMR18C3, 0);
            EXPECT_EQ(t.T7_SUMR13C3, 0);
            EXPECT_EQ(t.T7_SUMR10C3, 0);
        }
    }
}

TEST(CalculateTables8And9, Totals) {
    RQForm4Table8 t8;
    t8.T6R8C2 = 1;
    t8.T6R3C2 = 2;
    t8.T6R5C2 = 4;
    t8.T6R10C2 = 8;
    t8.T6R4C2 = t8.T6R13C2 = t8.T6R14C2 = t8.T6R9C2 = t8.T6R6C2 = t8.T6R11C2 = 1000;
    RQTarvikDocument::CalculateTable8(&t8);
    EXPECT_EQ(t8.T8_SUM_R10C4, 15);

    RQForm4Table9 t9;
    t9.M1 = 3;
    t9.M2 = 100;
    t9.M3 = 4;
    t9.M5 = 1000;
    RQTarvikDocument::CalculateTable9(&t9);
    EXPECT_EQ(t9.T9_SUM_R4C3, 7);

    // Counts beyond the range of int stay at its edge instead of wrapping.
    t9.M1 = INT_MAX;
    t9.M3 = 1;
    RQTarvikDocument::CalculateTable9(&t9);
    EXPECT_EQ(t9.T9_SUM_R4C3, INT_MAX);
}

TEST(CalculateReport, ComputesEveryTableOfTheDocument) {
    RQTarvikDocument doc;
    checktest::FillCleanReport(*doc.GetForm4Struct());
    doc.CalculateReport();
    const RQForm4Chapter2& c = doc.GetForm4Struct()->Chapter2;
    EXPECT_NEAR(c.Table6.T6_SUM_C6, 0.2, 1e-12);
    EXPECT_EQ(c.Table6.T6_SUM_R1C3, 303000);
    EXPECT_EQ(c.Table7.T7_SUMR2C3, 576);
    EXPECT_EQ(c.Table7.T7R30C1, 192);
    EXPECT_EQ(c.Table7.T7R31C1, 192);
    EXPECT_EQ(c.Table7.T7_SUMR18C3, 5384);
    EXPECT_EQ(c.Table8.T8_SUM_R10C4, 5000);
    EXPECT_EQ(c.Table9.T9_SUM_R4C3, 1);

    // The static operations ignore a null block.
    RQTarvikDocument::CalculateTable6(nullptr);
    RQTarvikDocument::CalculateTable7(nullptr);
    RQTarvikDocument::ReCalculateTable7(nullptr, 2, 1);
    RQTarvikDocument::CalculateTable8(nullptr);
    RQTarvikDocument::CalculateTable9(nullptr);
}
