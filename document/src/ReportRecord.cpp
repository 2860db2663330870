// The report record: clearing, deep copies, array allocation and the
// emptiness rules of its blocks.
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "TarvikDocument.h"

namespace {

// Amount scaled to kopecks with the system's bias, truncated toward zero.
std::int64_t Kopecks(double amount) {
    const double scaled = (amount + 0.5 / 101) * 100;
    if (std::isnan(scaled)) return 0;
    constexpr double kLimit = 9.2e18;  // inside the int64 range
    if (scaled >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (scaled <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(scaled);
}

bool IsZero(double amount) {
    return CompareRounded(amount, 0.0) == 0;
}

// Releases the array, then allocates count default elements when count is
// positive. On failure the count is reset to 0 and 0 is returned.
template <typename T>
int AllocArray(int& count, std::unique_ptr<T[]>& array) {
    array.reset();
    if (count <= 0) return 1;
    array.reset(new (std::nothrow) T[static_cast<std::size_t>(count)]());
    if (!array) {
        count = 0;
        return 0;
    }
    return 1;
}

}  // namespace

int CompareRounded(double a, double b) {
    const std::int64_t x = Kopecks(a);
    const std::int64_t y = Kopecks(b);
    if (x < y) return 1;
    if (x > y) return -1;
    return 0;
}

// ----- RQForm4TitleList

void RQForm4TitleList::Clear() {
    *this = RQForm4TitleList();
}

void RQForm4TitleList::Set(const RQForm4TitleList* source) {
    if (source == this) return;  // clearing first would lose the page
    Clear();
    if (source) *this = *source;
}

// ----- RQForm4PayOrder, RQForm4Table6_1, tables 3 and 4

void RQForm4PayOrder::SetPayOrder(const RQForm4PayOrder* source) {
    if (source) *this = *source;
}

int RQForm4PayOrder::IsEmpty() const {
    return NUM.empty() && SUM == 0.0 && DT == 0 ? 1 : 0;
}

void RQForm4Table6_1::SetTableRow(const RQForm4Table6_1* source) {
    if (source) *this = *source;
}

bool RQForm4Table6_1::IsEmpty() const {
    return REG_NUM_P.empty() && INN_P.empty() && OKVED_P.empty() && IsZero(FOT_P) &&
           IsZero(FOTINV_P) && IsZero(C1) && IsZero(I1) && IsZero(I2) && IsZero(I3) &&
           IsZero(RATE_MIS_P) && IsZero(MIS_ALL_P);
}

bool RQForm4Table8::IsEmpty() const {
    for (double v : {double(T6R3C1), T6R3C2, double(T6R13C1), T6R13C2, double(T6R4C1), T6R4C2,
                     double(T6R8C1), T6R8C2, double(T6R14C1), T6R14C2, double(T6R9C1), T6R9C2,
                     double(T6R5C1), T6R5C2, double(T6R6C1), T6R6C2, T6R10C2, T6R11C2}) {
        if (!IsZero(v)) return false;
    }
    return true;
}

bool RQForm4Table9::IsEmpty() const {
    return M1 == 0 && M2 == 0 && M3 == 0 && M5 == 0;
}

// ----- RQForm4Chapter2

RQForm4Chapter2::RQForm4Chapter2() {
    Clear();
}

RQForm4Chapter2::RQForm4Chapter2(const RQForm4Chapter2& other) {
    SetChapter(&other);
}

RQForm4Chapter2& RQForm4Chapter2::operator=(const RQForm4Chapter2& other) {
    SetChapter(&other);
    return *this;
}

RQForm4Chapter2::~RQForm4Chapter2() {
    Clear();
}

void RQForm4Chapter2::Clear() {
    Table6 = {};
    Table7 = {};
    Table8 = {};
    Table9 = {};
    Table10 = {};
    IS_INV = 0;
    IS_BUDJET = 0;
    Table6_1Count = 0;
    Table6_1Rows.reset();
    PayOrderCount = 0;
    PayOrders.reset();
}

int RQForm4Chapter2::AllocPayOrder() {
    return AllocArray(PayOrderCount, PayOrders);
}

int RQForm4Chapter2::AllocTable6_1() {
    return AllocArray(Table6_1Count, Table6_1Rows);
}

int RQForm4Chapter2::SetChapter(const RQForm4Chapter2* source) {
    if (!source || source == this) return 1;
    IS_INV = source->IS_INV;
    IS_BUDJET = source->IS_BUDJET;
    Table6 = source->Table6;
    Table7 = source->Table7;
    Table8 = source->Table8;
    Table9 = source->Table9;
    Table10 = source->Table10;

    PayOrderCount = source->PayOrderCount;
    if (AllocPayOrder() && PayOrders && source->PayOrders) {
        for (int i = 0; i < PayOrderCount; ++i) PayOrders[i].SetPayOrder(&source->PayOrders[i]);
    }
    Table6_1Count = source->Table6_1Count;
    if (AllocTable6_1() && Table6_1Rows && source->Table6_1Rows) {
        for (int i = 0; i < Table6_1Count; ++i)
            Table6_1Rows[i].SetTableRow(&source->Table6_1Rows[i]);
    }
    return 1;
}

// ----- RQForm4

RQForm4::RQForm4(const RQForm4& other) {
    *this = other;
}

RQForm4& RQForm4::operator=(const RQForm4& other) {
    if (this == &other) return *this;
    TitleList.Set(&other.TitleList);
    Chapter2.SetChapter(&other.Chapter2);
    SKECount = other.SKECount;
    if (AllocTableSKE() && SKERows && other.SKERows) {
        for (int i = 0; i < SKECount; ++i) SKERows[i] = other.SKERows[i];
    }
    return *this;
}

void RQForm4::Clear() {
    SKECount = 0;
    SKERows.reset();
    TitleList.Clear();
    Chapter2.Clear();
}

int RQForm4::AllocTableSKE() {
    return AllocArray(SKECount, SKERows);
}
