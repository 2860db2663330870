// The check protocol: an HTML page in windows-1251 with the result of the
// format-logical control of one report, its counts, status and findings
// grouped by section.
#include <cstdio>
#include <ctime>
#include <new>
#include <string>
#include <string_view>

#include "TarvikDocument.h"
#include "XmlText.h"

namespace {

using tarvik::xml::AppendAttributeText;
using tarvik::xml::AppendWindows1251;

struct Status {
    int code;
    const char* text;
    const char* background;
    const char* textColor;
    const char* nameColor;
};

constexpr Status kInvalid{2, "Плохо", "#FFED93", "#FF0000", "#FF0000"};
constexpr Status kErrors{2, "Плохо", "#FFED93", "#FF0000", "#000000"};
constexpr Status kWarnings{1, "Предупреждения", "#FFED93", "#FF0000", "#000000"};
constexpr Status kClean{0, "Успешно", "#B4FAB2", "#04B900", "#000000"};

constexpr std::string_view kStructureSection = "Структура документа";
constexpr std::string_view kFileNameMessage =
    "Имя файла не соответствует утвержденному формату:<br><b>[Рег. Номер]_[Отчетный "
    "год]_[Отчетный квартал].xml</b>";

// Builds the page in windows-1251: markup goes out as it is, texts that
// come from the report or the findings are escaped.
class Page {
public:
    Page& operator<<(std::string_view markup) {
        AppendWindows1251(out_, markup);
        return *this;
    }
    Page& operator<<(int number) {
        out_ += std::to_string(number);
        return *this;
    }
    Page& Text(std::string_view text) {
        AppendAttributeText(out_, text);
        return *this;
    }
    const std::string& Str() const { return out_; }

private:
    std::string out_;
};

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
    return text;
}

std::string ProposedFileName(const RQForm4TitleList& title) {
    char tail[64];
    std::snprintf(tail, sizeof tail, "_%04d_%02d.xml", title.YEAR_NUM, title.QUART_NUM);
    return title.REG_NUM + tail;
}

void WriteHead(Page& page, const std::string& fileName, const char* version, const char* buildDate,
               const Status& status, const std::string& name, const std::string& regNum, int errors,
               int warnings) {
    page << "<html>\r\n  <head>\r\n    <meta http-equiv=\"Content-Type\" content=\"text/html\">\r\n"
         << "    <title>Morvane - ";
    page.Text(fileName);
    page << "</title>\r\n    <meta http-equiv=\"Content-Type\" content=\"text/html; "
            "charset=windows-1251\">\r\n  </head>\r\n  <body>\r\n"
         << "    <div align=\"left\" style=\"width: 640px; font-family: "
            "Helvetica,Arial,Sans-serif,Verdana,Geneva;font-size: 9pt;\">\r\n"
         << "      <div align=\"right\">\r\n"
         << "        <table border=\"0\" cellpadding=\"4\" style=\"font-size: 7pt;\">\r\n"
         << "          <tr bgcolor=\"#6e97ff\"><td>Модуль проверки <b>Morvane</b>, версия ";
    page.Text(version ? version : "");
    page << " от ";
    page.Text(buildDate ? buildDate : "");
    page << ".<br>ООО Halvorn.</td></tr>\r\n        </table>\r\n      </div>\r\n"
         << "      <h1 style=\"font-size: 11pt; text-align: center; text-transform: uppercase; "
            "margin-bottom: 5px;\">Журнал форматно-логической проверки файла</h1>\r\n"
         << "      <table border=\"1\" bordercolor=\"#808080\" cellpadding=\"3\" "
            "style=\"border-collapse: collapse;font-size: 8pt;\">\r\n"
         << "        <tr valign=\"middle\"><th bgcolor=\"silver\" align=\"center\" "
            "colspan=\"4\">Информация о проверяемом файле</th></tr>\r\n"
         << "        <tr valign=\"middle\"><th bgcolor=\"silver\" align=\"left\" "
            "width=\"15%\">Имя файла</th><td colspan=\"3\">";
    page.Text(fileName);
    page << "</td></tr>\r\n"
         << "        <tr valign=\"middle\" bgcolor=\"#C0C0C0\"><th align=\"left\" "
            "rowspan=\"2\">Страхователь</th><th align=\"left\" colspan=\"2\">Наименование/ФИО "
            "физ.лица</th><th align=\"left\">Регистрационный номер в ФСС</th></tr>\r\n"
         << "        <tr valign=\"middle\"><td colspan=\"2\"><font color=\"" << status.nameColor
         << "\">";
    page.Text(name);
    page << "</font></td><td><font color=\"" << status.nameColor << "\">";
    page.Text(regNum);
    page << "</font></td></tr>\r\n"
         << "        <tr valign=\"middle\" bgcolor=\"#C0C0C0\"><th align=\"left\"></th><th "
            "align=\"left\">Ошибок</th><th align=\"left\">Предупреждений</th><th "
            "align=\"left\">Статус</th></tr>\r\n"
         << "        <tr valign=\"middle\"><th bgcolor=\"#C0C0C0\" "
            "align=\"left\">Количество</th><td><b>"
         << errors << "</b></td><td><b>" << warnings
         << "</b></td><td rowspan=\"2\" align=\"center\" bgcolor=\"" << status.background
         << "\" style=\"font-size: 10pt;\"><b><font color=\"" << status.textColor << "\">"
         << status.text << "</font></b></td></tr>\r\n"
         << "        <tr valign=\"middle\"><th bgcolor=\"#C0C0C0\" align=\"left\">Дата и время "
            "проверки</th><td colspan=\"2\">"
         << NowText() << "</td></tr>\r\n      </table>\r\n";
}

void WriteTableHead(Page& page) {
    page
        << "<br><table border=\"1\" bordercolor=\"#808080\" cellpadding=\"3\" "
           "style=\"border-collapse: collapse;font-size: 8pt;\">\r\n"
        << "<thead style=\"display: table-header-group;\"><tr bgcolor=\"#C0C0C0\">"
        << "<th width=\"1%%\">№</th><th width=\"10%%\">Таблица</th><th "
           "width=\"5%%\">Строка</th><th width=\"5%%\">Графа</th><th>Описание</th></tr></thead>\r\n"
        << "<tbody style=\"display: table-row-group;\">\r\n";
}

void WriteSection(Page& page, std::string_view section) {
    page << "<tr bgcolor=\"#ffed93\"><td colspan=\"5\"><b><font color=\"#FF0000\">";
    page.Text(section);
    page << "</font></b></td></tr>\r\n";
}

// A finding row; messageMarkup is our own markup, message a text to escape.
void WriteFinding(Page& page, int number, std::string_view table, std::string_view row,
                  std::string_view column, std::string_view kind, std::string_view message,
                  bool messageIsMarkup = false) {
    page << "<tr><td align=\"right\">" << number << ".</td><td>";
    page.Text(table);
    page << "</td><td>";
    page.Text(row);
    page << "</td><td>";
    page.Text(column);
    page << "</td><td><b><span style=\"color: #0080FF;\">" << kind << "</span></b><br>";
    if (messageIsMarkup)
        page << message;
    else
        page.Text(message);
    page << "</td></tr>\r\n";
}

}  // namespace

int RQTarvikDocument::CreateCheckProtocol(const char* path, char*& text, int& length, int& status) {
    const int loaded = LoadXML(XML_EXCHANGE, path);
    if (loaded != 0 && loaded != 87) return loaded;
    return CreateCheckProtocol(text, length, status);
}

int RQTarvikDocument::CreateCheckProtocol(char*& text, int& length, int& status) {
    status = 0;
    const bool invalid = GetValidateError() != nullptr;
    if (!invalid) {
        ErrorCells.Clear();
        CalculateReport();
        CheckReportCalculate();
    }
    int errors = 0, warnings = 0;
    ErrorCells.GetCountInfo(errors, warnings);

    const Status& chosen = invalid        ? kInvalid
                           : errors > 0   ? kErrors
                           : warnings > 0 ? kWarnings
                                          : kClean;
    status = chosen.code;

    const RQForm4TitleList& title = Form4.TitleList;
    const std::string fileName = GetFileName() ? std::string(GetFileName())
                                 : invalid     ? std::string("???")
                                               : ProposedFileName(title);
    const bool badFileName = !IsValidReportFileName(fileName.c_str());
    if (badFileName) ++warnings;

    Page page;
    WriteHead(page, fileName, GetProductVersion(), GetBuildDate(), chosen,
              invalid ? "???" : title.NAME, invalid ? "???" : title.REG_NUM, invalid ? 1 : errors,
              warnings);

    if (ErrorCells.Size() > 0 || invalid || badFileName) {
        WriteTableHead(page);
        int number = 0;
        if (invalid) {
            WriteSection(page, kStructureSection);
            WriteFinding(page, ++number, "", "", "", "Критическая ошибка", GetValidateError());
        }
        if (badFileName) {
            if (!invalid) WriteSection(page, kStructureSection);
            WriteFinding(page, ++number, "", "", "", "Предупреждение", kFileNameMessage, true);
        }
        if (!invalid) {
            const RQErrorCellDescription* previous = nullptr;
            for (int i = 0; i < ErrorCells.Size(); ++i) {
                const RQErrorCellDescription* f = ErrorCells.Get(i);
                if (!previous || f->SectionName != previous->SectionName)
                    WriteSection(page, f->SectionName);
                WriteFinding(page, ++number, f->TableName, f->GetStrRow(), f->GetStrColumn(),
                             f->RecordType != 0 ? "Предупреждение" : "Ошибка", f->Message);
                previous = f;
            }
        }
        page << "</tbody></table>";
    }
    page << "</div></body></html>";

    const std::string& out = page.Str();
    char* buffer = new (std::nothrow) char[out.size() + 1];
    if (!buffer) return 8;
    out.copy(buffer, out.size());
    buffer[out.size()] = '\0';
    text = buffer;
    length = static_cast<int>(out.size());
    return 0;
}
