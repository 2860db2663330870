#include <gtest/gtest.h>

#include "RQScriptBuilders.h"

TEST(ScriptBuilders, ExactTexts) {
    RQNewCellDescription column{1,           RQTarvikDocument::CELL_TYPE_DWORD,
                                "INPUT",     "text",
                                "REG_NUM_P", "userInputCells",
                                10,          "100%"};
    EXPECT_EQ(BuildCreateElementScript(column, 1, 2),
              "var element1 = document.createElement(\"INPUT\");\r\n"
              "element1.id = \"REG_NUM_P_2\";\r\n"
              "element1.type = \"text\";\r\n"
              "element1.className = \"userInputCells\";\r\n"
              "element1.maxLength = 10;\r\n"
              "element1.setAttribute(\"cppType\", \"DWORD\");\r\n"
              "element1.style.width = \"100%\"\r\n"
              "\r\n");
    column.Kind = RQTarvikDocument::CELL_TYPE_INT;
    EXPECT_NE(BuildCreateElementScript(column, 7, 12)
                  .find("element7.setAttribute(\"cppType\", \"DWORD\");\r\n"),
              std::string::npos);
    column.Kind = RQTarvikDocument::CELL_TYPE_FLOAT;
    EXPECT_NE(BuildCreateElementScript(column, 7, 12).find("element7.id = \"REG_NUM_P_12\";"),
              std::string::npos);

    EXPECT_EQ(BuildInsertCellScript("Row", "xl11615473", 1, 0),
              "var cell1 = Row.insertCell(0);\r\ncell1.className = \"xl11615473\";\r\n\r\n");
    EXPECT_EQ(BuildAppendChildScript(15, 14), "cell15.appendChild(element14);\r\n");
}
