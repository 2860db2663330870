// Findings of the format-logical control and the list that holds them.
#include <locale.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "TarvikDocument.h"

namespace {

struct TableNames {
    const char* table;
    const char* section;
};

TableNames NamesOf(RQErrorCellDescription::FORM4_TABLE_ID id) {
    switch (id) {
        case RQErrorCellDescription::ID_TITLE:
            return {"Титульный лист", "Титульный лист"};
        case RQErrorCellDescription::ID_TABLE6:
            return {"Таблица 1", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE7:
            return {"Таблица 2", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE6_1:
            return {"Таблица 1.1", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE8:
            return {"Таблица 3", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE9:
            return {"Таблица 4", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE10:
            return {"Таблица 5", "Раздел 1"};
        case RQErrorCellDescription::ID_TABLE_SKE:
            return {"Таблица СКЕ", "Таблица СКЕ"};
        default:
            return {"", ""};
    }
}

// The C locale, so that messages never depend on the process locale.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

// printf-style formatting into a string of exactly the needed length.
std::string FormatV(const char* format, va_list args) {
    if (!format) return {};
    const locale_t previous = uselocale(CLocale());
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    uselocale(previous);
    return text;
}

std::string PositiveOrEmpty(int n) {
    return n > 0 ? std::to_string(n) : std::string();
}

}  // namespace

// ----- RQErrorCellDescription

void RQErrorCellDescription::Set(FORM4_TABLE_ID table, RECORD_TYPE type, int row, int column,
                                 const char* cellId, const char* format, ...) {
    Clear();
    TableId = table;
    RecordType = type;
    const TableNames names = NamesOf(table);
    TableName = names.table;
    SectionName = names.section;
    Row = row;
    Column = column;
    if (cellId) CellId = cellId;
    va_list args;
    va_start(args, format);
    Message = FormatV(format, args);
    va_end(args);
}

void RQErrorCellDescription::Clear() {
    *this = RQErrorCellDescription();
}

std::string RQErrorCellDescription::GetStrRow() const {
    return PositiveOrEmpty(Row);
}

std::string RQErrorCellDescription::GetStrColumn() const {
    return PositiveOrEmpty(Column);
}

// ----- RQForm4ErrorCells

void RQForm4ErrorCells::Append(const RQErrorCellDescription* finding) {
    if (finding) items_.push_back(*finding);
}

void RQForm4ErrorCells::Append(RQErrorCellDescription&& finding) {
    items_.push_back(std::move(finding));
}

RQErrorCellDescription* RQForm4ErrorCells::Get(int index) {
    return index >= 0 && index < Size() ? &items_[static_cast<std::size_t>(index)] : nullptr;
}

const RQErrorCellDescription* RQForm4ErrorCells::Get(int index) const {
    return const_cast<RQForm4ErrorCells*>(this)->Get(index);
}

void RQForm4ErrorCells::Remove(int index) {
    if (index >= 0 && index < Size()) items_.erase(items_.begin() + index);
}

void RQForm4ErrorCells::Clear() {
    items_.clear();
}

int RQForm4ErrorCells::Size() const {
    return static_cast<int>(items_.size());
}

void RQForm4ErrorCells::GetCountInfo(int& errors, int& warnings) const {
    errors = 0;
    warnings = 0;
    for (const auto& item : items_) {
        if (item.RecordType == RQErrorCellDescription::RECORD_ERROR)
            ++errors;
        else if (item.RecordType == RQErrorCellDescription::RECORD_WARNING)
            ++warnings;
    }
}

const char* CellTypeToStr(RQTarvikDocument::CELL_DATA_TYPE type) {
    switch (type) {
        case RQTarvikDocument::CELL_TYPE_STRONG_STRING:
            return "StrongString";
        case RQTarvikDocument::CELL_TYPE_DWORD:
            return "DWORD";
        case RQTarvikDocument::CELL_TYPE_FLOAT:
            return "float";
        case RQTarvikDocument::CELL_TYPE_INT:
            return "DWORD";
        default:
            return "SimpleType";
    }
}
