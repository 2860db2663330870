// The gate of the format-logical control: every mandatory field of the
// title, the address, the pay orders and the SKE rows.
#include "CheckSupport.h"
#include "TarvikDocument.h"

using namespace tarvik::check;

namespace {

// Title requisites (errors).
void CheckTitleRequisites(const RQForm4TitleList& title, RQForm4ErrorCells& out) {
    auto error = [&out](const char* cell, const char* message) {
        Append(out, Finding::ID_TITLE, kError, 0, 0, cell, message);
    };
    if (title.REG_NUM.empty())
        error("REG_NUM",
              "Не заполнено обязательное поле: Регистрационный номер (код) страхователя");
    if (title.KPS_NUM.empty())
        error("KPS_NUM", "Не заполнено обязательное поле: Код подчиненности");
    const std::size_t kpsLength = CharCount(title.KPS_NUM);
    if (kpsLength == 5) {
        const std::string_view last = NthChar(title.KPS_NUM, 5);
        if (last != "1" && last != "2" && last != "3")
            error("KPS_NUM",
                  "Последняя цифра показателя поля \"Код подчиненности\" должна быть 1,2 или 3");
    }
    if (kpsLength != 0 && kpsLength != 5)
        error("KPS_NUM", "\"Код подчиненности\" должен состоять их 5 цифр");
    if (title.INN.empty()) error("INN", "Не заполнено обязательное поле: ИНН");
    if (CharCount(title.INN) == 10 && title.KPP == 0)
        error("KPP", "Не заполнено обязательное поле: КПП");
    if (title.QUART_NUM == 0) error("QUART_NUM", "Не заполнено обязательное поле: Отчетный период");
    if (title.YEAR_NUM == 0) error("YEAR_NUM", "Не заполнено обязательное поле: Календарный год");
    if (title.NAME.empty())
        error("NAME", "Не заполнено обязательное поле: Наименование организации");
    if (title.CEO.empty())
        error("CEO", "Не заполнено обязательное поле: ФИО руководителя предприятия");
}

// The address of the title (warnings); skipped when no part is filled.
void CheckAddress(const RQForm4TitleList& t, RQForm4ErrorCells& out) {
    if (t.POST_INDEX.empty() && t.ADDRESS_1.empty() && t.ADDRESS_2.empty() && t.ADDRESS_3.empty() &&
        t.ADDRESS_4.empty() && t.ADDRESS_5.empty() && t.HOUSE.empty() && t.KORPUS.empty() &&
        t.OFFICE.empty())
        return;
    auto warning = [&out](const char* cell, const char* message) {
        Append(out, Finding::ID_TITLE, kWarning, 0, 0, cell, message);
    };
    if (t.POST_INDEX.empty())
        warning("POST_INDEX", "Не заполнено обязательное поле: Почтовый индекс");
    if (t.ADDRESS_1.empty()) warning("ADDRESS_1", "Не заполнено обязательное поле: Регион");
    if (!t.ADDRESS_4.empty() && t.ADDRESS_2.empty())
        warning("ADDRESS_2", "Не заполнено обязательное поле: Район");
    if (!t.ADDRESS_4.empty() && !t.ADDRESS_3.empty())
        warning("ADDRESS_3",
                "Поле адреса «Город» при заполненом поле «Населенный пункт» должно быть пустым");
    if (t.ADDRESS_4.empty() && t.ADDRESS_3.empty())
        warning("ADDRESS_3", "Не заполнено обязательное поле: Город");
    if (t.ADDRESS_5.empty()) warning("ADDRESS_5", "Не заполнено обязательное поле: Улица");
    if (t.HOUSE.empty()) warning("HOUSE", "Не заполнено обязательное поле: Дом");
}

// Number, sum and date of every pay order (errors on table 2).
void CheckPayOrders(const RQForm4Chapter2& chapter, RQForm4ErrorCells& out) {
    if (chapter.PayOrderCount <= 0 || !chapter.PayOrders) return;
    for (int i = 0; i < chapter.PayOrderCount; ++i) {
        const RQForm4PayOrder& order = chapter.PayOrders[i];
        const int n = order.Line;
        if (order.NUM.empty())
            Append(out, Finding::ID_TABLE7, kError, 0, 1, "NUM" + std::to_string(n),
                   "Не заполнено обязательное поле: Номер платежного поручения");
        if (IsZero(order.SUM))
            Append(out, Finding::ID_TABLE7, kError, 0, 1, order.SumCellId,
                   "Не заполнено обязательное поле: Сумма платежного поручения");
        if (order.DT == 0)
            Append(out, Finding::ID_TABLE7, kError, 0, 1, RowCellId("DT_DAY", n),
                   "Не заполнено обязательное поле: Дата платежного поручения",
                   RowCellId("DT_MONTH", n), RowCellId("DT_YEAR", n));
    }
}

// Activity code, risk class and rate of every SKE row (errors).
void CheckSkeRequired(const RQForm4& form, RQForm4ErrorCells& out) {
    if (form.SKECount <= 0 || !form.SKERows) return;
    for (int i = 0; i < form.SKECount; ++i) {
        const RQForm4TableSKE& row = form.SKERows[i];
        const int n = i + 1;
        if (row.OKVED.empty())
            Append(out, Finding::ID_TABLE_SKE, kError, n, 1, RowCellId("OKVED", n),
                   "Не заполнено обязательное поле: ОКВЭД");
        if (row.ID_RISC == 0)
            Append(out, Finding::ID_TABLE_SKE, kError, n, 2, RowCellId("ID_RISC", n),
                   "Не заполнено обязательное поле: Класс профессионального риска");
        if (row.RATE_MIS == 0.0)
            Append(out, Finding::ID_TABLE_SKE, kError, n, 3, RowCellId("RATE_MIS", n),
                   "Не заполнено обязательное поле: Страховой тариф");
    }
}

}  // namespace

bool RQTarvikDocument::CheckRequiredField() {
    const int before = ErrorCells.Size();
    CheckTitleRequisites(Form4.TitleList, ErrorCells);
    CheckAddress(Form4.TitleList, ErrorCells);
    CheckPayOrders(Form4.Chapter2, ErrorCells);
    CheckSkeRequired(Form4, ErrorCells);
    return ErrorCells.Size() == before;
}

bool RQTarvikDocument::CheckReportCalculate() {
    if (!CheckRequiredField()) return false;
    bool ok = true;
    CheckTitleList(ok);
    CheckTable6(ok);
    CheckTable6_1(ok);
    CheckTable7(ok);
    CheckTable8(ok);
    CheckTable9(ok);
    CheckTable10(ok);
    CheckSKETable(ok);
    return ok;
}
