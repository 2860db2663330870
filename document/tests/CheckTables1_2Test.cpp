#include <gtest/gtest.h>

#include "CheckFixture.h"
#include "TarvikDocument.h"

using namespace checktest;

namespace {

const Finding::FORM4_TABLE_ID T1 = Finding::ID_TABLE6;
const Finding::FORM4_TABLE_ID T11 = Finding::ID_TABLE6_1;
const Finding::FORM4_TABLE_ID T2 = Finding::ID_TABLE7;

// ----- table 1

const std::string kRate = "Показатель поля «Размер страхового тарифа» обязателен к заполнению";
const std::string kLine1 = "Показатель строки 1 графа 3 должен быть больше, либо равен 0";
const std::string kLine2 = "Показатель строки 2 графа 3 должен быть больше, либо равен 0";
const std::string kLine3 = "Показатель строки 3 графа 3 должен быть больше, либо равен 0";
const std::string kLine4 = "Показатель строки 4 графа 3 должен быть больше, либо равен 0";
const std::string kNoDisabled =
    "Сумма выплат в пользу работающих инвалидов (строка 4 графа 3) должна равняться нулю, так "
    "как указанная среднесписочная численность инвалидов нулевая";

const std::string kSkeFot =
    "Показатель строки 3 графы 3 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, всего» по всем элементам "
    "«СКЕ»)";
const std::string kSkeC1 =
    "Показатель строки 3 графы 4 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы (1 месяц)» по всем элементам "
    "«СКЕ»)";
const std::string kSkeC2 =
    "Показатель строки 3 графы 5 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы (2 месяц)» по всем элементам "
    "«СКЕ»)";
const std::string kSkeC3 =
    "Показатель строки 3 графы 6 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы (3 месяц)» по всем элементам "
    "«СКЕ»)";
const std::string kSkeFotInv =
    "Показатель строки 4 графы 3 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, в т.ч. выплаты в пользу "
    "работающих инвалидов, всего» по всем элементам «СКЕ»)";
// The messages of the months 2 and 3 say "1 месяц" as well.
const std::string kSkeI1 =
    "Показатель строки 4 графы 4 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, в т.ч. выплаты в пользу "
    "работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)";
const std::string kSkeI2 =
    "Показатель строки 4 графы 5 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, в т.ч. выплаты в пользу "
    "работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)";
const std::string kSkeI3 =
    "Показатель строки 4 графы 6 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, в т.ч. выплаты в пользу "
    "работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)";
const std::string kSkeNc =
    "Показатель строки 2 графы 3 не соотвествует с расчетным (Сумма показателей «Выплаты в "
    "пользу работников, на которые начисляются страховые взносы, в т.ч. выплаты в пользу "
    "работающих инвалидов, всего» по всем элементам «СКЕ»)";

// ----- table 1.1

const std::string kRegEmpty =
    "Не заполненно обязательное поле «Регистрационный номер принимающей организации в ФСС РФ»";
const std::string kRegLength =
    "Поле «Регистрационный номер принимающей организации в ФСС РФ» должно содержать 10 цифр";
const std::string kInnEmpty = "Не заполненно обязательное поле «ИНН принимающей организации»";
const std::string kInnLength = "Поле «ИНН принимающей организации» должно содержать 10 или 12 цифр";
const std::string kOkvedEmpty = "Не заполненно обязательное поле «ОКВЭД  принимающей организации»";
const std::string kWorkers =
    "Не заполненно обязательное поле «Численность  временно направленных работников»";
const std::string kRateP = "Не заполненно обязательное поле «Размер страхового тарифа»";
const std::string kRateAll =
    "Не заполненно обязательное поле «Размер страхового тарифа с учетом скидки»";
const std::string kDisabledExceeds = "Показатель «в т.ч. инвалиды» превышает общий показатель";
const std::string kFotMonths =
    "Показатель «всего с начала расчетного периода» меньше суммы за показателей за последние "
    "три месяца";
const std::string kFotInvMonths =
    "Показатель «в т.ч. инвалиды» меньше суммы за показателей за последние три месяца";
const std::string kSumFot =
    "Сумма всех строк по графе 6 таблицы 1.1 превышает показатель таблицы 1 строки 3 графы 3";
const std::string kSumFotInv =
    "Сумма всех строк по графе 7 таблицы 1.1 превышает показатель таблицы 1 строки 4 графы 3";

// ----- table 2

const std::string kStart2 =
    "За 1ый квартал показатель \"на начало отчетного периода\" в строке 2 графы 1 должен быть "
    "равен 0";
const std::string kStart15 =
    "За 1ый квартал показатель \"на начало отчетного периода\" в строке 15 графы 1 должен быть "
    "равен 0";
const std::string kStart16 =
    "За 1ый квартал показатель \"на начало отчетного периода\" в строке 16 графы 1 должен быть "
    "равен 0";
// These three begin with the Latin letter C.
const std::string kMonth1 =
    "\x43умма начисленых страховых взносов за 1 месяц не соответствует расчетной";
const std::string kMonth2 =
    "\x43умма начисленых страховых взносов за 2 месяц не соответствует расчетной";
const std::string kMonth3 =
    "\x43умма начисленых страховых взносов за 3 месяц не соответствует расчетной";
const std::string kCharged = "Общая сумма начисленых страховых взносов не соответствует расчетной";
const std::string kBalance =
    "Сумма строк 8 и 9 графы 3 не соответсвует сумме строк 14 и 15 графы 3";
const std::string kFundDebt =
    "Указанная задолженность за территроиальным органом Фонда на конец отчетного периода не "
    "совпадает с расчетной";
const std::string kExcessDebt =
    "Указанная задолженность за счет превышения расходов должна равняться 0, так как "
    "показатели строк 13 и 15 по графе 3 равны 0";
const std::string kOverpaidDebt =
    "Указанная задолженность за за счет переплаты страховых взносов расходов должна равняться "
    "0, так как показатели строк 14 и 16 по графе 3 равны 0";
const std::string kInsurerDebt =
    "Указанная задолженность за страхователем на конец отчетного периода не совпадает с "
    "расчетной";
const std::string kArrears =
    "Сумма недоимки превышает сумму задолженности за страхователем на конец отчетного периода";
const std::string kExpenses =
    "Расходы по обязательному социальному страхованию не соответствую с итоговыми расходами "
    "таблицы 8";
const std::string kPoMonth = "Указанный месяц платежного поручения не входит в отчетный квартал";
const std::string kPoYear = "Указанный год платежного поручения не входит в отчетный период";

}  // namespace

TEST(CheckTable6, SignsRateAndDisabledPersons) {
    RunRuleCases(
        &RQTarvikDocument::CheckTable6,
        {
            {"rate below a kopeck",
             [](RQForm4& f) { f.Chapter2.Table6.RATE_MIS = 0.004; },
             {{T1, kError, 5, 3, "RATE_MIS", kRate}},
             false},
            {"rate of a kopeck", [](RQForm4& f) { f.Chapter2.Table6.RATE_MIS = 0.006; }, {}, true},
            // Each part compares equal to 0, their sum does not.
            {"line 1 negative alone",
             [](RQForm4& f) {
                 f.Chapter2.Table6.T1R3C2 = -0.01;
                 f.Chapter2.Table6.NC = -0.01;
             },
             {{T1, kError, 1, 3, "SUM_R1C3", kLine1}},
             false},
            {"base negative",
             [](RQForm4& f) { f.Chapter2.Table6.T1R3C2 = -100; },
             {{T1, kError, 3, 3, "T1R3C2", kLine3}},
             false},
            {"base and line 1 negative",
             [](RQForm4& f) { f.Chapter2.Table6.T1R3C2 = -5000; },
             {{T1, kError, 1, 3, "SUM_R1C3", kLine1}, {T1, kError, 3, 3, "T1R3C2", kLine3}},
             false},
            {"not subject -0.015",
             [](RQForm4& f) { f.Chapter2.Table6.NC = -0.015; },
             {{T1, kError, 2, 3, "NC", kLine2}},
             false},
            {"not subject -0.014", [](RQForm4& f) { f.Chapter2.Table6.NC = -0.014; }, {}, true},
            {"disabled payments negative",
             [](RQForm4& f) { f.Chapter2.Table6.T1R5C2 = -1; },
             {{T1, kError, 4, 3, "T1R5C2", kLine4}},
             false},
            {"payments to disabled persons without any",
             [](RQForm4& f) {
                 f.TitleList.T1R4C2 = 0;
                 f.Chapter2.Table6.T1R5C2 = 100;
             },
             {{T1, kError, 4, 3, "T1R5C2", kNoDisabled}},
             false},
            {"payments below a kopeck without disabled persons",
             [](RQForm4& f) {
                 f.TitleList.T1R4C2 = 0;
                 f.Chapter2.Table6.T1R5C2 = 0.004;
             },
             {},
             true},
        });
}

TEST(CheckTable6, AgreesWithTheSumsOfTheSkeRows) {
    struct Field {
        double RQForm4Table6::*field;
        int row, column;
        const char* cell;
        const std::string* message;
    } fields[] = {
        {&RQForm4Table6::T1R3C2, 3, 3, "T1R3C2", &kSkeFot},
        {&RQForm4Table6::C1, 3, 4, "C1", &kSkeC1},
        {&RQForm4Table6::C2, 3, 5, "C2", &kSkeC2},
        {&RQForm4Table6::C3, 3, 6, "C3", &kSkeC3},
        {&RQForm4Table6::T1R5C2, 4, 3, "T1R5C2", &kSkeFotInv},
        {&RQForm4Table6::I1, 4, 4, "I1", &kSkeI1},
        {&RQForm4Table6::I2, 4, 5, "I2", &kSkeI2},
        {&RQForm4Table6::I3, 4, 6, "I3", &kSkeI3},
        {&RQForm4Table6::NC, 2, 3, "NC", &kSkeNc},
    };
    for (const Field& fd : fields) {
        auto shift = [&fd](double by) {
            return [&fd, by](RQForm4& f) { f.Chapter2.Table6.*fd.field += by; };
        };
        RunRuleCases(&RQTarvikDocument::CheckTable6,
                     {
                         {fd.cell,
                          shift(0.01),
                          {{T1, kError, fd.row, fd.column, fd.cell, *fd.message}},
                          false},
                         {fd.cell,
                          shift(-0.01),
                          {{T1, kError, fd.row, fd.column, fd.cell, *fd.message}},
                          false},
                         {fd.cell, shift(0.004), {}, true},
                     },
                     true);
        // Without SKE rows table 1 is not compared with them.
        RunRuleCases(&RQTarvikDocument::CheckTable6, {{fd.cell, shift(1000), {}, true}});
    }
}

TEST(CheckTable6_1, RowRules) {
    auto row = [](RQForm4& f) -> RQForm4Table6_1& { return f.Chapter2.Table6_1Rows[0]; };
    RunRuleCases(
        &RQTarvikDocument::CheckTable6_1,
        {
            {"no registration number",
             [&](RQForm4& f) { row(f).REG_NUM_P = ""; },
             {{T11, kError, 1, 2, "REG_NUM_P_1", kRegEmpty}},
             false},
            {"registration number of 9",
             [&](RQForm4& f) { row(f).REG_NUM_P = "770987654"; },
             {{T11, kError, 1, 2, "REG_NUM_P_1", kRegLength}},
             false},
            {"no INN",
             [&](RQForm4& f) { row(f).INN_P = ""; },
             {{T11, kError, 1, 3, "INN_P_1", kInnEmpty}},
             false},
            {"INN of 11",
             [&](RQForm4& f) { row(f).INN_P = "77098765432"; },
             {{T11, kError, 1, 3, "INN_P_1", kInnLength}},
             false},
            {"INN of 12", [&](RQForm4& f) { row(f).INN_P = "770987654321"; }, {}, true},
            {"no activity code",
             [&](RQForm4& f) { row(f).OKVED_P = ""; },
             {{T11, kError, 1, 4, "OKVED_P_1", kOkvedEmpty}},
             false},
            {"no workers",
             [&](RQForm4& f) { row(f).WRK_P = 0; },
             {{T11, kError, 1, 5, "WRK_P_1", kWorkers}},
             false},
            {"rate below a kopeck",
             [&](RQForm4& f) { row(f).RATE_MIS_P = 0.004; },
             {{T11, kError, 1, 14, "RATE_MIS_P_1", kRateP}},
             false},
            {"no rate after discount",
             [&](RQForm4& f) { row(f).MIS_ALL_P = 0; },
             {{T11, kError, 1, 15, "MIS_ALL_P_1", kRateAll}},
             false},
            {"disabled exceed the total",
             [&](RQForm4& f) {
                 row(f).FOTINV_P = 30000.01;
                 f.Chapter2.Table6.T1R5C2 = 40000;
             },
             {{T11, kError, 1, 7, "FOTINV_P_1", kDisabledExceeds}},
             false},
            {"disabled equal the total",
             [&](RQForm4& f) {
                 row(f).FOTINV_P = 30000.004;
                 f.Chapter2.Table6.T1R5C2 = 40000;
             },
             {},
             true},
            {"disabled exceed month 1",
             [&](RQForm4& f) { row(f).I1 = row(f).FOTINV_P = 10000.01; },
             {{T11, kError, 1, 9, "I1_1", kDisabledExceeds}},
             false},
            {"disabled exceed month 2",
             [&](RQForm4& f) { row(f).I2 = row(f).FOTINV_P = 10000.01; },
             {{T11, kError, 1, 11, "I2_1", kDisabledExceeds}},
             false},
            {"disabled exceed month 3",
             [&](RQForm4& f) { row(f).I3 = row(f).FOTINV_P = 10000.01; },
             {{T11, kError, 1, 13, "I3_1", kDisabledExceeds}},
             false},
            {"disabled equal month 3",
             [&](RQForm4& f) { row(f).I3 = row(f).FOTINV_P = 10000.004; },
             {},
             true},
            {"total below the months",
             [&](RQForm4& f) { row(f).C2 = 10000.01; },
             {{T11, kError, 1, 6, "FOT_P_1", kFotMonths}},
             false},
            {"total equal to the months", [&](RQForm4& f) { row(f).C2 = 10000.004; }, {}, true},
            {"disabled total below their months",
             [&](RQForm4& f) {
                 row(f).I1 = 1;
                 row(f).FOTINV_P = 0.99;
             },
             {{T11, kError, 1, 7, "FOTINV_P_1", kFotInvMonths}},
             false},
            {"all rows exceed table 1",
             [&](RQForm4& f) { row(f).FOT_P = 300000.01; },
             {{T1, kError, 3, 3, "T1R3C2", kSumFot}},
             false},
            {"all rows equal table 1", [&](RQForm4& f) { row(f).FOT_P = 300000.004; }, {}, true},
            {"disabled of all rows exceed table 1",
             [&](RQForm4& f) {
                 row(f).FOT_P = 40000;
                 row(f).FOTINV_P = 30000.01;
             },
             {{T1, kError, 4, 3, "T1R5C2", kSumFotInv}},
             false},
        });
}

TEST(CheckTable6_1, EmptyRowsCountInTheSumsAndTheNumbering) {
    RunRuleCases(&RQTarvikDocument::CheckTable6_1,
                 {
                     {"second row faulty behind an empty first",
                      [](RQForm4& f) {
                          RQForm4Table6_1 filled = f.Chapter2.Table6_1Rows[0];
                          f.Chapter2.Table6_1Count = 2;
                          f.Chapter2.AllocTable6_1();
                          f.Chapter2.Table6_1Rows[0].WRK_P = 3;
                          f.Chapter2.Table6_1Rows[1] = filled;
                          f.Chapter2.Table6_1Rows[1].INN_P = "1";
                      },
                      {{T11, kError, 2, 3, "INN_P_2", kInnLength}},
                      false},
                     // Rows with only a worker count, second- and third-month
                     // amounts and a part of a kopeck are empty, but their
                     // kopecks add up in the total.
                     {"empty rows tip the total",
                      [](RQForm4& f) {
                          f.Chapter2.Table6.T1R3C2 = 30000;
                          f.Chapter2.Table6_1Count = 4;
                          RQForm4Table6_1 filled = f.Chapter2.Table6_1Rows[0];
                          f.Chapter2.AllocTable6_1();
                          f.Chapter2.Table6_1Rows[0] = filled;
                          for (int i = 1; i < 4; ++i) {
                              RQForm4Table6_1& r = f.Chapter2.Table6_1Rows[i];
                              r.WRK_P = 2;
                              r.C2 = r.C3 = 500;
                              r.FOT_P = 0.004;
                          }
                      },
                      {{T1, kError, 3, 3, "T1R3C2", kSumFot}},
                      false},
                     {"no rows",
                      [](RQForm4& f) {
                          f.Chapter2.Table6_1Count = 0;
                          f.Chapter2.AllocTable6_1();
                      },
                      {},
                      true},
                 });
}

TEST(CheckTable7, FirstQuarterStartsFromZero) {
    RunRuleCases(&RQTarvikDocument::CheckTable7,
                 {
                     {"debt at the start",
                      [](RQForm4& f) {
                          f.Chapter2.Table7.T7R3C1 = 0.5;
                          f.Chapter2.Table7.T7R18C1 = 4807.5;
                      },
                      {{T2, kError, 2, 1, "T7R3C1", kStart2}},
                      false},
                     {"debt at the start below a kopeck",
                      [](RQForm4& f) { f.Chapter2.Table7.T7R3C1 = 0.004; },
                      {},
                      true},
                     {"debt at the start of the half year",
                      [](RQForm4& f) {
                          f.TitleList.QUART_NUM = 6;
                          f.Chapter2.PayOrders[0].DT = Date(2017, 5, 10);
                          f.Chapter2.PayOrders[1].DT = Date(2017, 6, 10);
                          f.Chapter2.Table7.T7R3C1 = 0.5;
                          f.Chapter2.Table7.T7R18C1 = 4807.5;
                      },
                      {},
                      true},
                     {"expenses at the start",
                      [](RQForm4& f) {
                          f.Chapter2.Table7.T7R21C1 = 0.5;
                          f.Chapter2.Table8.T6R3C2 = 5000.5;
                          f.Chapter2.Table7.T7R18C1 = 4808.5;
                      },
                      {{T2, kError, 15, 1, "T7R21C1", kStart15}},
                      false},
                     {"paid at the start",
                      [](RQForm4& f) {
                          f.Chapter2.Table7.T7R27C1 = 0.5;
                          f.Chapter2.Table7.T7R18C1 = 4808.5;
                      },
                      {{T2, kError, 16, 1, "T7R27C1", kStart16}},
                      false},
                 });
}

TEST(CheckTable7, ChargedContributionsWithinOneRouble) {
    auto charged = [](double m1, double m2, double m3) {
        return [=](RQForm4& f) {
            RQForm4Table7& t = f.Chapter2.Table7;
            t.T7R5C1 = m1;
            t.T7R6C1 = m2;
            t.T7R7C1 = m3;
            t.T7R18C1 = 5384 - (m1 + m2 + m3);  // keeps the balance
        };
    };
    RunRuleCases(&RQTarvikDocument::CheckTable7,
                 {
                     {"month 1 a kopeck over",
                      charged(193.01, 191.5, 191.49),
                      {{T2, kError, 2, 1, "T7R5C1", kMonth1}},
                      false},
                     {"month 2 a kopeck under",
                      charged(192.5, 190.99, 192.51),
                      {{T2, kError, 2, 1, "T7R6C1", kMonth2}},
                      false},
                     {"month 3 a kopeck over",
                      charged(191.5, 191.49, 193.01),
                      {{T2, kError, 2, 1, "T7R7C1", kMonth3}},
                      false},
                     {"months one rouble off", charged(193, 191, 192), {}, true},
                     {"total a kopeck over",
                      charged(192.34, 192.34, 192.34),
                      {{T2, kError, 2, 3, "SUMR2C3", kCharged}},
                      false},
                     {"total one rouble under", charged(191.67, 191.67, 191.66), {}, true},
                     {"total below",
                      charged(191.66, 191.66, 191.66),
                      {{T2, kError, 2, 3, "SUMR2C3", kCharged}},
                      false},
                     {"all payments to disabled persons",
                      [&](RQForm4& f) {
                          f.Chapter2.IS_INV = 1;
                          charged(120, 120, 120)(f);
                      },
                      {},
                      true},
                     {"all payments to disabled persons, full rate charged",
                      [](RQForm4& f) { f.Chapter2.IS_INV = 1; },
                      {{T2, kError, 2, 1, "T7R5C1", kMonth1},
                       {T2, kError, 2, 1, "T7R6C1", kMonth2},
                       {T2, kError, 2, 1, "T7R7C1", kMonth3},
                       {T2, kError, 2, 3, "SUMR2C3", kCharged}},
                      false},
                     {"discount on table 1",
                      [&](RQForm4& f) {
                          f.Chapter2.Table6.RATE_DEC = 10;  // 0.18 %: 172.8 a month
                          charged(172.8, 172.8, 172.8)(f);
                      },
                      {},
                      true},
                 });
}

TEST(CheckTable7, ExpectedContributionOfMonthTwoAtTheRoubleEdge) {
    for (double typed : {21.0, 21.01, 19.0, 18.99}) {
        RQTarvikDocument doc;
        RunOneCheck(doc, &RQTarvikDocument::CheckTable7, [typed](RQForm4& f) {
            f.Chapter2.Table6.C2 = 10000;  // 0.2 % of 10 000: 20 roubles
            f.Chapter2.Table6.I2 = 0;
            f.Chapter2.Table7.T7R6C1 = typed;
        });
        bool fired = false;
        for (int i = 0; i < doc.GetErrorCells()->Size(); ++i)
            fired |= doc.GetErrorCells()->Get(i)->CellId == "T7R6C1";
        EXPECT_EQ(fired, typed == 21.01 || typed == 18.99) << typed;
    }
}

TEST(CheckTable7, ChargedContributionsOfTheSkeRows) {
    // The same amount charged in each month; the fund's debt follows.
    auto charged = [](double month) {
        return [=](RQForm4& f) {
            RQForm4Table7& t = f.Chapter2.Table7;
            t.T7R5C1 = t.T7R6C1 = t.T7R7C1 = month;
            t.T7R18C1 = 5544 - 3 * month;
        };
    };
    RunRuleCases(
        &RQTarvikDocument::CheckTable7,
        {
            // The main unit takes table 1's discount: 0.2 % less 10 % on
            // 56 000, plus 0.4 % on 40 000 of the other unit.
            {"discount on the main unit",
             [&](RQForm4& f) {
                 f.Chapter2.Table6.RATE_DEC = 10;
                 charged(260.8)(f);
             },
             {},
             true},
            {"discount on the main unit, full rate charged",
             [](RQForm4& f) { f.Chapter2.Table6.RATE_DEC = 10; },
             {{T2, kError, 2, 1, "T7R5C1", kMonth1},
              {T2, kError, 2, 1, "T7R6C1", kMonth2},
              {T2, kError, 2, 1, "T7R7C1", kMonth3},
              {T2, kError, 2, 3, "SUMR2C3", kCharged}},
             false},
            // Other units are charged at their plain rate.
            {"discount on another unit", [](RQForm4& f) { f.SKERows[1].RATE_DEC = 50; }, {}, true},
            {"surcharge on the main unit",
             [&](RQForm4& f) {
                 f.Chapter2.Table6.RATE_INC = 40;  // 0.28 % on 56 000
                 charged(316.8)(f);
             },
             {},
             true},
            {"all payments to disabled persons",
             [&](RQForm4& f) {
                 f.Chapter2.IS_INV = 1;
                 charged(168)(f);  // 0.6 x (120 + 160)
             },
             {},
             true},
        },
        true);
}

TEST(CheckTable7, Balances) {
    // The insurer owes: no expenses, 576 charged, 384 paid.
    auto insurerOwes = [](RQForm4& f) {
        f.Chapter2.Table7.T7R24C1 = 0;
        f.Chapter2.Table8 = RQForm4Table8();
        f.Chapter2.Table7.T7R18C1 = 0;
        f.Chapter2.Table7.T7R34C1 = 192;
    };
    auto noPayOrders = [](RQForm4& f) {
        f.Chapter2.PayOrderCount = 0;
        f.Chapter2.AllocPayOrder();
        f.Chapter2.Table7.T7R18C1 = 4424;
    };
    RunRuleCases(&RQTarvikDocument::CheckTable7,
                 {
                     {"fund's debt a kopeck over",
                      [](RQForm4& f) { f.Chapter2.Table7.T7R18C1 = 4808.01; },
                      {{T2, kError, 8, 3, "SUMR8C3", kBalance, "T7R18C1"},
                       {T2, kError, 9, 3, "T7R18C1", kFundDebt}},
                      false},
                     {"fund's debt below a kopeck over",
                      [](RQForm4& f) { f.Chapter2.Table7.T7R18C1 = 4808.004; },
                      {},
                      true},
                     {"insurer's debt while the fund owes",
                      [](RQForm4& f) {
                          f.Chapter2.Table7.T7R34C1 = 10;
                          f.Chapter2.Table7.T7R18C1 = 4818;
                      },
                      {{T2, kError, 9, 3, "T7R18C1", kFundDebt},
                       {T2, kError, 19, 3, "T7R34C1", kInsurerDebt}},
                      false},
                     {"insurer owes", insurerOwes, {}, true},
                     {"insurer's debt a kopeck under",
                      [&](RQForm4& f) {
                          insurerOwes(f);
                          f.Chapter2.Table7.T7R34C1 = 191.99;
                      },
                      {{T2, kError, 8, 3, "SUMR8C3", kBalance, "T7R18C1"},
                       {T2, kError, 19, 3, "T7R34C1", kInsurerDebt}},
                      false},
                     {"fund's debt while the insurer owes",
                      [&](RQForm4& f) {
                          insurerOwes(f);
                          f.Chapter2.Table7.T7R18C1 = 8;
                          f.Chapter2.Table7.T7R34C1 = 200;
                      },
                      {{T2, kError, 9, 3, "T7R18C1", kFundDebt},
                       {T2, kError, 10, 3, "SUMR10C3", kExcessDebt},
                       {T2, kError, 19, 3, "T7R34C1", kInsurerDebt}},
                      false},
                     {"excess debt without expenses",
                      [&](RQForm4& f) {
                          insurerOwes(f);
                          f.Chapter2.Table7.T7R39C1 = 5;
                      },
                      {{T2, kError, 10, 3, "SUMR10C3", kExcessDebt}},
                      false},
                     {"excess debt with line 13",
                      [&](RQForm4& f) {
                          insurerOwes(f);
                          f.Chapter2.Table7.T7R39C1 = 5;
                          f.Chapter2.Table7.T7R19C1 = 5;
                          f.Chapter2.Table7.T7R34C1 = 187;
                      },
                      {},
                      true},
                     {"overpayment debt without payments",
                      [&](RQForm4& f) {
                          noPayOrders(f);
                          f.Chapter2.Table7.T7R39C1 = 5;
                      },
                      {{T2, kError, 11, 3, "T7R39C1", kOverpaidDebt}},
                      false},
                     {"overpayment debt with line 14",
                      [&](RQForm4& f) {
                          noPayOrders(f);
                          f.Chapter2.Table7.T7R39C1 = 5;
                          f.Chapter2.Table7.T7R40C1 = 3;
                      },
                      {},
                      true},
                     {"arrears above the debt",
                      [](RQForm4& f) { f.Chapter2.Table7.T7R35C1 = 0.01; },
                      {{T2, kError, 20, 3, "T7R35C1", kArrears}},
                      false},
                     {"arrears below a kopeck",
                      [](RQForm4& f) { f.Chapter2.Table7.T7R35C1 = 0.004; },
                      {},
                      true},
                     {"expenses differ from table 3",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R3C2 = 5000.01; },
                      {{T2, kError, 15, 3, "SUMR11C3", kExpenses}},
                      false},
                     {"expenses agree at the kopeck",
                      [](RQForm4& f) { f.Chapter2.Table8.T6R3C2 = 5000.004; },
                      {},
                      true},
                 });
}

TEST(CheckTable7, PayOrdersLieInTheLastQuarterOfThePeriod) {
    for (int period : {3, 6, 9, 12}) {
        for (int month = 1; month <= 12; ++month) {
            const bool inside = month >= period - 2 && month <= period;
            RQTarvikDocument doc;
            const bool ok = RunOneCheck(doc, &RQTarvikDocument::CheckTable7, [=](RQForm4& f) {
                f.TitleList.QUART_NUM = period;
                f.Chapter2.PayOrders[0].DT = Date(2017, month, 15);
                f.Chapter2.PayOrders[1].DT = Date(2017, period, 1);
            });
            const std::string name =
                "period " + std::to_string(period) + ", month " + std::to_string(month);
            EXPECT_TRUE(ok) << name;
            std::vector<Expect> expected;
            if (!inside)
                expected.push_back(
                    {T2, kWarning, 16, 1, "DT_DAY_1", kPoMonth, "DT_MONTH_1", "DT_YEAR_1"});
            ExpectFindings(*doc.GetErrorCells(), expected, name);
        }
    }
}

TEST(CheckTable7, PayOrderYearAndOtherPeriods) {
    RunRuleCases(&RQTarvikDocument::CheckTable7,
                 {
                     {"December of the year before",
                      [](RQForm4& f) { f.Chapter2.PayOrders[1].DT = Date(2016, 12, 30); },
                      {{T2, kWarning, 16, 1, "DT_DAY_2", kPoMonth, "DT_MONTH_2", "DT_YEAR_2"},
                       {T2, kWarning, 16, 1, "DT_DAY_2", kPoYear, "DT_MONTH_2", "DT_YEAR_2"}},
                      true},
                     {"March of the next year",
                      [](RQForm4& f) { f.Chapter2.PayOrders[0].DT = Date(2018, 3, 1); },
                      {{T2, kWarning, 16, 1, "DT_DAY_1", kPoYear, "DT_MONTH_1", "DT_YEAR_1"}},
                      true},
                     {"no date",
                      [](RQForm4& f) {
                          f.Chapter2.PayOrders[0].DT = 0;
                          f.Chapter2.PayOrders[0].Line = 3;  // counted by its line
                      },
                      {{T2, kWarning, 16, 1, "DT_DAY_3", kPoMonth, "DT_MONTH_3", "DT_YEAR_3"},
                       {T2, kWarning, 16, 1, "DT_DAY_3", kPoYear, "DT_MONTH_3", "DT_YEAR_3"}},
                      true},
                     // Not a period code: months are not checked, years are.
                     {"period 5",
                      [](RQForm4& f) {
                          f.TitleList.QUART_NUM = 5;
                          f.Chapter2.PayOrders[0].DT = Date(2017, 11, 1);
                      },
                      {},
                      true},
                     {"period 5, other year",
                      [](RQForm4& f) {
                          f.TitleList.QUART_NUM = 5;
                          f.Chapter2.PayOrders[0].DT = Date(2016, 11, 1);
                      },
                      {{T2, kWarning, 16, 1, "DT_DAY_1", kPoYear, "DT_MONTH_1", "DT_YEAR_1"}},
                      true},
                 });
}
