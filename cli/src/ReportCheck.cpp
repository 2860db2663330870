#include "ReportCheck.h"

#include <TarvikDocument.h>

#include <cstring>

namespace tarvik::cli {

namespace {

std::string FileNamePart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

const char* StatusText(int status) {
    switch (status) {
        case 0:
            return "Успешно";
        case 1:
            return "Предупреждения";
        default:
            return "Плохо";
    }
}

ReportCheck CheckReport(const std::string& path) {
    ReportCheck check;
    check.path = path;
    RQTarvikDocument doc;
    char* text = nullptr;
    int length = 0;
    check.loadCode = doc.CreateCheckProtocol(path.c_str(), text, length, check.status);
    if (doc.GetValidateError()) check.reason = doc.GetValidateError();
    if (check.loadCode != 0) {
        if (check.reason.empty())
            check.reason =
                "не удалось прочитать файл: " + std::string(std::strerror(check.loadCode));
        return check;
    }
    check.loaded = true;
    check.protocol.assign(text, static_cast<std::size_t>(length));
    Form4Document_Delete(text);

    const RQForm4ErrorCells& cells = *doc.GetErrorCells();
    if (check.reason.empty()) {
        cells.GetCountInfo(check.errors, check.warnings);
        for (int i = 0; i < cells.Size(); ++i) {
            const RQErrorCellDescription& f = *cells.Get(i);
            check.findings.push_back({f.TableName, f.Row, f.Column,
                                      f.RecordType != RQErrorCellDescription::RECORD_ERROR,
                                      f.CellId, f.Message});
        }
    } else {
        check.errors = 1;
        check.findings.push_back({"", 0, 0, false, "", check.reason});
    }
    if (!IsValidReportFileName(FileNamePart(path).c_str())) {
        ++check.warnings;
        check.findings.push_back(
            {"", 0, 0, true, "",
             "Имя файла не соответствует утвержденному формату: [Рег. Номер]_[Отчетный "
             "год]_[Отчетный квартал].xml"});
    }
    return check;
}

}  // namespace tarvik::cli
