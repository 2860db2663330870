#include "RQScriptBuilders.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string ElementLine(int n, const std::string& rest) {
    return "element" + std::to_string(n) + rest + kLineEnd;
}

std::string Quoted(const char* text) {
    return std::string("\"") + (text ? text : "") + "\"";
}

}  // namespace

std::string BuildCreateElementScript(const RQNewCellDescription& column, int n, int r) {
    std::string element = "element" + std::to_string(n);
    std::string script =
        "var " + element + " = document.createElement(" + Quoted(column.Tag) + ");" + kLineEnd;
    script += ElementLine(
        n, ".id = \"" + std::string(column.Id ? column.Id : "") + "_" + std::to_string(r) + "\";");
    script += ElementLine(n, ".type = " + Quoted(column.Type) + ";");
    script += ElementLine(n, ".className = " + Quoted(column.ClassName) + ";");
    script += ElementLine(n, ".maxLength = " + std::to_string(column.MaxLength) + ";");
    script +=
        ElementLine(n, ".setAttribute(\"cppType\", " + Quoted(CellTypeToStr(column.Kind)) + ");");
    script += ElementLine(n, ".style.width = " + Quoted(column.Width));
    script += kLineEnd;
    return script;
}

std::string BuildInsertCellScript(const std::string& rowVariable, const std::string& className,
                                  int n, int position) {
    std::string cell = "cell" + std::to_string(n);
    return "var " + cell + " = " + rowVariable + ".insertCell(" + std::to_string(position) + ");" +
           kLineEnd + cell + ".className = \"" + className + "\";" + kLineEnd + kLineEnd;
}

std::string BuildAppendChildScript(int cell, int element) {
    return "cell" + std::to_string(cell) + ".appendChild(element" + std::to_string(element) + ");" +
           kLineEnd;
}
