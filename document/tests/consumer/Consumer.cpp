// Uses the library through its public header alone, as a program outside
// this repository would.
#include <TarvikDocument.h>

#include <cstdio>

int main() {
    RQTarvikDocument doc;
    RQForm4* form = doc.GetForm4Struct();
    form->TitleList.NAME = "ООО \"Ромашка\"";
    form->Chapter2.PayOrderCount = 2;
    if (form->Chapter2.AllocPayOrder() != 1) return 1;
    form->Chapter2.PayOrders[1].SUM = 10.5;
    form->Chapter2.Table6_1Count = 1;
    form->Chapter2.AllocTable6_1();
    form->SKECount = 1;
    form->AllocTableSKE();

    RQForm4Chapter2 working;
    working.SetChapter(&form->Chapter2);
    RQForm4TitleList title;
    title.Set(&form->TitleList);
    RQForm4Table6 t6 = working.Table6;
    RQForm4Table7 t7 = working.Table7;
    RQForm4Table10 t10 = working.Table10;
    (void)t6, (void)t7, (void)t10;

    RQErrorCellDescription finding;
    finding.Set(RQErrorCellDescription::ID_TABLE7, RQErrorCellDescription::RECORD_WARNING, 3, 1,
                "T7R3C1", "Сумма %.2f", working.PayOrders[1].SUM);
    doc.AppendErrorCell(&finding);
    int errors = 0, warnings = 0;
    doc.GetErrorCells()->GetCountInfo(errors, warnings);

    const bool ok = CompareRounded(0.004, 0) == 0 && working.PayOrders[0].IsEmpty() == 1 &&
                    working.Table6_1Rows[0].IsEmpty() && working.Table8.IsEmpty() &&
                    working.Table9.IsEmpty() && title.NAME == form->TitleList.NAME && errors == 0 &&
                    warnings == 1 && doc.GetErrorCells()->Get(0)->Message == "Сумма 10.50" &&
                    std::string(CellTypeToStr(RQTarvikDocument::CELL_TYPE_INT)) == "DWORD" &&
                    RQTarvikDocument::XML_EXTENDED == 1;
    char* buffer = nullptr;
    Form4Document_Delete(buffer);
    Form4Document_Free(buffer);
    doc.Clear();
    std::printf("%s\n", ok ? "ok" : "mismatch");
    return ok ? 0 : 1;
}
