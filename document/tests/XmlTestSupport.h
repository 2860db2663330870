// Helpers of the XML tests: temporary folders, files, windows-1251 text
// and a report with every field filled.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "LocalDate.h"
#include "TarvikDocument.h"

namespace xmltest {

namespace fs = std::filesystem;

// A fresh folder removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/tarvik-xml-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Converts between UTF-8 and another encoding with the C library.
inline std::string Convert(const std::string& text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* o = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return {};
    out.resize(out.size() - outLeft);
    return out;
}

inline std::string ToCp1251(const std::string& utf8) {
    return Convert(utf8, "WINDOWS-1251", "UTF-8");
}
inline std::string FromCp1251(const std::string& cp) {
    return Convert(cp, "UTF-8", "WINDOWS-1251");
}

using testsupport::Date;

// GetXML as a string.
inline std::string Xml(RQTarvikDocument& doc, RQTarvikDocument::XML_TYPE type,
                       int* status = nullptr) {
    char* text = nullptr;
    int length = -1;
    const int rc = doc.GetXML(type, text, length);
    if (status) *status = rc;
    if (rc != 0) return {};
    std::string result(text, static_cast<std::size_t>(length));
    Form4Document_Delete(text);
    return result;
}

inline int LoadText(RQTarvikDocument& doc, const std::string& text) {
    return doc.LoadXML(RQTarvikDocument::XML_EXCHANGE, text.c_str(), static_cast<int>(text.size()));
}

// Limits the size of files the process may write while it lives; a write
// beyond fails with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

inline void FillFullReport(RQForm4& form) {
    RQForm4TitleList& t = form.TitleList;
    t.REG_NUM = "7712345678";
    t.KPS_NUM = "12345";
    t.INN = "7701234567";
    t.OGRN = "1027700000000";
    t.OKVED = "01.11";
    t.NAME = "ООО «Ромашка» & <Лютик> \"Цветы\"";
    t.CEO = "Иванов Иван Иванович";
    t.PHONE = "+7 (495) 123-45-67";
    t.CADDR = "123456, Москва г, Ленина ул, д. 5, кв. 12";
    t.EMAIL = "buh@example.ru";
    t.UpolnDoc = "Доверенность № 5 от 01.02.2017";
    t.KPP = 770101001;
    t.QUART_NUM = 3;
    t.YEAR_NUM = 2017;
    t.NumCorr = 2;
    t.NumDot = 1;
    t.T1R1C2 = 120;
    t.T1R4C2 = 3;
    t.T1R6C2 = 7;
    t.BO_IF = 2;
    t.LIKV = 1;
    t.Upoln = 2;
    t.CRE_DATE = Date(2017, 4, 15);
    RQForm4Chapter2& c = form.Chapter2;
    c.IS_INV = 1;
    c.IS_BUDJET = 1;
    c.Table6.NC = 100.00;
    c.Table6.NC1 = 211.11;
    c.Table6.NC2 = 322.22;
    c.Table6.NC3 = 433.33;
    c.Table6.T1R3C2 = 544.44;
    c.Table6.C1 = 655.55;
    c.Table6.C2 = 766.66;
    c.Table6.C3 = 877.77;
    c.Table6.T1R5C2 = 988.88;
    c.Table6.I1 = 1099.99;
    c.Table6.I2 = 1211.10;
    c.Table6.I3 = 1322.21;
    c.Table6.RATE_MIS = 0.2;
    c.Table6.RATE_DEC = 10;
    c.Table6.INC_DATE = Date(2016, 12, 31);
    c.Table6.RATE_INC = 5;
    c.Table7.T7R1C1 = 1433.32;
    c.Table7.T7R3C1 = 1446.69;
    c.Table7.T7R5C1 = 1460.06;
    c.Table7.T7R6C1 = 1473.43;
    c.Table7.T7R7C1 = 1486.80;
    c.Table7.T7R9C1 = 1500.17;
    c.Table7.T7R13C1 = 1513.54;
    c.Table7.T7R11C1 = 1526.91;
    c.Table7.T7R16C1 = 1540.28;
    c.Table7.T7R17C61 = 1553.65;
    c.Table7.T7R18C1 = 1567.02;
    c.Table7.T7R39C1 = 1580.39;
    c.Table7.T7R19C1 = 1593.76;
    c.Table7.T7R40C1 = 1607.13;
    c.Table7.T7R21C1 = 1620.50;
    c.Table7.T7R23C1 = 1633.87;
    c.Table7.T7R24C1 = 1647.24;
    c.Table7.T7R25C1 = 1660.61;
    c.Table7.T7R27C1 = 1673.98;
    c.Table7.T7R29C1 = 1687.35;
    c.Table7.T7R30C1 = 1700.72;
    c.Table7.T7R31C1 = 1714.09;
    c.Table7.T7R38C1 = 1727.46;
    c.Table7.T7R34C1 = 1740.83;
    c.Table7.T7R35C1 = 1754.20;
    c.Table7.T7R41C1 = 1767.57;
    c.Table7.T7R42C1 = 1780.94;
    c.Table7.T7R42C1 = -10.0;
    c.Table8.T6R3C1 = 1;
    c.Table8.T6R13C1 = 2;
    c.Table8.T6R4C1 = 3;
    c.Table8.T6R8C1 = 4;
    c.Table8.T6R14C1 = 5;
    c.Table8.T6R9C1 = 6;
    c.Table8.T6R5C1 = 7;
    c.Table8.T6R6C1 = 8;
    c.Table8.T6R3C2 = 1794.31;
    c.Table8.T6R13C2 = 1801.81;
    c.Table8.T6R4C2 = 1809.31;
    c.Table8.T6R8C2 = 1816.81;
    c.Table8.T6R14C2 = 1824.31;
    c.Table8.T6R9C2 = 1831.81;
    c.Table8.T6R5C2 = 1839.31;
    c.Table8.T6R6C2 = 1846.81;
    c.Table8.T6R10C2 = 1854.31;
    c.Table8.T6R11C2 = 1861.81;
    c.Table9.M1 = 9;
    c.Table9.M2 = 10;
    c.Table9.M3 = 11;
    c.Table9.M5 = 12;
    c.Table10.ATT_C1 = 13;
    c.Table10.ATT_C2 = 14;
    c.Table10.ATT_CL3 = 15;
    c.Table10.ATT_CL4 = 16;
    c.Table10.MED_C1 = 17;
    c.Table10.MED_C2 = 18;
    c.PayOrderCount = 3;
    c.AllocPayOrder();
    const char* numbers[] = {"101", "№ 102/А", "103"};
    for (int i = 0; i < 3; ++i) {
        c.PayOrders[i].NUM = numbers[i];
        c.PayOrders[i].DT = Date(2017, 1 + i, 10 + i);
        c.PayOrders[i].SUM = 1000.25 * (i + 1);
    }
    c.Table6_1Count = 2;
    c.AllocTable6_1();
    for (int i = 0; i < 2; ++i) {
        RQForm4Table6_1& r = c.Table6_1Rows[i];
        r.REG_NUM_P = "770000000" + std::to_string(i);
        r.INN_P = "50000000" + std::to_string(i);
        r.OKVED_P = i == 0 ? "Ж.47.11" : "01.13";
        r.WRK_P = 4 + i;
        r.FOT_P = 5000.5 + i;
        r.FOTINV_P = 100.1 + i;
        r.C1 = 1000 + i;
        r.C2 = 2000 + i;
        r.C3 = 3000 + i;
        r.I1 = 10 + i;
        r.I2 = 20 + i;
        r.I3 = 30 + i;
        r.RATE_MIS_P = 0.4 + i;
        r.MIS_ALL_P = 0.44 + i;
    }
    form.SKECount = 2;
    form.AllocTableSKE();
    for (int i = 0; i < 2; ++i) {
        RQForm4TableSKE& r = form.SKERows[i];
        r.OKVED = i == 0 ? "Ф.41.20" : "43.21";
        r.ID_RISC = 1 + i;
        r.RATE_MIS = 0.2 + i;
        r.RATE_DEC = i;
        r.RATE_INC = 2 * i;
        r.FOT = 9000.75 + i;
        r.C1 = 3000.25 + i;
        r.C2 = 3000.25;
        r.C3 = 3000.25;
        r.FOTINV = 55.5;
        r.I1 = 11.1;
        r.I2 = 22.2;
        r.I3 = 22.2 + i;
        r.NC = 7.77;
        r.RECKON = 1.01 * (i + 1);
    }
}

inline void ExpectSameExchangeFields(const RQForm4& e, const RQForm4& a) {
    const RQForm4TitleList& et = e.TitleList;
    const RQForm4TitleList& at = a.TitleList;
    EXPECT_EQ(et.REG_NUM, at.REG_NUM) << "REG_NUM";
    EXPECT_EQ(et.KPS_NUM, at.KPS_NUM) << "KPS_NUM";
    EXPECT_EQ(et.INN, at.INN) << "INN";
    EXPECT_EQ(et.OGRN, at.OGRN) << "OGRN";
    EXPECT_EQ(et.OKVED, at.OKVED) << "OKVED";
    EXPECT_EQ(et.NAME, at.NAME) << "NAME";
    EXPECT_EQ(et.CEO, at.CEO) << "CEO";
    EXPECT_EQ(et.PHONE, at.PHONE) << "PHONE";
    EXPECT_EQ(et.CADDR, at.CADDR) << "CADDR";
    EXPECT_EQ(et.EMAIL, at.EMAIL) << "EMAIL";
    EXPECT_EQ(et.UpolnDoc, at.UpolnDoc) << "UpolnDoc";
    EXPECT_EQ(et.KPP, at.KPP) << "KPP";
    EXPECT_EQ(et.QUART_NUM, at.QUART_NUM) << "QUART_NUM";
    EXPECT_EQ(et.YEAR_NUM, at.YEAR_NUM) << "YEAR_NUM";
    EXPECT_EQ(et.NumCorr, at.NumCorr) << "NumCorr";
    EXPECT_EQ(et.NumDot, at.NumDot) << "NumDot";
    EXPECT_EQ(et.T1R1C2, at.T1R1C2) << "T1R1C2";
    EXPECT_EQ(et.T1R4C2, at.T1R4C2) << "T1R4C2";
    EXPECT_EQ(et.T1R6C2, at.T1R6C2) << "T1R6C2";
    EXPECT_EQ(et.BO_IF, at.BO_IF) << "BO_IF";
    EXPECT_EQ(et.LIKV, at.LIKV) << "LIKV";
    EXPECT_EQ(et.Upoln, at.Upoln) << "Upoln";
    EXPECT_EQ(et.CRE_DATE, at.CRE_DATE) << "CRE_DATE";
    const RQForm4Chapter2& ec = e.Chapter2;
    const RQForm4Chapter2& ac = a.Chapter2;
    EXPECT_EQ(ec.IS_INV, ac.IS_INV);
    EXPECT_EQ(ec.IS_BUDJET, ac.IS_BUDJET);
    EXPECT_DOUBLE_EQ(ec.Table6.NC, ac.Table6.NC) << "NC";
    EXPECT_DOUBLE_EQ(ec.Table6.NC1, ac.Table6.NC1) << "NC1";
    EXPECT_DOUBLE_EQ(ec.Table6.NC2, ac.Table6.NC2) << "NC2";
    EXPECT_DOUBLE_EQ(ec.Table6.NC3, ac.Table6.NC3) << "NC3";
    EXPECT_DOUBLE_EQ(ec.Table6.T1R3C2, ac.Table6.T1R3C2) << "T1R3C2";
    EXPECT_DOUBLE_EQ(ec.Table6.C1, ac.Table6.C1) << "C1";
    EXPECT_DOUBLE_EQ(ec.Table6.C2, ac.Table6.C2) << "C2";
    EXPECT_DOUBLE_EQ(ec.Table6.C3, ac.Table6.C3) << "C3";
    EXPECT_DOUBLE_EQ(ec.Table6.T1R5C2, ac.Table6.T1R5C2) << "T1R5C2";
    EXPECT_DOUBLE_EQ(ec.Table6.I1, ac.Table6.I1) << "I1";
    EXPECT_DOUBLE_EQ(ec.Table6.I2, ac.Table6.I2) << "I2";
    EXPECT_DOUBLE_EQ(ec.Table6.I3, ac.Table6.I3) << "I3";
    EXPECT_DOUBLE_EQ(ec.Table6.RATE_MIS, ac.Table6.RATE_MIS) << "RATE_MIS";
    EXPECT_EQ(ec.Table6.RATE_DEC, ac.Table6.RATE_DEC) << "RATE_DEC";
    EXPECT_EQ(ec.Table6.INC_DATE, ac.Table6.INC_DATE) << "INC_DATE";
    EXPECT_EQ(ec.Table6.RATE_INC, ac.Table6.RATE_INC) << "RATE_INC";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R1C1, ac.Table7.T7R1C1) << "T7R1C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R3C1, ac.Table7.T7R3C1) << "T7R3C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R5C1, ac.Table7.T7R5C1) << "T7R5C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R6C1, ac.Table7.T7R6C1) << "T7R6C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R7C1, ac.Table7.T7R7C1) << "T7R7C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R9C1, ac.Table7.T7R9C1) << "T7R9C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R13C1, ac.Table7.T7R13C1) << "T7R13C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R11C1, ac.Table7.T7R11C1) << "T7R11C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R16C1, ac.Table7.T7R16C1) << "T7R16C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R17C61, ac.Table7.T7R17C61) << "T7R17C61";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R18C1, ac.Table7.T7R18C1) << "T7R18C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R39C1, ac.Table7.T7R39C1) << "T7R39C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R19C1, ac.Table7.T7R19C1) << "T7R19C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R40C1, ac.Table7.T7R40C1) << "T7R40C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R21C1, ac.Table7.T7R21C1) << "T7R21C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R23C1, ac.Table7.T7R23C1) << "T7R23C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R24C1, ac.Table7.T7R24C1) << "T7R24C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R25C1, ac.Table7.T7R25C1) << "T7R25C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R27C1, ac.Table7.T7R27C1) << "T7R27C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R29C1, ac.Table7.T7R29C1) << "T7R29C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R30C1, ac.Table7.T7R30C1) << "T7R30C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R31C1, ac.Table7.T7R31C1) << "T7R31C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R38C1, ac.Table7.T7R38C1) << "T7R38C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R34C1, ac.Table7.T7R34C1) << "T7R34C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R35C1, ac.Table7.T7R35C1) << "T7R35C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R41C1, ac.Table7.T7R41C1) << "T7R41C1";
    EXPECT_DOUBLE_EQ(ec.Table7.T7R42C1, ac.Table7.T7R42C1) << "T7R42C1";
    EXPECT_EQ(ec.Table8.T6R3C1, ac.Table8.T6R3C1) << "T6R3C1";
    EXPECT_EQ(ec.Table8.T6R13C1, ac.Table8.T6R13C1) << "T6R13C1";
    EXPECT_EQ(ec.Table8.T6R4C1, ac.Table8.T6R4C1) << "T6R4C1";
    EXPECT_EQ(ec.Table8.T6R8C1, ac.Table8.T6R8C1) << "T6R8C1";
    EXPECT_EQ(ec.Table8.T6R14C1, ac.Table8.T6R14C1) << "T6R14C1";
    EXPECT_EQ(ec.Table8.T6R9C1, ac.Table8.T6R9C1) << "T6R9C1";
    EXPECT_EQ(ec.Table8.T6R5C1, ac.Table8.T6R5C1) << "T6R5C1";
    EXPECT_EQ(ec.Table8.T6R6C1, ac.Table8.T6R6C1) << "T6R6C1";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R3C2, ac.Table8.T6R3C2) << "T6R3C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R13C2, ac.Table8.T6R13C2) << "T6R13C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R4C2, ac.Table8.T6R4C2) << "T6R4C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R8C2, ac.Table8.T6R8C2) << "T6R8C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R14C2, ac.Table8.T6R14C2) << "T6R14C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R9C2, ac.Table8.T6R9C2) << "T6R9C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R5C2, ac.Table8.T6R5C2) << "T6R5C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R6C2, ac.Table8.T6R6C2) << "T6R6C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R10C2, ac.Table8.T6R10C2) << "T6R10C2";
    EXPECT_DOUBLE_EQ(ec.Table8.T6R11C2, ac.Table8.T6R11C2) << "T6R11C2";
    EXPECT_EQ(ec.Table9.M1, ac.Table9.M1) << "M1";
    EXPECT_EQ(ec.Table9.M2, ac.Table9.M2) << "M2";
    EXPECT_EQ(ec.Table9.M3, ac.Table9.M3) << "M3";
    EXPECT_EQ(ec.Table9.M5, ac.Table9.M5) << "M5";
    EXPECT_EQ(ec.Table10.ATT_C1, ac.Table10.ATT_C1) << "ATT_C1";
    EXPECT_EQ(ec.Table10.ATT_C2, ac.Table10.ATT_C2) << "ATT_C2";
    EXPECT_EQ(ec.Table10.ATT_CL3, ac.Table10.ATT_CL3) << "ATT_CL3";
    EXPECT_EQ(ec.Table10.ATT_CL4, ac.Table10.ATT_CL4) << "ATT_CL4";
    EXPECT_EQ(ec.Table10.MED_C1, ac.Table10.MED_C1) << "MED_C1";
    EXPECT_EQ(ec.Table10.MED_C2, ac.Table10.MED_C2) << "MED_C2";
    ASSERT_EQ(ec.PayOrderCount, ac.PayOrderCount);
    for (int i = 0; i < ec.PayOrderCount; ++i) {
        EXPECT_EQ(ec.PayOrders[i].NUM, ac.PayOrders[i].NUM);
        EXPECT_EQ(ec.PayOrders[i].DT, ac.PayOrders[i].DT);
        EXPECT_DOUBLE_EQ(ec.PayOrders[i].SUM, ac.PayOrders[i].SUM);
        EXPECT_EQ(ac.PayOrders[i].Line, 0);
        EXPECT_EQ(ac.PayOrders[i].SumCellId, "");
    }
    ASSERT_EQ(ec.Table6_1Count, ac.Table6_1Count);
    for (int i = 0; i < ec.Table6_1Count; ++i) {
        const RQForm4Table6_1& x = ec.Table6_1Rows[i];
        const RQForm4Table6_1& y = ac.Table6_1Rows[i];
        EXPECT_EQ(x.REG_NUM_P, y.REG_NUM_P);
        EXPECT_EQ(x.INN_P, y.INN_P);
        EXPECT_EQ(x.OKVED_P, y.OKVED_P);
        EXPECT_EQ(x.WRK_P, y.WRK_P);
        for (auto m : {&RQForm4Table6_1::FOT_P, &RQForm4Table6_1::FOTINV_P, &RQForm4Table6_1::C1,
                       &RQForm4Table6_1::C2, &RQForm4Table6_1::C3, &RQForm4Table6_1::I1,
                       &RQForm4Table6_1::I2, &RQForm4Table6_1::I3, &RQForm4Table6_1::RATE_MIS_P,
                       &RQForm4Table6_1::MIS_ALL_P})
            EXPECT_DOUBLE_EQ(x.*m, y.*m) << "row " << i;
    }
    ASSERT_EQ(e.SKECount, a.SKECount);
    for (int i = 0; i < e.SKECount; ++i) {
        const RQForm4TableSKE& x = e.SKERows[i];
        const RQForm4TableSKE& y = a.SKERows[i];
        EXPECT_EQ(x.OKVED, y.OKVED);
        EXPECT_EQ(x.ID_RISC, y.ID_RISC);
        EXPECT_EQ(x.RATE_DEC, y.RATE_DEC);
        EXPECT_EQ(x.RATE_INC, y.RATE_INC);
        for (auto m : {&RQForm4TableSKE::FOT, &RQForm4TableSKE::C1, &RQForm4TableSKE::C2,
                       &RQForm4TableSKE::C3, &RQForm4TableSKE::FOTINV, &RQForm4TableSKE::I1,
                       &RQForm4TableSKE::I2, &RQForm4TableSKE::I3, &RQForm4TableSKE::NC,
                       &RQForm4TableSKE::RECKON})
            EXPECT_DOUBLE_EQ(x.*m, y.*m) << "SKE row " << i;
        // One decimal place in the file.
        EXPECT_DOUBLE_EQ(x.RATE_MIS, y.RATE_MIS);
    }
}

}  // namespace xmltest
