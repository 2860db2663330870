// Rules of printed tables 3, 4 and 5 and of the SKE table.
#include <cstdint>

#include "CheckSupport.h"
#include "TarvikDocument.h"

using namespace tarvik::check;

namespace {

// Sum of two counts without overflow.
std::int64_t Sum(int a, int b) {
    return std::int64_t{a} + b;
}

}  // namespace

void RQTarvikDocument::CheckTable8(bool& ok) {
    const RQForm4Table8& t = Form4.Chapter2.Table8;
    auto error = [this, &ok](int row, int column, const char* cell, const char* message) {
        Append(ErrorCells, Finding::ID_TABLE8, kError, row, column, cell, message);
        ok = false;
    };
    if (Less(t.T6R3C1, static_cast<double>(Sum(t.T6R4C1, t.T6R13C1))))
        error(1, 3, "T6R3C1",
              "Общее количество дней выплат пособий по временной нетрудоспособности (строка 1 "
              "графа 3) меньше суммы строк 2 и 3 графы 3");
    if (Less(t.T6R3C2, t.T6R4C2 + t.T6R13C2))
        error(1, 4, "T6R3C2",
              "Общая сумма выплат пособий по временной нетрудоспособности (строка 1 графа 4) "
              "меньше суммы строк 2 и 3 графы 4");
    if (Less(t.T6R8C1, static_cast<double>(Sum(t.T6R9C1, t.T6R14C1))))
        error(4, 3, "T6R8C1",
              "Общее количество дней выплат пособий по временной нетрудоспособности (строка 4 "
              "графа 3) меньше суммы строк 5 и 6 графы 3");
    if (Less(t.T6R8C2, t.T6R9C2 + t.T6R14C2))
        error(4, 4, "T6R8C2",
              "Общая сумма выплат пособий по временной нетрудоспособности (строка 4 графа 4) "
              "меньше суммы строк 5 и 6 графы 4");
    if (Less(t.T6R5C1, t.T6R6C1))
        error(7, 3, "T6R5C1",
              "Общее количество оплачиваемых дней отпуска для санаторно-курортного лечения "
              "застрахованным превышает количество дней для пострадавших на другом предприятии");
    if (Less(t.T6R5C2, t.T6R6C2))
        error(7, 4, "T6R5C2",
              "Общая сумма оплаты отпуска для санаторно-курортного лечения застрахованным "
              "превышает показатель выплаты пострадавшим на другом предприятии");
    if (Less(t.T6R10C2, t.T6R11C2))
        error(11, 4, "T6R11C2",
              "Показатель строки 11 графы 4 должен быть меньше, либо равен показателю строки 10 "
              "графы 4");
}

void RQTarvikDocument::CheckTable9(bool& ok) {
    const RQForm4Table9& t = Form4.Chapter2.Table9;
    if (t.M1 < t.M2) {
        Append(ErrorCells, Finding::ID_TABLE9, kError, 2, 3, "M2",
               "Количество несчатных случаев со смертельным исходом превышает общее количество "
               "несчатных случаев");
        ok = false;
    }
    if (t.T9_SUM_R4C3 < t.M5) {
        Append(ErrorCells, Finding::ID_TABLE9, kError, 5, 3, "M5",
               "Количество пострадавших по случаям, закончившимся только временной "
               "нетрудоспособностью превышает общее количество пострадавших");
        ok = false;
    }
}

// The head count T1R6C2 of the title is left as the user entered it.
void RQTarvikDocument::CheckTable10(bool& ok) {
    const RQForm4Table10& t = Form4.Chapter2.Table10;
    auto warning = [this, &ok](const char* cell, const char* message) {
        Append(ErrorCells, Finding::ID_TABLE10, kWarning, 1, 3, cell, message);
        ok = false;
    };
    if (t.ATT_C1 < t.ATT_C2)
        warning("ATT_C1",
                "Общее количество рабочих мест страхователя, подлежащих аттестации меньше "
                "общего количества рабочих мест, на которых проведена аттестация");
    if (t.ATT_C2 < Sum(t.ATT_CL4, t.ATT_CL3))
        warning("ATT_C2",
                "Общее количество рабочих мест, на которых проведена аттестация меньше суммы "
                "рабочих мест 3 и 4 класса");
    if (t.MED_C1 < t.MED_C2)
        warning("MED_C1",
                "Общее число работников подлежащих обязательным предварительным и периодическим "
                "медицинским осмотрам меньше количества прошедших");
}

void RQTarvikDocument::CheckSKETable(bool& ok) {
    if (Form4.SKECount <= 0 || !Form4.SKERows) return;
    const RQForm4Table6& t6 = Form4.Chapter2.Table6;
    const bool budget = Form4.Chapter2.IS_BUDJET != 0;
    const std::string& mainOkved = Form4.TitleList.OKVED;

    for (int i = 0; i < Form4.SKECount; ++i) {
        const RQForm4TableSKE& row = Form4.SKERows[i];
        const int n = i + 1;
        // The messages are formats: "%d" takes the row number, "%%" is "%".
        Finding finding;
        auto append = [this, &ok, &finding, n](const char* prefix) {
            finding.CellId = RowCellId(prefix, n);
            ErrorCells.Append(&finding);
            ok = false;
        };
        const Finding::FORM4_TABLE_ID ske = Finding::ID_TABLE_SKE;

        if (row.OKVED != mainOkved) {
            if (!IsZero(row.RATE_DEC)) {
                finding.Set(ske, kError, n, 4, nullptr,
                            "Значение «Скидка (%%)» строки %d, должно быть равным 0", n);
                append("RATE_DEC");
            }
            if (!IsZero(row.RATE_INC)) {
                finding.Set(ske, kError, n, 4, nullptr,
                            "Значение «Надбавка к страховому тарифу (в %%)» строки %d, должно "
                            "быть равным 0",
                            n);
                append("RATE_INC");
            }
            continue;
        }

        if (!budget && !Equal(row.RATE_MIS, t6.RATE_MIS)) {
            finding.Set(ske, kError, n, 3, nullptr,
                        "Значение «Тариф» строки %d, должно быть равным значению указанным в "
                        "таблице 1 строка 5",
                        n);
            append("RATE_MIS");
        }
        if (budget && !Equal(row.RATE_MIS, 0.2) && !Equal(row.RATE_MIS, t6.RATE_MIS)) {
            finding.Set(ske, kError, n, 3, nullptr,
                        "Значение «Тариф» строки %d, должно быть равным 0.20 или значению "
                        "указанным в таблице 1 строка 5",
                        n);
            append("RATE_MIS");
        }
        if (!Equal(row.RATE_DEC, t6.RATE_DEC)) {
            finding.Set(ske, kError, n, 4, nullptr,
                        "Значение «Скидка (в %%)» строки %d, должно быть равным значению "
                        "указанным в таблице 1 строка 6",
                        n);
            append("RATE_DEC");
        }
        if (!Equal(row.RATE_INC, t6.RATE_INC)) {
            finding.Set(ske, kError, n, 4, nullptr,
                        "Значение «Надбавка к страховому тарифу (в %%)» строки %d, должно быть "
                        "равным значению указанным в таблице 1 строка 7",
                        n);
            append("RATE_INC");
        }
    }
}
