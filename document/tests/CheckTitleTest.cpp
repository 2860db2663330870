#include <gtest/gtest.h>

#include "CheckFixture.h"
#include "TarvikDocument.h"

using namespace checktest;

namespace {

const Finding::FORM4_TABLE_ID T = Finding::ID_TITLE;

const std::string kOkvedNeeded =
    "При наличае заполненного раздела СКЕ поле ОКВЕД обязательно к заполнению";
const std::string kOkvedInSke =
    "При наличае заполненного раздела СКЕ поле ОКВЕД должно содержаться в таблице СКЕ";
const std::string kNumDot =
    "При заполненном поле «Номер корректировки», номер числа обращений за выделением "
    "необходимых средств на выплату страхового обеспечения должен быть пустым";
const std::string kNumCorr =
    "При указанном номере обращения за выделением необходимых средств на выплату страхового "
    "обеспечения, поле «Номер корректировки» должно быть пустым";
const std::string kDisabled =
    "Показатель поля «из них: работающих инвалидов» не может быть нулевым, если поле таблицы 3 "
    "строка 5 графа 3 заполнено";
const std::string kHarmful =
    "Показатель поля «из них: работающих инвалидов» не может быть нулевым, если поле таблицы 6 "
    "строка 1 графа 4 заполнено";
const std::string kBudget = "Не допустимое значение поля «Бюджетная организация»";
const std::string kRegNum = "Поле «Основной рег. номер» заполнено не полностью";
const std::string kKps = "Поле «Код подчиненности» заполнено не полностью";
const std::string kInn = "Поле «ИНН» заполнено не полностью";
const std::string kKpp = "Поле «КПП» заполнено не полностью";
const std::string kKppIgnored = "Поле «КПП» игноритуется, так как введенный ИНН 12 символов";
const std::string kUpolnDoc =
    "Не заполнено поле «Документ подтверждающий полномочия представителя»";
const std::string kUpoln =
    "Поле «Тип представителя» заполнено не корректно. Допустимое значение 1, 2 или 3";

void RemoveSke(RQForm4& f) {
    f.SKECount = 0;
    f.AllocTableSKE();
}

}  // namespace

TEST(CheckTitleList, ActivityCodeAndSkeTable) {
    RunRuleCases(&RQTarvikDocument::CheckTitleList,
                 {
                     {"no code with SKE rows",
                      [](RQForm4& f) { f.TitleList.OKVED = ""; },
                      {{T, kError, 0, 0, "OKVED_1", kOkvedNeeded, "OKVED_2", "OKVED_3"}},
                      false},
                     {"no code without SKE rows",
                      [](RQForm4& f) {
                          f.TitleList.OKVED = "";
                          RemoveSke(f);
                      },
                      {},
                      true},
                     {"code not among the SKE rows",
                      [](RQForm4& f) { f.TitleList.OKVED = "01.13"; },
                      {{T, kWarning, 0, 0, "OKVED_1", kOkvedInSke, "OKVED_2", "OKVED_3"}},
                      false},
                     {"code of the second SKE row",
                      [](RQForm4& f) { f.TitleList.OKVED = "01.12"; },
                      {},
                      true},
                     {"code compared case-sensitively",
                      [](RQForm4& f) {
                          f.SKERows[0].OKVED = "a";
                          f.TitleList.OKVED = "A";
                      },
                      {{T, kWarning, 0, 0, "OKVED_1", kOkvedInSke, "OKVED_2", "OKVED_3"}},
                      false},
                 },
                 true);
}

TEST(CheckTitleList, CorrectionAndHeadCounts) {
    RunRuleCases(
        &RQTarvikDocument::CheckTitleList,
        {
            {"correction and request number",
             [](RQForm4& f) {
                 f.TitleList.NumDot = 1;
                 f.TitleList.NumCorr = 2;
             },
             {{T, kError, 0, 0, "NumDot", kNumDot}, {T, kError, 0, 0, "NumCorr", kNumCorr}},
             false},
            {"request number alone", [](RQForm4& f) { f.TitleList.NumDot = 1; }, {}, true},
            {"correction alone", [](RQForm4& f) { f.TitleList.NumCorr = 1; }, {}, true},
            {"no disabled persons but payments to them",
             [](RQForm4& f) { f.TitleList.T1R4C2 = 0; },
             {{T, kError, 0, 0, "T1R4C2", kDisabled}},
             false},
            {"negative count of disabled persons",
             [](RQForm4& f) { f.TitleList.T1R4C2 = -1; },
             {{T, kError, 0, 0, "T1R4C2", kDisabled}},
             false},
            {"no disabled persons, payments below a kopeck",
             [](RQForm4& f) {
                 f.TitleList.T1R4C2 = 0;
                 f.Chapter2.Table6.T1R5C2 = 0.004;
             },
             {},
             true},
            {"no harmful-work count but examinations",
             [](RQForm4& f) { f.TitleList.T1R6C2 = 0; },
             {{T, kError, 0, 0, "T1R6C2", kHarmful}},
             false},
            {"no harmful-work count and no examinations",
             [](RQForm4& f) {
                 f.TitleList.T1R6C2 = 0;
                 f.Chapter2.Table10.MED_C1 = 0;
                 f.Chapter2.Table10.MED_C2 = 0;
             },
             {},
             true},
            {"budget code 5",
             [](RQForm4& f) { f.TitleList.BO_IF = 5; },
             {{T, kError, 0, 0, "BO_IF", kBudget}},
             false},
            {"budget code -1",
             [](RQForm4& f) { f.TitleList.BO_IF = -1; },
             {{T, kError, 0, 0, "BO_IF", kBudget}},
             false},
            {"budget code 4", [](RQForm4& f) { f.TitleList.BO_IF = 4; }, {}, true},
        });
}

TEST(CheckTitleList, LengthsOfTheCodes) {
    RunRuleCases(
        &RQTarvikDocument::CheckTitleList,
        {
            {"registration number of 9",
             [](RQForm4& f) { f.TitleList.REG_NUM = "770123456"; },
             {{T, kError, 0, 0, "REG_NUM", kRegNum}},
             false},
            {"registration number of 11",
             [](RQForm4& f) { f.TitleList.REG_NUM = "77012345678"; },
             {{T, kError, 0, 0, "REG_NUM", kRegNum}},
             false},
            // Ten characters of two bytes each.
            {"registration number of 10 letters",
             [](RQForm4& f) { f.TitleList.REG_NUM = "АБВГДЕЖЗИК"; },
             {},
             true},
            {"subordination code of 3",
             [](RQForm4& f) { f.TitleList.KPS_NUM = "770"; },
             {{T, kError, 0, 0, "KPS_NUM", kKps}},
             false},
            {"subordination code of 6",
             [](RQForm4& f) { f.TitleList.KPS_NUM = "770111"; },
             {{T, kError, 0, 0, "KPS_NUM", kKps}},
             false},
            {"subordination code of 4", [](RQForm4& f) { f.TitleList.KPS_NUM = "7701"; }, {}, true},
            {"no subordination code", [](RQForm4& f) { f.TitleList.KPS_NUM = ""; }, {}, true},
            {"INN of 8 after its leading zeros",
             [](RQForm4& f) { f.TitleList.INN = "0012345678"; },
             {{T, kError, 0, 0, "INN", kInn}},
             false},
            {"INN of 11",
             [](RQForm4& f) { f.TitleList.INN = "77012345678"; },
             {{T, kError, 0, 0, "INN", kInn}},
             false},
            {"INN of 10 after a leading zero",
             [](RQForm4& f) { f.TitleList.INN = "07701234567"; },
             {},
             true},
            {"KPP of 8 digits",
             [](RQForm4& f) { f.TitleList.KPP = 70101001; },
             {{T, kError, 0, 0, "KPP", kKpp}},
             false},
            {"KPP of 10 digits",
             [](RQForm4& f) { f.TitleList.KPP = 1770101001; },
             {{T, kError, 0, 0, "KPP", kKpp}},
             false},
            {"KPP of 12-digit INN",
             [](RQForm4& f) {
                 f.TitleList.INN = "770123456789";
                 f.TitleList.KPP = 123456789;
             },
             {{T, kWarning, 0, 0, "KPP", kKppIgnored}},
             true},
            {"no KPP with 12-digit INN",
             [](RQForm4& f) {
                 f.TitleList.INN = "770123456789";
                 f.TitleList.KPP = 0;
             },
             {},
             true},
        });
}

TEST(CheckTitleList, Representative) {
    RunRuleCases(&RQTarvikDocument::CheckTitleList,
                 {
                     {"representative without document",
                      [](RQForm4& f) { f.TitleList.Upoln = 2; },
                      {{T, kWarning, 0, 0, "DocumentName", kUpolnDoc}},
                      true},
                     {"representative with document",
                      [](RQForm4& f) {
                          f.TitleList.Upoln = 2;
                          f.TitleList.UpolnDoc = "Доверенность № 5";
                      },
                      {},
                      true},
                     {"successor", [](RQForm4& f) { f.TitleList.Upoln = 3; }, {}, true},
                     {"no kind",
                      [](RQForm4& f) { f.TitleList.Upoln = 0; },
                      {{T, kWarning, 0, 0, "EmployeeType", kUpoln}},
                      true},
                     {"kind 4",
                      [](RQForm4& f) { f.TitleList.Upoln = 4; },
                      {{T, kWarning, 0, 0, "EmployeeType", kUpoln}},
                      true},
                 });
}

TEST(CheckTitleList, TwelveDigitInnClearsTheKppButNotTheInn) {
    RQTarvikDocument doc;
    const bool ok = RunOneCheck(doc, &RQTarvikDocument::CheckTitleList, [](RQForm4& f) {
        f.TitleList.INN = "00770123456789";
        f.TitleList.KPP = 123456789;
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.KPP, 0);
    EXPECT_EQ(doc.GetForm4Struct()->TitleList.INN, "00770123456789");
    ASSERT_EQ(doc.GetErrorCells()->Size(), 1);
    EXPECT_EQ(doc.GetErrorCells()->Get(0)->Message, kKppIgnored);
}

TEST(CheckTitleList, NeverSetsTheResultBackToTrue) {
    RQTarvikDocument doc;
    FillCleanReport(*doc.GetForm4Struct());
    bool ok = false;
    doc.CheckTitleList(ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(doc.GetErrorCells()->Size(), 0);
}
