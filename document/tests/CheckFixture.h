// A report of a small firm for the first quarter of 2017 that passes the
// whole format-logical control, and helpers to run one check on it after a
// single change and to compare the findings field by field.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "LocalDate.h"
#include "TarvikDocument.h"

namespace checktest {

using Finding = RQErrorCellDescription;
constexpr Finding::RECORD_TYPE kError = Finding::RECORD_ERROR;
constexpr Finding::RECORD_TYPE kWarning = Finding::RECORD_WARNING;

using testsupport::Date;

inline void SetPayOrder(RQForm4PayOrder& order, const char* num, double sum, time_t date,
                        int line) {
    order.NUM = num;
    order.SUM = sum;
    order.DT = date;
    order.Line = line;
    order.SumCellId = "PO_SUM" + std::to_string(line);
}

// Rate 0.2 %, no discount: 192 roubles a month are charged; January and
// February are paid in February and March, March is still owed; 5000
// roubles of benefits make the Fund the debtor at the end of the quarter.
inline void FillCleanReport(RQForm4& f) {
    f.Clear();
    RQForm4TitleList& t = f.TitleList;
    t.REG_NUM = "7701234567";
    t.KPS_NUM = "77011";
    t.INN = "7701234567";
    t.KPP = 770101001;
    t.OGRN = "1027700000001";
    t.OKVED = "01.11";
    t.QUART_NUM = 3;
    t.YEAR_NUM = 2017;
    t.NAME = "ООО \"Ромашка\"";
    t.CRE_DATE = Date(2017, 4, 10);
    t.CEO = "Иванов Иван Иванович";
    t.T1R1C2 = 10;
    t.T1R4C2 = 1;
    t.T1R6C2 = 2;
    t.POST_INDEX = "101000";
    t.ADDRESS_1 = "Москва";
    t.ADDRESS_3 = "Москва";
    t.ADDRESS_5 = "Тверская";
    t.HOUSE = "1";
    t.Upoln = 1;

    RQForm4Chapter2& c = f.Chapter2;
    RQForm4Table6& t6 = c.Table6;
    t6.RATE_MIS = 0.2;
    t6.T1R3C2 = 300000;
    t6.C1 = t6.C2 = t6.C3 = 100000;
    t6.T1R5C2 = 30000;
    t6.I1 = t6.I2 = t6.I3 = 10000;
    t6.NC = 3000;
    t6.NC1 = t6.NC2 = t6.NC3 = 1000;

    RQForm4Table7& t7 = c.Table7;
    t7.T7R5C1 = t7.T7R6C1 = t7.T7R7C1 = 192;
    t7.T7R24C1 = 5000;
    t7.T7R18C1 = 4808;  // 384 paid + 5000 spent - 576 charged

    c.PayOrderCount = 2;
    c.AllocPayOrder();
    SetPayOrder(c.PayOrders[0], "12", 192, Date(2017, 2, 10), 1);
    SetPayOrder(c.PayOrders[1], "31", 192, Date(2017, 3, 10), 2);

    c.Table6_1Count = 1;
    c.AllocTable6_1();
    RQForm4Table6_1& r = c.Table6_1Rows[0];
    r.REG_NUM_P = "7709876543";
    r.INN_P = "7709876543";
    r.OKVED_P = "62.01";
    r.WRK_P = 1;
    r.FOT_P = 30000;
    r.C1 = r.C2 = r.C3 = 10000;
    r.RATE_MIS_P = 0.2;
    r.MIS_ALL_P = 0.2;

    RQForm4Table8& t8 = c.Table8;
    t8.T6R3C1 = 10;
    t8.T6R3C2 = 5000;
    t8.T6R4C1 = 6;
    t8.T6R4C2 = 3000;
    t8.T6R13C1 = 4;
    t8.T6R13C2 = 2000;

    c.Table9.M1 = 1;
    c.Table9.M5 = 1;

    RQForm4Table10& t10 = c.Table10;
    t10.ATT_C1 = 10;
    t10.ATT_C2 = 8;
    t10.ATT_CL3 = 2;
    t10.ATT_CL4 = 1;
    t10.MED_C1 = 2;
    t10.MED_C2 = 2;
}

// The same firm with two classification units: its main activity 01.11 at
// 0.2 %, where the disabled persons work, and 01.12 at 0.4 %. 272 roubles a
// month are charged.
inline void FillCleanReportWithSke(RQForm4& f) {
    FillCleanReport(f);
    f.SKECount = 2;
    f.AllocTableSKE();
    RQForm4TableSKE& a = f.SKERows[0];
    a.OKVED = "01.11";
    a.ID_RISC = 1;
    a.RATE_MIS = 0.2;
    a.FOT = 180000;
    a.C1 = a.C2 = a.C3 = 60000;
    a.FOTINV = 30000;
    a.I1 = a.I2 = a.I3 = 10000;
    a.NC = 3000;
    RQForm4TableSKE& b = f.SKERows[1];
    b.OKVED = "01.12";
    b.ID_RISC = 2;
    b.RATE_MIS = 0.4;
    b.FOT = 120000;
    b.C1 = b.C2 = b.C3 = 40000;

    RQForm4Table7& t7 = f.Chapter2.Table7;
    t7.T7R5C1 = t7.T7R6C1 = t7.T7R7C1 = 272;
    t7.T7R18C1 = 4728;  // 544 paid + 5000 spent - 816 charged
    f.Chapter2.PayOrders[0].SUM = 272;
    f.Chapter2.PayOrders[1].SUM = 272;
}

// One expected finding.
struct Expect {
    Finding::FORM4_TABLE_ID table;
    Finding::RECORD_TYPE type;
    int row;
    int column;
    std::string cell;
    std::string message;
    std::string cell2 = {};
    std::string cell3 = {};
};

inline void ExpectFindings(const RQForm4ErrorCells& list, const std::vector<Expect>& expected,
                           const std::string& context) {
    ASSERT_EQ(list.Size(), static_cast<int>(expected.size())) << context;
    for (int i = 0; i < list.Size(); ++i) {
        const Finding& got = *list.Get(i);
        const Expect& want = expected[static_cast<std::size_t>(i)];
        SCOPED_TRACE(context + ", finding " + std::to_string(i) + ": " + got.Message);
        EXPECT_EQ(got.TableId, want.table);
        EXPECT_EQ(got.RecordType, want.type);
        EXPECT_EQ(got.Row, want.row);
        EXPECT_EQ(got.Column, want.column);
        EXPECT_EQ(got.CellId, want.cell);
        EXPECT_EQ(got.CellId2, want.cell2);
        EXPECT_EQ(got.CellId3, want.cell3);
        EXPECT_EQ(got.Message, want.message);
    }
}

using Change = std::function<void(RQForm4&)>;
using Check = void (RQTarvikDocument::*)(bool&);

// A change to the clean report and what one check then finds.
struct RuleCase {
    const char* name;
    Change change;
    std::vector<Expect> findings;
    bool ok;  // the check's result
};

// Fills doc with the clean report (with SKE rows when asked), applies the
// change, recomputes the totals and runs the check alone; returns ok.
inline bool RunOneCheck(RQTarvikDocument& doc, Check check, const Change& change,
                        bool withSke = false) {
    RQForm4& f = *doc.GetForm4Struct();
    if (withSke)
        FillCleanReportWithSke(f);
    else
        FillCleanReport(f);
    if (change) change(f);
    doc.CalculateReport();
    doc.GetErrorCells()->Clear();
    bool ok = true;
    (doc.*check)(ok);
    return ok;
}

// Runs every case and compares its findings and its result.
inline void RunRuleCases(Check check, const std::vector<RuleCase>& cases, bool withSke = false) {
    for (const RuleCase& c : cases) {
        RQTarvikDocument doc;
        const bool ok = RunOneCheck(doc, check, c.change, withSke);
        EXPECT_EQ(ok, c.ok) << c.name;
        ExpectFindings(*doc.GetErrorCells(), c.findings, c.name);
    }
}

}  // namespace checktest
