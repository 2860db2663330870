// Totals of the printed tables 1 to 4. Nothing is rounded: the values keep
// full double precision and are rounded only when written or shown.
#include <climits>
#include <cstdint>

#include "CheckSupport.h"
#include "TarvikDocument.h"

namespace {

// Formula 3 of table 2: everything charged plus the debt at the start.
double Total8(const RQForm4Table7& t) {
    return t.T7_SUMR2C3 + t.T7R1C1 + t.T7R9C1 + t.T7R13C1 + t.T7R11C1 + t.T7R16C1 + t.T7R17C61;
}

// Formula 9 of table 2: everything paid, spent and written off.
double Total18(const RQForm4Table7& t) {
    return t.T7_SUMR12C3 + t.T7_SUMR11C3 + t.T7R19C1 + t.T7R38C1 + t.T7R42C1;
}

// The totals that follow every sub-total of table 2.
void FinalTotals7(RQForm4Table7& t) {
    t.T7_SUMR8C3 = Total8(t);
    t.T7_SUMR18C3 = Total18(t);
    t.T7_SUMR13C3 = t.T7R19C1 - t.T7R40C1;
    t.T7_SUMR10C3 = t.T7R18C1 - t.T7R39C1;
}

// The paid-per-month field of table 2 that a pay order counts for: by the
// month of its date, or without a date by its line on the page (1-3, 4-6,
// 7-9); null when it counts nowhere.
double* PaidMonthField(RQForm4Table7& t, const RQForm4PayOrder& order) {
    double* const months[3] = {&t.T7R29C1, &t.T7R30C1, &t.T7R31C1};
    std::tm date{};
    if (tarvik::check::LocalDate(order.DT, date)) return months[date.tm_mon % 3];
    if (order.Line >= 1 && order.Line <= 9) return months[(order.Line - 1) / 3];
    return nullptr;
}

// The sum of two counts, kept inside the range of int.
int SaturatedSum(int a, int b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return static_cast<int>(sum);
}

}  // namespace

void RQTarvikDocument::CalculateReport() {
    RQForm4Chapter2& chapter = Form4.Chapter2;
    CalculateTable6(&chapter.Table6);
    CalculateTable7(&chapter);
    CalculateTable8(&chapter.Table8);
    CalculateTable9(&chapter.Table9);
}

void RQTarvikDocument::CalculateTable6(RQForm4Table6* table) {
    if (!table) return;
    RQForm4Table6& t = *table;
    t.T6_SUM_C6 = (1 - t.RATE_DEC / 100.0 + t.RATE_INC / 100.0) * t.RATE_MIS;
    t.T6_SUM_R1C3 = t.T1R3C2 + t.NC;
    t.T6_SUM_R1C4 = t.C1 + t.NC1;
    t.T6_SUM_R1C5 = t.C2 + t.NC2;
    t.T6_SUM_R1C6 = t.C3 + t.NC3;
}

void RQTarvikDocument::CalculateTable7(RQForm4Chapter2* chapter) {
    if (!chapter) return;
    RQForm4Table7& t = chapter->Table7;
    t.T7_SUMR2C1 = t.T7R6C1 + t.T7R5C1 + t.T7R7C1;
    t.T7_SUMR2C3 = t.T7_SUMR2C1 + t.T7R3C1;
    t.T7_SUMR8C3 = Total8(t);
    t.T7_SUMR11C1 = t.T7R24C1 + t.T7R23C1 + t.T7R25C1;
    t.T7_SUMR11C3 = t.T7_SUMR11C1 + t.T7R21C1;

    // With pay orders the paid-per-month fields are theirs; without any the
    // fields keep what the user typed.
    if (chapter->PayOrderCount > 0 && chapter->PayOrders) {
        t.T7R29C1 = t.T7R30C1 = t.T7R31C1 = 0;
        for (int i = 0; i < chapter->PayOrderCount; ++i) {
            const RQForm4PayOrder& order = chapter->PayOrders[i];
            if (double* field = PaidMonthField(t, order)) *field += order.SUM;
        }
    }

    t.T7_SUMR12C1 = t.T7R30C1 + t.T7R29C1 + t.T7R31C1;
    t.T7_SUMR12C3 = t.T7_SUMR12C1 + t.T7R27C1;
    t.T7_SUMR18C3 = Total18(t);
    t.T7_SUMR13C3 = t.T7R19C1 - t.T7R40C1;
    t.T7_SUMR10C3 = t.T7R18C1 - t.T7R39C1;
}

void RQTarvikDocument::ReCalculateTable7(RQForm4Table7* table, unsigned short row,
                                         unsigned short column) {
    if (!table) return;
    RQForm4Table7& t = *table;
    if (column == 1) {
        switch (row) {
            case 2:
                t.T7_SUMR2C3 = t.T7_SUMR2C1 + t.T7R3C1;
                break;
            case 11:
                t.T7_SUMR11C3 = t.T7_SUMR11C1 + t.T7R21C1;
                break;
            case 12:
                t.T7_SUMR12C3 = t.T7_SUMR12C1 + t.T7R27C1;
                break;
            default:
                break;
        }
    } else if (column != 3) {
        return;
    }
    FinalTotals7(t);
}

void RQTarvikDocument::CalculateTable8(RQForm4Table8* table) {
    if (!table) return;
    RQForm4Table8& t = *table;
    t.T8_SUM_R10C4 = t.T6R8C2 + t.T6R3C2 + t.T6R5C2 + t.T6R10C2;
}

void RQTarvikDocument::CalculateTable9(RQForm4Table9* table) {
    if (!table) return;
    table->T9_SUM_R4C3 = SaturatedSum(table->M3, table->M1);
}
