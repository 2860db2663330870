// Cross-field rules of the title page.
#include <algorithm>

#include "CheckSupport.h"
#include "TarvikDocument.h"

using namespace tarvik::check;

namespace {

// True when some SKE row carries exactly this activity code.
bool SkeHasOkved(const RQForm4& form, const std::string& okved) {
    for (int i = 0; i < form.SKECount; ++i) {
        if (form.SKERows[i].OKVED == okved) return true;
    }
    return false;
}

}  // namespace

void RQTarvikDocument::CheckTitleList(bool& ok) {
    RQForm4TitleList& title = Form4.TitleList;
    RQForm4ErrorCells& out = ErrorCells;
    auto add = [&out, &ok](Finding::RECORD_TYPE type, bool failing, const char* cell,
                           const char* message, const std::string& cell2 = {},
                           const std::string& cell3 = {}) {
        Append(out, Finding::ID_TITLE, type, 0, 0, cell, message, cell2, cell3);
        if (failing) ok = false;
    };

    const bool hasSke = Form4.SKECount > 0 && Form4.SKERows;
    if (hasSke && title.OKVED.empty())
        add(kError, true, "OKVED_1",
            "При наличае заполненного раздела СКЕ поле ОКВЕД обязательно к заполнению", "OKVED_2",
            "OKVED_3");
    if (hasSke && !title.OKVED.empty() && !SkeHasOkved(Form4, title.OKVED))
        add(kWarning, true, "OKVED_1",
            "При наличае заполненного раздела СКЕ поле ОКВЕД должно содержаться в таблице СКЕ",
            "OKVED_2", "OKVED_3");
    if (title.NumDot != 0 && title.NumCorr != 0) {
        add(kError, true, "NumDot",
            "При заполненном поле «Номер корректировки», номер числа обращений за выделением "
            "необходимых средств на выплату страхового обеспечения должен быть пустым");
        add(kError, true, "NumCorr",
            "При указанном номере обращения за выделением необходимых средств на выплату "
            "страхового обеспечения, поле «Номер корректировки» должно быть пустым");
    }
    if (title.T1R4C2 <= 0 && Greater(Form4.Chapter2.Table6.T1R5C2, 0))
        add(kError, true, "T1R4C2",
            "Показатель поля «из них: работающих инвалидов» не может быть нулевым, если поле "
            "таблицы 3 строка 5 графа 3 заполнено");
    if (title.T1R6C2 <= 0 && Form4.Chapter2.Table10.MED_C1 > 0)
        add(kError, true, "T1R6C2",
            "Показатель поля «из них: работающих инвалидов» не может быть нулевым, если поле "
            "таблицы 6 строка 1 графа 4 заполнено");
    if (title.BO_IF < 0 || title.BO_IF > 4)
        add(kError, true, "BO_IF", "Не допустимое значение поля «Бюджетная организация»");
    if (CharCount(title.REG_NUM) != 10)
        add(kError, true, "REG_NUM", "Поле «Основной рег. номер» заполнено не полностью");
    const std::size_t kpsLength = CharCount(title.KPS_NUM);
    if (kpsLength != 0 && kpsLength != 4 && kpsLength != 5)
        add(kError, true, "KPS_NUM", "Поле «Код подчиненности» заполнено не полностью");

    // The INN without its leading zeros; the record keeps its own INN.
    std::string_view inn = title.INN;
    inn.remove_prefix(std::min(inn.find_first_not_of('0'), inn.size()));
    const std::size_t innLength = CharCount(inn);
    if (innLength != 10 && innLength != 12)
        add(kError, true, "INN", "Поле «ИНН» заполнено не полностью");
    if (innLength == 10 && std::to_string(title.KPP).size() != 9)
        add(kError, true, "KPP", "Поле «КПП» заполнено не полностью");
    if (innLength == 12 && title.KPP != 0) {
        add(kWarning, false, "KPP", "Поле «КПП» игноритуется, так как введенный ИНН 12 символов");
        title.KPP = 0;
    }
    if (title.Upoln == 2 && title.UpolnDoc.empty())
        add(kWarning, false, "DocumentName",
            "Не заполнено поле «Документ подтверждающий полномочия представителя»");
    if (title.Upoln != 1 && title.Upoln != 2 && title.Upoln != 3)
        add(kWarning, false, "EmployeeType",
            "Поле «Тип представителя» заполнено не корректно. Допустимое значение 1, 2 или 3");
}
