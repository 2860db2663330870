#include <gtest/gtest.h>

#include <climits>

#include "CheckFixture.h"
#include "TarvikDocument.h"

using namespace checktest;

namespace {

const Finding::FORM4_TABLE_ID T3 = Finding::ID_TABLE8;
const Finding::FORM4_TABLE_ID T4 = Finding::ID_TABLE9;
const Finding::FORM4_TABLE_ID T5 = Finding::ID_TABLE10;
const Finding::FORM4_TABLE_ID SKE = Finding::ID_TABLE_SKE;

const std::string kDays1 =
    "Общее количество дней выплат пособий по временной нетрудоспособности (строка 1 графа 3) "
    "меньше суммы строк 2 и 3 графы 3";
const std::string kSum1 =
    "Общая сумма выплат пособий по временной нетрудоспособности (строка 1 графа 4) меньше "
    "суммы строк 2 и 3 графы 4";
const std::string kDays4 =
    "Общее количество дней выплат пособий по временной нетрудоспособности (строка 4 графа 3) "
    "меньше суммы строк 5 и 6 графы 3";
const std::string kSum4 =
    "Общая сумма выплат пособий по временной нетрудоспособности (строка 4 графа 4) меньше "
    "суммы строк 5 и 6 графы 4";
const std::string kLeaveDays =
    "Общее количество оплачиваемых дней отпуска для санаторно-курортного лечения "
    "застрахованным превышает количество дней для пострадавших на другом предприятии";
const std::string kLeaveSum =
    "Общая сумма оплаты отпуска для санаторно-курортного лечения застрахованным превышает "
    "показатель выплаты пострадавшим на другом предприятии";
const std::string kUnpaid =
    "Показатель строки 11 графы 4 должен быть меньше, либо равен показателю строки 10 графы 4";

const std::string kFatal =
    "Количество несчатных случаев со смертельным исходом превышает общее количество несчатных "
    "случаев";
const std::string kTemporary =
    "Количество пострадавших по случаям, закончившимся только временной нетрудоспособностью "
    "превышает общее количество пострадавших";

const std::string kPlaces =
    "Общее количество рабочих мест страхователя, подлежащих аттестации меньше общего "
    "количества рабочих мест, на которых проведена аттестация";
const std::string kClasses =
    "Общее количество рабочих мест, на которых проведена аттестация меньше суммы рабочих мест "
    "3 и 4 класса";
const std::string kMedical =
    "Общее число работников подлежащих обязательным предварительным и периодическим "
    "медицинским осмотрам меньше количества прошедших";

// The SKE messages with their row number filled in and "%%" shown as "%".
std::string OtherDiscount(int n) {
    return "Значение «Скидка (%)» строки " + std::to_string(n) + ", должно быть равным 0";
}
std::string OtherSurcharge(int n) {
    return "Значение «Надбавка к страховому тарифу (в %)» строки " + std::to_string(n) +
           ", должно быть равным 0";
}
std::string MainRate(int n) {
    return "Значение «Тариф» строки " + std::to_string(n) +
           ", должно быть равным значению указанным в таблице 1 строка 5";
}
std::string BudgetRate(int n) {
    return "Значение «Тариф» строки " + std::to_string(n) +
           ", должно быть равным 0.20 или значению указанным в таблице 1 строка 5";
}
std::string MainDiscount(int n) {
    return "Значение «Скидка (в %)» строки " + std::to_string(n) +
           ", должно быть равным значению указанным в таблице 1 строка 6";
}
std::string MainSurcharge(int n) {
    return "Значение «Надбавка к страховому тарифу (в %)» строки " + std::to_string(n) +
           ", должно быть равным значению указанным в таблице 1 строка 7";
}

}  // namespace

TEST(CheckTable8, DaysAndSumsOfTheBenefits) {
    RunRuleCases(&RQTarvikDocument::CheckTable8,
                 {
                     {"days of lines 2 and 3 exceed line 1",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R13C1 = 5; },
                      {{T3, kError, 1, 3, "T6R3C1", kDays1}},
                      false},
                     {"sums of lines 2 and 3 exceed line 1",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R13C2 = 2000.01; },
                      {{T3, kError, 1, 4, "T6R3C2", kSum1}},
                      false},
                     {"sums of lines 2 and 3 equal line 1 at the kopeck",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R13C2 = 2000.004; },
                      {},
                      true},
                     {"days of lines 5 and 6 exceed line 4",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R9C1 = 1; },
                      {{T3, kError, 4, 3, "T6R8C1", kDays4}},
                      false},
                     {"days of lines 5 and 6 equal line 4",
                      [](RQForm4& f) {
                          f.Chapter2.Table8.T6R8C1 = 3;
                          f.Chapter2.Table8.T6R9C1 = 1;
                          f.Chapter2.Table8.T6R14C1 = 2;
                      },
                      {},
                      true},
                     {"sums of lines 5 and 6 exceed line 4",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R14C2 = 0.01; },
                      {{T3, kError, 4, 4, "T6R8C2", kSum4}},
                      false},
                     {"leave days for others exceed all",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R6C1 = 1; },
                      {{T3, kError, 7, 3, "T6R5C1", kLeaveDays}},
                      false},
                     {"leave payments for others exceed all",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R6C2 = 0.01; },
                      {{T3, kError, 7, 4, "T6R5C2", kLeaveSum}},
                      false},
                     {"leave payments below a kopeck",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R6C2 = 0.004; },
                      {},
                      true},
                     {"unpaid benefits exceed the financing",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R11C2 = 0.01; },
                      {{T3, kError, 11, 4, "T6R11C2", kUnpaid}},
                      false},
                     {"unpaid benefits equal the financing",
                      [](RQForm4& f) {
                          f.Chapter2.Table8.T6R10C2 = 100;
                          f.Chapter2.Table8.T6R11C2 = 100;
                      },
                      {},
                      true},
                     // The two counts are added without wrapping around.
                     {"counts at the edge of int",
                      [](RQForm4& f) {
                          f.Chapter2.Table8.T6R3C1 = INT_MAX;
                          f.Chapter2.Table8.T6R4C1 = INT_MAX;
                          f.Chapter2.Table8.T6R13C1 = 1;
                      },
                      {{T3, kError, 1, 3, "T6R3C1", kDays1}},
                      false},
                 });
}

TEST(CheckTable9, Victims) {
    RunRuleCases(&RQTarvikDocument::CheckTable9,
                 {
                     {"more fatal than all",
                      [](RQForm4& f) { f.Chapter2.Table9.M2 = 2; },
                      {{T4, kError, 2, 3, "M2", kFatal}},
                      false},
                     {"all fatal", [](RQForm4& f) { f.Chapter2.Table9.M2 = 1; }, {}, true},
                     {"more temporary than all victims",
                      [](RQForm4& f) { f.Chapter2.Table9.M5 = 2; },
                      {{T4, kError, 5, 3, "M5", kTemporary}},
                      false},
                     {"occupational disease counts among the victims",
                      [](RQForm4& f) {
                          f.Chapter2.Table9.M3 = 1;
                          f.Chapter2.Table9.M5 = 2;
                      },
                      {},
                      true},
                 });
}

TEST(CheckTable10, WarningsThatFail) {
    RunRuleCases(
        &RQTarvikDocument::CheckTable10,
        {
            {"assessed places exceed all",
             [](RQForm4& f) { f.Chapter2.Table10.ATT_C1 = 7; },
             {{T5, kWarning, 1, 3, "ATT_C1", kPlaces}},
             false},
            {"all places assessed", [](RQForm4& f) { f.Chapter2.Table10.ATT_C1 = 8; }, {}, true},
            {"classes 3 and 4 exceed the assessed places",
             [](RQForm4& f) { f.Chapter2.Table10.ATT_CL3 = 8; },
             {{T5, kWarning, 1, 3, "ATT_C2", kClasses}},
             false},
            {"classes 3 and 4 equal the assessed places",
             [](RQForm4& f) { f.Chapter2.Table10.ATT_CL3 = 7; },
             {},
             true},
            {"counts at the edge of int",
             [](RQForm4& f) {
                 f.Chapter2.Table10.ATT_C1 = INT_MAX;
                 f.Chapter2.Table10.ATT_C2 = INT_MAX;
                 f.Chapter2.Table10.ATT_CL3 = INT_MAX;
                 f.Chapter2.Table10.ATT_CL4 = 1;
             },
             {{T5, kWarning, 1, 3, "ATT_C2", kClasses}},
             false},
            {"more examined than due",
             [](RQForm4& f) { f.Chapter2.Table10.MED_C2 = 3; },
             {{T5, kWarning, 1, 3, "MED_C1", kMedical}},
             false},
        });
}

TEST(CheckTable10, KeepsTheHarmfulWorkHeadCount) {
    RQTarvikDocument doc;
    RunOneCheck(doc, &RQTarvikDocument::CheckTable10,
                [](RQForm4& f) { f.Chapter2.Table10.MED_C2 = 3; });
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.T1R6C2, 2);
}

TEST(CheckSKETable, OtherUnitsHaveNoDiscountOrSurcharge) {
    RunRuleCases(&RQTarvikDocument::CheckSKETable,
                 {
                     {"discount",
                      [](RQForm4& f) { f.SKERows[1].RATE_DEC = 10; },
                      {{SKE, kError, 2, 4, "RATE_DEC_2", OtherDiscount(2)}},
                      false},
                     {"surcharge",
                      [](RQForm4& f) { f.SKERows[1].RATE_INC = 5; },
                      {{SKE, kError, 2, 4, "RATE_INC_2", OtherSurcharge(2)}},
                      false},
                     {"both",
                      [](RQForm4& f) {
                          f.SKERows[1].RATE_DEC = 1;
                          f.SKERows[1].RATE_INC = -1;
                      },
                      {{SKE, kError, 2, 4, "RATE_DEC_2", OtherDiscount(2)},
                       {SKE, kError, 2, 4, "RATE_INC_2", OtherSurcharge(2)}},
                      false},
                     // With the title's code on the second row, the first is the
                     // other unit and the second must carry table 1's rate.
                     {"main activity on the second row",
                      [](RQForm4& f) {
                          f.TitleList.OKVED = "01.12";
                          f.SKERows[0].RATE_DEC = 20;
                      },
                      {{SKE, kError, 1, 4, "RATE_DEC_1", OtherDiscount(1)},
                       {SKE, kError, 2, 3, "RATE_MIS_2", MainRate(2)}},
                      false},
                 },
                 true);
}

TEST(CheckSKETable, MainUnitCarriesTheRatesOfTable1) {
    RunRuleCases(&RQTarvikDocument::CheckSKETable,
                 {
                     {"other rate",
                      [](RQForm4& f) { f.SKERows[0].RATE_MIS = 0.21; },
                      {{SKE, kError, 1, 3, "RATE_MIS_1", MainRate(1)}},
                      false},
                     {"rate equal at the kopeck",
                      [](RQForm4& f) { f.SKERows[0].RATE_MIS = 0.204; },
                      {},
                      true},
                     {"0.2 for a firm with the rate 0.5",
                      [](RQForm4& f) { f.Chapter2.Table6.RATE_MIS = 0.5; },
                      {{SKE, kError, 1, 3, "RATE_MIS_1", MainRate(1)}},
                      false},
                     {"0.2 for a budget organisation with the rate 0.5",
                      [](RQForm4& f) {
                          f.Chapter2.IS_BUDJET = 1;
                          f.Chapter2.Table6.RATE_MIS = 0.5;
                      },
                      {},
                      true},
                     {"0.5 for a budget organisation with the rate 0.5",
                      [](RQForm4& f) {
                          f.Chapter2.IS_BUDJET = 1;
                          f.Chapter2.Table6.RATE_MIS = 0.5;
                          f.SKERows[0].RATE_MIS = 0.5;
                      },
                      {},
                      true},
                     {"0.3 for a budget organisation with the rate 0.5",
                      [](RQForm4& f) {
                          f.Chapter2.IS_BUDJET = 1;
                          f.Chapter2.Table6.RATE_MIS = 0.5;
                          f.SKERows[0].RATE_MIS = 0.3;
                      },
                      {{SKE, kError, 1, 3, "RATE_MIS_1", BudgetRate(1)}},
                      false},
                     {"discount differs",
                      [](RQForm4& f) { f.SKERows[0].RATE_DEC = 10; },
                      {{SKE, kError, 1, 4, "RATE_DEC_1", MainDiscount(1)}},
                      false},
                     {"same discount",
                      [](RQForm4& f) {
                          f.SKERows[0].RATE_DEC = 10;
                          f.Chapter2.Table6.RATE_DEC = 10;
                      },
                      {},
                      true},
                     {"surcharge differs",
                      [](RQForm4& f) { f.Chapter2.Table6.RATE_INC = 40; },
                      {{SKE, kError, 1, 4, "RATE_INC_1", MainSurcharge(1)}},
                      false},
                 },
                 true);
}

TEST(CheckReportCalculate, CleanReportsPass) {
    for (bool withSke : {false, true}) {
        RQTarvikDocument doc;
        if (withSke)
            FillCleanReportWithSke(*doc.GetForm4Struct());
        else
            FillCleanReport(*doc.GetForm4Struct());
        doc.CalculateReport();
        EXPECT_TRUE(doc.CheckRequiredField()) << withSke;
        EXPECT_TRUE(doc.CheckReportCalculate()) << withSke;
        ExpectFindings(*doc.GetErrorCells(), {}, withSke ? "with SKE" : "without SKE");
    }
}

TEST(CheckReportCalculate, MissingFieldsStopTheControl) {
    RQTarvikDocument doc;
    FillCleanReport(*doc.GetForm4Struct());
    doc.GetForm4Struct()->TitleList.REG_NUM = "";        // its length is checked later
    doc.GetForm4Struct()->Chapter2.Table10.MED_C2 = 10;  // so is table 5
    doc.CalculateReport();
    EXPECT_FALSE(doc.CheckReportCalculate());
    ExpectFindings(*doc.GetErrorCells(),
                   {{Finding::ID_TITLE, kError, 0, 0, "REG_NUM",
                     "Не заполнено обязательное поле: Регистрационный номер (код) страхователя"}},
                   "missing registration number");
}

TEST(CheckReportCalculate, RunsTheChecksInTheirOrder) {
    RQTarvikDocument doc;
    RQForm4& f = *doc.GetForm4Struct();
    FillCleanReportWithSke(f);
    f.SKERows[1].RATE_DEC = 10;
    f.Chapter2.Table10.ATT_C2 = 11;
    f.Chapter2.Table9.M2 = 2;
    f.Chapter2.Table8.T6R6C1 = 1;
    f.Chapter2.Table7.T7R35C1 = 0.01;
    f.Chapter2.Table6_1Rows[0].INN_P = "1";
    f.Chapter2.Table6.NC += 0.01;
    f.TitleList.BO_IF = 5;
    f.TitleList.Upoln = 0;
    doc.CalculateReport();
    EXPECT_FALSE(doc.CheckReportCalculate());

    const Finding::FORM4_TABLE_ID expected[] = {
        Finding::ID_TITLE,    Finding::ID_TITLE,   Finding::ID_TABLE6,
        Finding::ID_TABLE6_1, Finding::ID_TABLE7,  Finding::ID_TABLE8,
        Finding::ID_TABLE9,   Finding::ID_TABLE10, Finding::ID_TABLE_SKE,
    };
    const RQForm4ErrorCells& list = *doc.GetErrorCells();
    ASSERT_EQ(list.Size(), 9);
    for (int i = 0; i < list.Size(); ++i) EXPECT_EQ(list.Get(i)->TableId, expected[i]) << i;
    EXPECT_EQ(list.Get(0)->CellId, "BO_IF");
    EXPECT_EQ(list.Get(1)->CellId, "EmployeeType");
    int errors = 0, warnings = 0;
    list.GetCountInfo(errors, warnings);
    EXPECT_EQ(errors, 7);
    EXPECT_EQ(warnings, 2);
}

TEST(CheckReportCalculate, WarningsThatDoNotFailKeepTheResultTrue) {
    RQTarvikDocument doc;
    RQForm4& f = *doc.GetForm4Struct();
    FillCleanReport(f);
    f.TitleList.Upoln = 0;
    f.Chapter2.PayOrders[0].DT = Date(2017, 4, 1);
    f.Chapter2.Table10.MED_C2 = 0;
    f.TitleList.T1R6C2 = 7;
    doc.CalculateReport();
    EXPECT_TRUE(doc.CheckReportCalculate());
    EXPECT_EQ(doc.GetErrorCells()->Size(), 2);
    EXPECT_EQ(f.TitleList.T1R6C2, 7);
}
