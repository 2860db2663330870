#include <gtest/gtest.h>

#include "CheckFixture.h"
#include "TarvikDocument.h"

using namespace checktest;

namespace {

const Finding::FORM4_TABLE_ID T = Finding::ID_TITLE;
const Finding::FORM4_TABLE_ID T2 = Finding::ID_TABLE7;
const Finding::FORM4_TABLE_ID SKE = Finding::ID_TABLE_SKE;

const std::string kRegNum =
    "Не заполнено обязательное поле: Регистрационный номер (код) страхователя";
const std::string kKpsEmpty = "Не заполнено обязательное поле: Код подчиненности";
const std::string kKpsLast =
    "Последняя цифра показателя поля \"Код подчиненности\" должна быть 1,2 или 3";
const std::string kKpsLength = "\"Код подчиненности\" должен состоять их 5 цифр";
const std::string kInn = "Не заполнено обязательное поле: ИНН";
const std::string kKpp = "Не заполнено обязательное поле: КПП";
const std::string kPeriod = "Не заполнено обязательное поле: Отчетный период";
const std::string kYear = "Не заполнено обязательное поле: Календарный год";
const std::string kName = "Не заполнено обязательное поле: Наименование организации";
const std::string kCeo = "Не заполнено обязательное поле: ФИО руководителя предприятия";
const std::string kPostIndex = "Не заполнено обязательное поле: Почтовый индекс";
const std::string kRegion = "Не заполнено обязательное поле: Регион";
const std::string kDistrict = "Не заполнено обязательное поле: Район";
const std::string kTownAndSettlement =
    "Поле адреса «Город» при заполненом поле «Населенный пункт» должно быть пустым";
const std::string kTown = "Не заполнено обязательное поле: Город";
const std::string kStreet = "Не заполнено обязательное поле: Улица";
const std::string kHouse = "Не заполнено обязательное поле: Дом";
const std::string kPoNum = "Не заполнено обязательное поле: Номер платежного поручения";
const std::string kPoSum = "Не заполнено обязательное поле: Сумма платежного поручения";
const std::string kPoDate = "Не заполнено обязательное поле: Дата платежного поручения";
const std::string kSkeOkved = "Не заполнено обязательное поле: ОКВЭД";
const std::string kSkeRisk = "Не заполнено обязательное поле: Класс профессионального риска";
const std::string kSkeRate = "Не заполнено обязательное поле: Страховой тариф";

struct Case {
    const char* name;
    Change change;
    std::vector<Expect> findings;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        RQTarvikDocument doc;
        FillCleanReportWithSke(*doc.GetForm4Struct());
        c.change(*doc.GetForm4Struct());
        EXPECT_EQ(doc.CheckRequiredField(), c.findings.empty()) << c.name;
        ExpectFindings(*doc.GetErrorCells(), c.findings, c.name);
    }
}

}  // namespace

TEST(CheckRequiredField, TitleRequisites) {
    RunCases({
        {"REG_NUM empty",
         [](RQForm4& f) { f.TitleList.REG_NUM = ""; },
         {{T, kError, 0, 0, "REG_NUM", kRegNum}}},
        {"KPS_NUM empty",
         [](RQForm4& f) { f.TitleList.KPS_NUM = ""; },
         {{T, kError, 0, 0, "KPS_NUM", kKpsEmpty}}},
        {"KPS_NUM ends in 5",
         [](RQForm4& f) { f.TitleList.KPS_NUM = "12345"; },
         {{T, kError, 0, 0, "KPS_NUM", kKpsLast}}},
        {"KPS_NUM ends in 3", [](RQForm4& f) { f.TitleList.KPS_NUM = "12343"; }, {}},
        {"KPS_NUM ends in 2", [](RQForm4& f) { f.TitleList.KPS_NUM = "12342"; }, {}},
        {"KPS_NUM of 4",
         [](RQForm4& f) { f.TitleList.KPS_NUM = "1234"; },
         {{T, kError, 0, 0, "KPS_NUM", kKpsLength}}},
        {"KPS_NUM of 6",
         [](RQForm4& f) { f.TitleList.KPS_NUM = "123451"; },
         {{T, kError, 0, 0, "KPS_NUM", kKpsLength}}},
        // Five characters of which one takes two bytes.
        {"KPS_NUM with a Cyrillic letter",
         [](RQForm4& f) { f.TitleList.KPS_NUM = "1234Я"; },
         {{T, kError, 0, 0, "KPS_NUM", kKpsLast}}},
        {"KPS_NUM Cyrillic inside", [](RQForm4& f) { f.TitleList.KPS_NUM = "Я2341"; }, {}},
        {"INN empty", [](RQForm4& f) { f.TitleList.INN = ""; }, {{T, kError, 0, 0, "INN", kInn}}},
        {"KPP 0 with INN of 10",
         [](RQForm4& f) { f.TitleList.KPP = 0; },
         {{T, kError, 0, 0, "KPP", kKpp}}},
        {"KPP 0 with INN of 12",
         [](RQForm4& f) {
             f.TitleList.INN = "770123456789";
             f.TitleList.KPP = 0;
         },
         {}},
        {"KPP 0 with INN of 10 with leading zeros",
         [](RQForm4& f) {
             f.TitleList.INN = "0012345678";
             f.TitleList.KPP = 0;
         },
         {{T, kError, 0, 0, "KPP", kKpp}}},
        {"no period",
         [](RQForm4& f) { f.TitleList.QUART_NUM = 0; },
         {{T, kError, 0, 0, "QUART_NUM", kPeriod}}},
        {"no year",
         [](RQForm4& f) { f.TitleList.YEAR_NUM = 0; },
         {{T, kError, 0, 0, "YEAR_NUM", kYear}}},
        {"no name", [](RQForm4& f) { f.TitleList.NAME = ""; }, {{T, kError, 0, 0, "NAME", kName}}},
        {"no CEO", [](RQForm4& f) { f.TitleList.CEO = ""; }, {{T, kError, 0, 0, "CEO", kCeo}}},
    });
}

TEST(CheckRequiredField, AddressIsCheckedOnlyWhenSomePartIsFilled) {
    auto clearAddress = [](RQForm4TitleList& t) {
        t.POST_INDEX = t.ADDRESS_1 = t.ADDRESS_2 = t.ADDRESS_3 = t.ADDRESS_4 = t.ADDRESS_5 = "";
        t.HOUSE = t.KORPUS = t.OFFICE = "";
    };
    RunCases({
        {"no address at all", [&](RQForm4& f) { clearAddress(f.TitleList); }, {}},
        {"only the building",
         [&](RQForm4& f) {
             clearAddress(f.TitleList);
             f.TitleList.KORPUS = "2";
         },
         {{T, kWarning, 0, 0, "POST_INDEX", kPostIndex},
          {T, kWarning, 0, 0, "ADDRESS_1", kRegion},
          {T, kWarning, 0, 0, "ADDRESS_3", kTown},
          {T, kWarning, 0, 0, "ADDRESS_5", kStreet},
          {T, kWarning, 0, 0, "HOUSE", kHouse}}},
        {"only the office",
         [&](RQForm4& f) {
             clearAddress(f.TitleList);
             f.TitleList.OFFICE = "5";
         },
         {{T, kWarning, 0, 0, "POST_INDEX", kPostIndex},
          {T, kWarning, 0, 0, "ADDRESS_1", kRegion},
          {T, kWarning, 0, 0, "ADDRESS_3", kTown},
          {T, kWarning, 0, 0, "ADDRESS_5", kStreet},
          {T, kWarning, 0, 0, "HOUSE", kHouse}}},
        {"settlement with town and without district",
         [](RQForm4& f) { f.TitleList.ADDRESS_4 = "Поселок"; },
         {{T, kWarning, 0, 0, "ADDRESS_2", kDistrict},
          {T, kWarning, 0, 0, "ADDRESS_3", kTownAndSettlement}}},
        {"settlement with district and without town",
         [](RQForm4& f) {
             f.TitleList.ADDRESS_4 = "Поселок";
             f.TitleList.ADDRESS_2 = "Район";
             f.TitleList.ADDRESS_3 = "";
         },
         {}},
    });
}

TEST(CheckRequiredField, EveryPayOrderNeedsNumberSumAndDate) {
    RunCases({
        {"no number",
         [](RQForm4& f) { f.Chapter2.PayOrders[1].NUM = ""; },
         {{T2, kError, 0, 1, "NUM2", kPoNum}}},
        {"sum below a kopeck",
         [](RQForm4& f) { f.Chapter2.PayOrders[0].SUM = 0.004; },
         {{T2, kError, 0, 1, "PO_SUM1", kPoSum}}},
        {"sum of a kopeck", [](RQForm4& f) { f.Chapter2.PayOrders[0].SUM = 0.006; }, {}},
        {"no date",
         [](RQForm4& f) { f.Chapter2.PayOrders[1].DT = 0; },
         {{T2, kError, 0, 1, "DT_DAY_2", kPoDate, "DT_MONTH_2", "DT_YEAR_2"}}},
        {"empty order from a file",
         [](RQForm4& f) { f.Chapter2.PayOrders[0] = RQForm4PayOrder(); },
         {{T2, kError, 0, 1, "NUM0", kPoNum},
          {T2, kError, 0, 1, "", kPoSum},
          {T2, kError, 0, 1, "DT_DAY_0", kPoDate, "DT_MONTH_0", "DT_YEAR_0"}}},
        {"no pay orders",
         [](RQForm4& f) {
             f.Chapter2.PayOrderCount = 0;
             f.Chapter2.AllocPayOrder();
         },
         {}},
    });
}

TEST(CheckRequiredField, EverySkeRowNeedsCodeRiskClassAndRate) {
    RunCases({
        {"no code",
         [](RQForm4& f) { f.SKERows[1].OKVED = ""; },
         {{SKE, kError, 2, 1, "OKVED_2", kSkeOkved}}},
        {"no risk class",
         [](RQForm4& f) { f.SKERows[0].ID_RISC = 0; },
         {{SKE, kError, 1, 2, "ID_RISC_1", kSkeRisk}}},
        {"no rate",
         [](RQForm4& f) { f.SKERows[1].RATE_MIS = 0.0; },
         {{SKE, kError, 2, 3, "RATE_MIS_2", kSkeRate}}},
        // The rate is compared exactly, not at two decimals.
        {"tiny rate", [](RQForm4& f) { f.SKERows[1].RATE_MIS = 0.001; }, {}},
        {"empty row",
         [](RQForm4& f) { f.SKERows[0] = RQForm4TableSKE(); },
         {{SKE, kError, 1, 1, "OKVED_1", kSkeOkved},
          {SKE, kError, 1, 2, "ID_RISC_1", kSkeRisk},
          {SKE, kError, 1, 3, "RATE_MIS_1", kSkeRate}}},
    });
}

TEST(CheckRequiredField, EmptyReportMissesTheTitleRequisitesOnly) {
    RQTarvikDocument doc;
    EXPECT_FALSE(doc.CheckRequiredField());
    ExpectFindings(*doc.GetErrorCells(),
                   {{T, kError, 0, 0, "REG_NUM", kRegNum},
                    {T, kError, 0, 0, "KPS_NUM", kKpsEmpty},
                    {T, kError, 0, 0, "INN", kInn},
                    {T, kError, 0, 0, "QUART_NUM", kPeriod},
                    {T, kError, 0, 0, "YEAR_NUM", kYear},
                    {T, kError, 0, 0, "NAME", kName},
                    {T, kError, 0, 0, "CEO", kCeo}},
                   "empty report");
}

TEST(CheckRequiredField, AppendsToWhatIsThere) {
    RQTarvikDocument doc;
    RQErrorCellDescription earlier;
    earlier.Set(Finding::ID_TABLE6, kError, 1, 1, "C1", "раньше");
    doc.AppendErrorCell(&earlier);
    FillCleanReport(*doc.GetForm4Struct());
    EXPECT_TRUE(doc.CheckRequiredField());
    doc.GetForm4Struct()->TitleList.CEO = "";
    EXPECT_FALSE(doc.CheckRequiredField());
    ASSERT_EQ(doc.GetErrorCells()->Size(), 2);
    EXPECT_EQ(doc.GetErrorCells()->Get(0)->Message, "раньше");
    EXPECT_EQ(doc.GetErrorCells()->Get(1)->CellId, "CEO");
}
