// Script texts that build table rows in a page: element creation, cell
// insertion and appending an element to a cell. Every line ends in CR LF.
#pragma once

#include <string>

#include "TarvikDocument.h"

// How to create the input element of one column of a table row that a page
// view adds by script.
struct RQNewCellDescription {
    int Column;                             // position of the element among the columns
    RQTarvikDocument::CELL_DATA_TYPE Kind;  // gives the element's cppType
    const char* Tag;                        // tag name, e.g. "INPUT"
    const char* Type;                       // input type, e.g. "text"
    const char* Id;                         // id prefix; the id is "<Id>_<row>"
    const char* ClassName;
    int MaxLength;
    const char* Width;  // style width, e.g. "100%"
};

// Seven lines creating element n for row r, then an empty line.
std::string BuildCreateElementScript(const RQNewCellDescription& column, int n, int r);

// "var cell<n> = <row>.insertCell(<position>);", the class name line, then an
// empty line.
std::string BuildInsertCellScript(const std::string& rowVariable, const std::string& className,
                                  int n, int position);

// "cell<cell>.appendChild(element<element>);".
std::string BuildAppendChildScript(int cell, int element);
