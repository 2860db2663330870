// A batch of cell operations on a page, sent to the page as one script.
//
// Each operation has the meaning of the RQHtmlView operation of the same
// name: the readers fill the variable they were given and the writers take
// their text when the operation is recorded. The page runs the operations
// in the order they were recorded, so a read sees the writes before it.
// After RQHtmlView::RunBatch, Succeeded(handle) is the operation's bool
// result and Status(handle) its integer result (the exchanges give
// RQCellBatch::ExchangeFromPage when they read the cell).
//
// Outputs are written through the references given, which must stay valid
// until the batch has run.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "TarvikDocument.h"

class RQCellBatch {
public:
    using Handle = std::size_t;
    static constexpr int ExchangeFromPage = 212;

    // Reading the page.
    Handle GetValue(const std::string& id, std::string& text);
    Handle GetInt(const std::string& id, int& value);
    Handle GetFloat(const std::string& id, double& value);
    Handle GetChecked(const std::string& id, int& value);
    Handle IsCellEmpty(const std::string& id);
    Handle IsCellReadOnly(const std::string& id);
    Handle GetDate(const std::string& prefix, time_t& time, int row = 0);
    Handle GetCaretPosition(int& position);
    // The cell's computed background colour, six hexadecimal digits ("" when
    // transparent).
    Handle GetCellColor(const std::string& id, std::string& colour);

    // Writing the page.
    Handle SetText(const std::string& id, const std::string& text);
    Handle SetChecked(const std::string& id, int flag);
    Handle SetCellColor(const std::string& id, const std::string& colour);
    Handle SetDate(const std::string& prefix, time_t time, int row = 0);
    Handle ExchangeInt(const std::string& id, int& value, bool showZero, bool fromPage);
    Handle ExchangeFloat(const std::string& id, double& value, bool showZero, bool fromPage);
    Handle SetCellCalculated(const std::string& id, bool calculated);
    Handle FocusElement(const std::string& id);

    // Checks.
    Handle CheckCellFormat(const std::string& id, int kind);
    Handle CheckDate(const std::string& dayId, const std::string& monthId,
                     const std::string& yearId);
    Handle IsPayOrderEmpty(const std::string& sumId, int n);
    // Colours "f6c1c1" the cells of the errors of the given table.
    void HighlightErrorCells(const RQForm4ErrorCells& findings,
                             RQErrorCellDescription::FORM4_TABLE_ID table);

    bool Empty() const { return operations_.empty(); }
    std::size_t Size() const { return operations_.size(); }

    // The script that runs the batch in the page.
    std::string Script() const;
    // Takes the page's answer (the JSON text of the results) and fills the
    // outputs; with ok false or an answer that does not fit, every operation
    // fails as if its element were missing. Returns whether the answer fit.
    bool Apply(bool ok, const std::string& answer);

    bool Succeeded(Handle handle) const;
    int Status(Handle handle) const;

private:
    // The results of an operation's primitives: a JSON value each, null
    // for a missing element (and for every primitive of a failed batch).
    using Results = std::vector<const nlohmann::json*>;
    using Finish = std::function<int(const Results&)>;
    struct Operation {
        std::size_t first;  // index of its first primitive
        std::size_t count;  // number of primitives
        Finish finish;      // fills the outputs, returns the status
    };

    Handle Add(std::vector<std::string> primitives, Finish finish);

    std::vector<std::string> primitives_;  // JSON text of each primitive
    std::vector<Operation> operations_;
    std::vector<int> statuses_;
};
