// Rules of printed table 1, the rows of table 1.1 and table 2.
#include "CheckSupport.h"
#include "TarvikDocument.h"

using namespace tarvik::check;

namespace {

// Share of the rate that applies to payments to working disabled persons.
constexpr double kDisabledShare = 0.6;

// Sums over all SKE rows of the columns that table 1 repeats.
struct SkeSums {
    double FOT = 0, C1 = 0, C2 = 0, C3 = 0, FOTINV = 0, I1 = 0, I2 = 0, I3 = 0, NC = 0;
};

SkeSums SumSkeRows(const RQForm4& form) {
    SkeSums s;
    for (int i = 0; i < form.SKECount; ++i) {
        const RQForm4TableSKE& row = form.SKERows[i];
        s.FOT += row.FOT;
        s.C1 += row.C1;
        s.C2 += row.C2;
        s.C3 += row.C3;
        s.FOTINV += row.FOTINV;
        s.I1 += row.I1;
        s.I2 += row.I2;
        s.I3 += row.I3;
        s.NC += row.NC;
    }
    return s;
}

// Table 1 cells that repeat a column summed over all SKE rows.
struct SkeTotalRule {
    double RQForm4Table6::*Cell;
    double SkeSums::*Sum;
    int Row;
    int Column;
    const char* CellId;
    const char* Message;
};

const SkeTotalRule kSkeTotals[] = {
    {&RQForm4Table6::T1R3C2, &SkeSums::FOT, 3, 3, "T1R3C2",
     "Показатель строки 3 графы 3 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, всего» по "
     "всем элементам «СКЕ»)"},
    {&RQForm4Table6::C1, &SkeSums::C1, 3, 4, "C1",
     "Показатель строки 3 графы 4 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы (1 месяц)» "
     "по всем элементам «СКЕ»)"},
    {&RQForm4Table6::C2, &SkeSums::C2, 3, 5, "C2",
     "Показатель строки 3 графы 5 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы (2 месяц)» "
     "по всем элементам «СКЕ»)"},
    {&RQForm4Table6::C3, &SkeSums::C3, 3, 6, "C3",
     "Показатель строки 3 графы 6 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы (3 месяц)» "
     "по всем элементам «СКЕ»)"},
    {&RQForm4Table6::T1R5C2, &SkeSums::FOTINV, 4, 3, "T1R5C2",
     "Показатель строки 4 графы 3 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, в т.ч. "
     "выплаты в пользу работающих инвалидов, всего» по всем элементам «СКЕ»)"},
    {&RQForm4Table6::I1, &SkeSums::I1, 4, 4, "I1",
     "Показатель строки 4 графы 4 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, в т.ч. "
     "выплаты в пользу работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)"},
    {&RQForm4Table6::I2, &SkeSums::I2, 4, 5, "I2",
     "Показатель строки 4 графы 5 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, в т.ч. "
     "выплаты в пользу работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)"},
    {&RQForm4Table6::I3, &SkeSums::I3, 4, 6, "I3",
     "Показатель строки 4 графы 6 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, в т.ч. "
     "выплаты в пользу работающих инвалидов (1 месяц)» по всем элементам «СКЕ»)"},
    {&RQForm4Table6::NC, &SkeSums::NC, 2, 3, "NC",
     "Показатель строки 2 графы 3 не соотвествует с расчетным (Сумма показателей "
     "«Выплаты в пользу работников, на которые начисляются страховые взносы, в т.ч. "
     "выплаты в пользу работающих инвалидов, всего» по всем элементам «СКЕ»)"},
};

// Contributions expected for the three months and for the whole period.
struct Expected {
    double month[3] = {0, 0, 0};
    double total = 0;
};

// Payments to working disabled persons are charged at a reduced share of the
// rate; with IS_INV every payment is. The products are evaluated in the
// order of the Fund's formulas so that results at the rouble edge agree.
double UnitContribution(double r, bool allDisabled, double amount, double disabled) {
    return allDisabled ? r * kDisabledShare * amount
                       : r * (amount - disabled + kDisabledShare * disabled);
}

double Table1Contribution(double rate, bool allDisabled, double amount, double disabled) {
    return allDisabled ? amount * kDisabledShare * rate / 100
                       : (amount - disabled + kDisabledShare * disabled) * rate / 100;
}

Expected ExpectedContributions(const RQForm4& form) {
    const RQForm4Chapter2& chapter = form.Chapter2;
    const RQForm4Table6& t6 = chapter.Table6;
    const bool allDisabled = chapter.IS_INV != 0;
    Expected e;
    if (form.SKECount > 0 && form.SKERows) {
        // The main activity carries table 1's discount and surcharge; every
        // other unit is charged at its plain rate.
        const double factor = 1 - t6.RATE_DEC / 100.0 + t6.RATE_INC / 100.0;
        const std::string& mainOkved = form.TitleList.OKVED;
        for (int i = 0; i < form.SKECount; ++i) {
            const RQForm4TableSKE& row = form.SKERows[i];
            const double r =
                row.OKVED == mainOkved ? row.RATE_MIS * factor / 100 : row.RATE_MIS / 100;
            e.month[0] += UnitContribution(r, allDisabled, row.C1, row.I1);
            e.month[1] += UnitContribution(r, allDisabled, row.C2, row.I2);
            e.month[2] += UnitContribution(r, allDisabled, row.C3, row.I3);
            e.total += UnitContribution(r, allDisabled, row.FOT, row.FOTINV);
        }
    } else {
        const double rate = t6.T6_SUM_C6;
        e.month[0] = Table1Contribution(rate, allDisabled, t6.C1, t6.I1);
        e.month[1] = Table1Contribution(rate, allDisabled, t6.C2, t6.I2);
        e.month[2] = Table1Contribution(rate, allDisabled, t6.C3, t6.I3);
        e.total = Table1Contribution(rate, allDisabled, t6.T1R3C2, t6.T1R5C2);
    }
    return e;
}

}  // namespace

void RQTarvikDocument::CheckTable6(bool& ok) {
    const RQForm4Table6& t = Form4.Chapter2.Table6;
    auto error = [this, &ok](int row, int column, const char* cell, const char* message) {
        Append(ErrorCells, Finding::ID_TABLE6, kError, row, column, cell, message);
        ok = false;
    };

    if (IsZero(t.RATE_MIS))
        error(5, 3, "RATE_MIS",
              "Показатель поля «Размер страхового тарифа» обязателен к заполнению");
    if (Less(t.T6_SUM_R1C3, 0))
        error(1, 3, "SUM_R1C3", "Показатель строки 1 графа 3 должен быть больше, либо равен 0");
    if (Less(t.NC, 0))
        error(2, 3, "NC", "Показатель строки 2 графа 3 должен быть больше, либо равен 0");
    if (Less(t.T1R3C2, 0))
        error(3, 3, "T1R3C2", "Показатель строки 3 графа 3 должен быть больше, либо равен 0");
    if (Less(t.T1R5C2, 0))
        error(4, 3, "T1R5C2", "Показатель строки 4 графа 3 должен быть больше, либо равен 0");
    if (Form4.TitleList.T1R4C2 == 0 && !IsZero(t.T1R5C2))
        error(4, 3, "T1R5C2",
              "Сумма выплат в пользу работающих инвалидов (строка 4 графа 3) должна равняться "
              "нулю, так как указанная среднесписочная численность инвалидов нулевая");

    if (Form4.SKECount <= 0 || !Form4.SKERows) return;
    const SkeSums s = SumSkeRows(Form4);
    for (const SkeTotalRule& rule : kSkeTotals) {
        if (!Equal(t.*rule.Cell, s.*rule.Sum))
            error(rule.Row, rule.Column, rule.CellId, rule.Message);
    }
}

void RQTarvikDocument::CheckTable6_1(bool& ok) {
    const RQForm4Chapter2& chapter = Form4.Chapter2;
    const int count = chapter.Table6_1Rows ? chapter.Table6_1Count : 0;
    double sumFot = 0;
    double sumFotInv = 0;
    for (int i = 0; i < count; ++i) {
        const RQForm4Table6_1& r = chapter.Table6_1Rows[i];
        sumFot += r.FOT_P;
        sumFotInv += r.FOTINV_P;
        if (r.IsEmpty()) continue;

        const int n = i + 1;
        auto error = [this, &ok, n](int column, const char* prefix, const char* message) {
            Append(ErrorCells, Finding::ID_TABLE6_1, kError, n, column, RowCellId(prefix, n),
                   message);
            ok = false;
        };
        const std::size_t regLength = CharCount(r.REG_NUM_P);
        if (regLength == 0)
            error(2, "REG_NUM_P",
                  "Не заполненно обязательное поле «Регистрационный номер принимающей "
                  "организации в ФСС РФ»");
        if (regLength != 0 && regLength != 10)
            error(2, "REG_NUM_P",
                  "Поле «Регистрационный номер принимающей организации в ФСС РФ» должно "
                  "содержать 10 цифр");
        const std::size_t innLength = CharCount(r.INN_P);
        if (innLength == 0)
            error(3, "INN_P", "Не заполненно обязательное поле «ИНН принимающей организации»");
        if (innLength != 0 && innLength != 10 && innLength != 12)
            error(3, "INN_P", "Поле «ИНН принимающей организации» должно содержать 10 или 12 цифр");
        if (r.OKVED_P.empty())
            error(4, "OKVED_P", "Не заполненно обязательное поле «ОКВЭД  принимающей организации»");
        if (r.WRK_P == 0)
            error(5, "WRK_P",
                  "Не заполненно обязательное поле «Численность  временно направленных "
                  "работников»");
        if (IsZero(r.RATE_MIS_P))
            error(14, "RATE_MIS_P", "Не заполненно обязательное поле «Размер страхового тарифа»");
        if (IsZero(r.MIS_ALL_P))
            error(15, "MIS_ALL_P",
                  "Не заполненно обязательное поле «Размер страхового тарифа с учетом скидки»");
        static const char kDisabledExceeds[] =
            "Показатель «в т.ч. инвалиды» превышает общий показатель";
        if (Less(r.FOT_P, r.FOTINV_P)) error(7, "FOTINV_P", kDisabledExceeds);
        if (Less(r.C1, r.I1)) error(9, "I1", kDisabledExceeds);
        if (Less(r.C2, r.I2)) error(11, "I2", kDisabledExceeds);
        if (Less(r.C3, r.I3)) error(13, "I3", kDisabledExceeds);
        if (Less(r.FOT_P, r.C2 + r.C1 + r.C3))
            error(6, "FOT_P",
                  "Показатель «всего с начала расчетного периода» меньше суммы за показателей "
                  "за последние три месяца");
        if (Less(r.FOTINV_P, r.I2 + r.I1 + r.I3))
            error(7, "FOTINV_P",
                  "Показатель «в т.ч. инвалиды» меньше суммы за показателей за последние три "
                  "месяца");
    }

    const RQForm4Table6& t6 = chapter.Table6;
    if (Less(t6.T1R3C2, sumFot)) {
        Append(ErrorCells, Finding::ID_TABLE6, kError, 3, 3, "T1R3C2",
               "Сумма всех строк по графе 6 таблицы 1.1 превышает показатель таблицы 1 строки 3 "
               "графы 3");
        ok = false;
    }
    if (Less(t6.T1R5C2, sumFotInv)) {
        Append(ErrorCells, Finding::ID_TABLE6, kError, 4, 3, "T1R5C2",
               "Сумма всех строк по графе 7 таблицы 1.1 превышает показатель таблицы 1 строки 4 "
               "графы 3");
        ok = false;
    }
}

void RQTarvikDocument::CheckTable7(bool& ok) {
    const RQForm4Chapter2& chapter = Form4.Chapter2;
    const RQForm4Table7& t = chapter.Table7;
    const int period = Form4.TitleList.QUART_NUM;
    auto error = [this, &ok](int row, int column, const char* cell, const char* message,
                             const std::string& cell2 = {}) {
        Append(ErrorCells, Finding::ID_TABLE7, kError, row, column, cell, message, cell2);
        ok = false;
    };

    if (period == 3) {
        if (!IsZero(t.T7R3C1))
            error(2, 1, "T7R3C1",
                  "За 1ый квартал показатель \"на начало отчетного периода\" в строке 2 графы 1 "
                  "должен быть равен 0");
        if (!IsZero(t.T7R21C1))
            error(15, 1, "T7R21C1",
                  "За 1ый квартал показатель \"на начало отчетного периода\" в строке 15 графы "
                  "1 должен быть равен 0");
        if (!IsZero(t.T7R27C1))
            error(16, 1, "T7R27C1",
                  "За 1ый квартал показатель \"на начало отчетного периода\" в строке 16 графы "
                  "1 должен быть равен 0");
    }

    // The first letter of the three monthly messages is a Latin "C".
    const Expected e = ExpectedContributions(Form4);
    if (OutsideRouble(t.T7R5C1, e.month[0]))
        error(2, 1, "T7R5C1",
              "Cумма начисленых страховых взносов за 1 месяц не соответствует расчетной");
    if (OutsideRouble(t.T7R6C1, e.month[1]))
        error(2, 1, "T7R6C1",
              "Cумма начисленых страховых взносов за 2 месяц не соответствует расчетной");
    if (OutsideRouble(t.T7R7C1, e.month[2]))
        error(2, 1, "T7R7C1",
              "Cумма начисленых страховых взносов за 3 месяц не соответствует расчетной");
    if (OutsideRouble(t.T7_SUMR2C3, e.total))
        error(2, 3, "SUMR2C3",
              "Общая сумма начисленых страховых взносов не соответствует расчетной");

    if (!Equal(t.T7_SUMR8C3 + t.T7R18C1, t.T7R34C1 + t.T7_SUMR18C3))
        error(8, 3, "SUMR8C3",
              "Сумма строк 8 и 9 графы 3 не соответсвует сумме строк 14 и 15 графы 3", "T7R18C1");
    const bool fundOwes = Greater(t.T7_SUMR18C3, t.T7_SUMR8C3);
    if (fundOwes ? !Equal(t.T7R18C1, t.T7_SUMR18C3 - t.T7_SUMR8C3) : !IsZero(t.T7R18C1))
        error(9, 3, "T7R18C1",
              "Указанная задолженность за территроиальным органом Фонда на конец отчетного "
              "периода не совпадает с расчетной");
    if (IsZero(t.T7_SUMR11C3) && IsZero(t.T7_SUMR13C3) && !IsZero(t.T7_SUMR10C3))
        error(10, 3, "SUMR10C3",
              "Указанная задолженность за счет превышения расходов должна равняться 0, так как "
              "показатели строк 13 и 15 по графе 3 равны 0");
    if (IsZero(t.T7R40C1) && IsZero(t.T7_SUMR12C3) && !IsZero(t.T7R39C1))
        error(11, 3, "T7R39C1",
              "Указанная задолженность за за счет переплаты страховых взносов расходов должна "
              "равняться 0, так как показатели строк 14 и 16 по графе 3 равны 0");
    const bool insurerOwes = Greater(t.T7_SUMR8C3, t.T7_SUMR18C3);
    if (insurerOwes ? !Equal(t.T7R34C1, t.T7_SUMR8C3 - t.T7_SUMR18C3) : !IsZero(t.T7R34C1))
        error(19, 3, "T7R34C1",
              "Указанная задолженность за страхователем на конец отчетного периода не "
              "совпадает с расчетной");
    if (Greater(t.T7R35C1, t.T7R34C1))
        error(20, 3, "T7R35C1",
              "Сумма недоимки превышает сумму задолженности за страхователем на конец "
              "отчетного периода");
    if (!Equal(t.T7_SUMR11C3, chapter.Table8.T8_SUM_R10C4))
        error(15, 3, "SUMR11C3",
              "Расходы по обязательному социальному страхованию не соответствую с итоговыми "
              "расходами таблицы 8");

    // Pay orders: warnings that do not fail the control.
    if (chapter.PayOrderCount <= 0 || !chapter.PayOrders) return;
    const bool quarterPeriod = period == 3 || period == 6 || period == 9 || period == 12;
    for (int i = 0; i < chapter.PayOrderCount; ++i) {
        const RQForm4PayOrder& order = chapter.PayOrders[i];
        std::tm date{};
        const bool dated = LocalDate(order.DT, date);
        const int month = dated ? date.tm_mon + 1 : 0;
        const int year = dated ? date.tm_year + 1900 : 0;
        auto warning = [this, &order](const char* message) {
            Append(ErrorCells, Finding::ID_TABLE7, kWarning, 16, 1, RowCellId("DT_DAY", order.Line),
                   message, RowCellId("DT_MONTH", order.Line), RowCellId("DT_YEAR", order.Line));
        };
        if (quarterPeriod && (month < period - 2 || month > period))
            warning("Указанный месяц платежного поручения не входит в отчетный квартал");
        if (year != Form4.TitleList.YEAR_NUM)
            warning("Указанный год платежного поручения не входит в отчетный период");
    }
}
