#include "RQCellBatch.h"

#include <nlohmann/json.hpp>
#include <utility>

#include "RQCellText.h"
#include "RQPageResources.h"

using nlohmann::json;

namespace {

// JSON text of one primitive; text that is not valid UTF-8 is repaired
// rather than refused.
std::string Primitive(const json& items) {
    return items.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<std::string> StringOf(const json* result) {
    if (result && result->is_string()) return result->get<std::string>();
    return std::nullopt;
}

// A cell value as GetValue reads it.
std::optional<std::string> CellValue(const json* result) {
    auto value = StringOf(result);
    if (value) *value = RQCellText::ReplaceQuotEntities(std::move(*value));
    return value;
}

bool IsTrue(const json* result) {
    return result && result->is_boolean() && result->get<bool>();
}

bool IsEmptyValue(const std::optional<std::string>& value) {
    return value && value->empty();
}

}  // namespace

RQCellBatch::Handle RQCellBatch::Add(std::vector<std::string> primitives, Finish finish) {
    operations_.push_back({primitives_.size(), primitives.size(), std::move(finish)});
    for (auto& p : primitives) primitives_.push_back(std::move(p));
    statuses_.push_back(0);
    return operations_.size() - 1;
}

RQCellBatch::Handle RQCellBatch::GetValue(const std::string& id, std::string& text) {
    return Add({Primitive(json::array({"value", id}))}, [&text](const Results& r) {
        auto value = CellValue(r[0]);
        if (!value) return 0;
        text = std::move(*value);
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::GetInt(const std::string& id, int& value) {
    return Add({Primitive(json::array({"value", id}))}, [&value](const Results& r) {
        value = 0;
        auto text = CellValue(r[0]);
        if (!text) return 0;
        value = RQCellText::ParseLeadingInt(*text);
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::GetFloat(const std::string& id, double& value) {
    return Add({Primitive(json::array({"value", id}))}, [&value](const Results& r) {
        value = 0.0;
        auto text = CellValue(r[0]);
        if (!text) return 0;
        value = RQCellText::ParseLeadingDecimal(*text);
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::GetChecked(const std::string& id, int& value) {
    return Add({Primitive(json::array({"checked", id}))}, [&value](const Results& r) {
        value = 0;
        if (!r[0] || !r[0]->is_number()) return 0;
        value = r[0]->get<int>() != 0 ? 1 : 0;
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::IsCellEmpty(const std::string& id) {
    return Add({Primitive(json::array({"value", id}))},
               [](const Results& r) { return IsEmptyValue(CellValue(r[0])) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::IsCellReadOnly(const std::string& id) {
    return Add({Primitive(json::array({"readonly", id}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::GetDate(const std::string& prefix, time_t& time, int row) {
    auto ids = RQCellText::MakeDateIds(prefix, row);
    return Add(
        {Primitive(json::array({"value", ids.Day})), Primitive(json::array({"value", ids.Month})),
         Primitive(json::array({"value", ids.Year}))},
        [&time](const Results& r) {
            time = 0;
            auto day = CellValue(r[0]), month = CellValue(r[1]), year = CellValue(r[2]);
            if (!RQCellText::CheckDate(day, month, year)) return 0;
            if (IsEmptyValue(year)) return 1;  // no date
            auto midnight = RQCellText::LocalMidnight(RQCellText::ParseLeadingInt(*day),
                                                      RQCellText::ParseLeadingInt(*month),
                                                      RQCellText::ParseLeadingInt(*year));
            if (!midnight) return 0;
            time = *midnight;
            return 1;
        });
}

RQCellBatch::Handle RQCellBatch::GetCaretPosition(int& position) {
    return Add({Primitive(json::array({"caret"}))}, [&position](const Results& r) {
        position = 0;
        if (!r[0] || !r[0]->is_number()) return 0;
        position = r[0]->get<int>();
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::GetCellColor(const std::string& id, std::string& colour) {
    return Add({Primitive(json::array({"color", id}))}, [&colour](const Results& r) {
        auto value = StringOf(r[0]);
        if (!value) return 0;
        colour = std::move(*value);
        return 1;
    });
}

RQCellBatch::Handle RQCellBatch::SetText(const std::string& id, const std::string& text) {
    return Add({Primitive(json::array({"setText", id, text}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::SetChecked(const std::string& id, int flag) {
    return Add({Primitive(json::array({"setChecked", id, flag == 1}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::SetCellColor(const std::string& id, const std::string& colour) {
    return Add({Primitive(json::array({"setColor", id, colour}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::SetDate(const std::string& prefix, time_t time, int row) {
    auto ids = RQCellText::MakeDateIds(prefix, row);
    auto texts = RQCellText::SplitDate(time);
    return Add({Primitive(json::array({"texts", json::array({ids.Day, ids.Month, ids.Year}),
                                       json::array({texts.Day, texts.Month, texts.Year})}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::ExchangeInt(const std::string& id, int& value, bool showZero,
                                             bool fromPage) {
    std::string text = value == 0 && !showZero ? std::string() : RQCellText::FormatInt(value);
    return Add({Primitive(json::array({"exchange", id, fromPage, text}))},
               [&value](const Results& r) {
                   if (r[0] && r[0]->is_object()) {
                       auto read = r[0]->find("read");
                       auto cell = read != r[0]->end() ? CellValue(&*read) : std::nullopt;
                       value = cell ? RQCellText::ParseLeadingInt(*cell) : 0;
                       return ExchangeFromPage;
                   }
                   return IsTrue(r[0]) ? 1 : 0;
               });
}

RQCellBatch::Handle RQCellBatch::ExchangeFloat(const std::string& id, double& value, bool showZero,
                                               bool fromPage) {
    std::string text = value == 0.0 && !showZero ? std::string() : RQCellText::FormatAmount(value);
    return Add({Primitive(json::array({"exchange", id, fromPage, text}))},
               [&value](const Results& r) {
                   if (r[0] && r[0]->is_object()) {
                       auto read = r[0]->find("read");
                       auto cell = read != r[0]->end() ? CellValue(&*read) : std::nullopt;
                       value = cell ? RQCellText::ParseLeadingDecimal(*cell) : 0.0;
                       return ExchangeFromPage;
                   }
                   return IsTrue(r[0]) ? 1 : 0;
               });
}

RQCellBatch::Handle RQCellBatch::SetCellCalculated(const std::string& id, bool calculated) {
    return Add({Primitive(json::array({"setCalculated", id, calculated}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::FocusElement(const std::string& id) {
    return Add({Primitive(json::array({"focus", id}))},
               [](const Results& r) { return IsTrue(r[0]) ? 1 : 0; });
}

RQCellBatch::Handle RQCellBatch::CheckCellFormat(const std::string& id, int kind) {
    return Add({Primitive(json::array({"value", id}))}, [kind](const Results& r) {
        return RQCellText::CheckCellFormat(CellValue(r[0]), kind) ? 1 : 0;
    });
}

RQCellBatch::Handle RQCellBatch::CheckDate(const std::string& dayId, const std::string& monthId,
                                           const std::string& yearId) {
    return Add(
        {Primitive(json::array({"value", dayId})), Primitive(json::array({"value", monthId})),
         Primitive(json::array({"value", yearId}))},
        [](const Results& r) {
            return RQCellText::CheckDate(CellValue(r[0]), CellValue(r[1]), CellValue(r[2])) ? 1 : 0;
        });
}

RQCellBatch::Handle RQCellBatch::IsPayOrderEmpty(const std::string& sumId, int n) {
    std::string row = std::to_string(n);
    std::vector<std::string> primitives;
    for (const std::string& id :
         {sumId, "NUM" + row, "DT_DAY_" + row, "DT_MONTH_" + row, "DT_YEAR_" + row})
        primitives.push_back(Primitive(json::array({"value", id})));
    return Add(std::move(primitives), [](const Results& r) {
        for (const json* cell : r)
            if (!IsEmptyValue(CellValue(cell))) return 0;
        return 1;
    });
}

void RQCellBatch::HighlightErrorCells(const RQForm4ErrorCells& findings,
                                      RQErrorCellDescription::FORM4_TABLE_ID table) {
    for (int i = 0; i < findings.Size(); ++i) {
        const RQErrorCellDescription* finding = findings.Get(i);
        if (finding->RecordType != RQErrorCellDescription::RECORD_ERROR ||
            finding->TableId != table)
            continue;
        SetCellColor(finding->CellId, "f6c1c1");
        if (!finding->CellId2.empty()) SetCellColor(finding->CellId2, "f6c1c1");
        if (!finding->CellId3.empty()) SetCellColor(finding->CellId3, "f6c1c1");
    }
}

std::string RQCellBatch::Script() const {
    std::string script(EmbeddedText(tarvik_pages_cellops, tarvik_pages_cellops_size));
    script += "([";
    for (std::size_t i = 0; i < primitives_.size(); ++i) {
        if (i > 0) script += ',';
        script += primitives_[i];
    }
    script += "])";
    return script;
}

bool RQCellBatch::Apply(bool ok, const std::string& answer) {
    static const json missing;  // null
    json parsed = ok ? json::parse(answer, nullptr, false) : json();
    bool fits = parsed.is_array() && parsed.size() == primitives_.size();
    for (std::size_t i = 0; i < operations_.size(); ++i) {
        const Operation& op = operations_[i];
        Results results(op.count, &missing);
        if (fits)
            for (std::size_t k = 0; k < op.count; ++k) results[k] = &parsed[op.first + k];
        statuses_[i] = op.finish(results);
    }
    return fits;
}

bool RQCellBatch::Succeeded(Handle handle) const {
    return Status(handle) != 0;
}

int RQCellBatch::Status(Handle handle) const {
    return handle < statuses_.size() ? statuses_[handle] : 0;
}
