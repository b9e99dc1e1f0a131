#include "ExpectedReport.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace e2e {
namespace {

const std::wstring kCrLf = L"\r\n";

std::wstring Field(std::wstring text, std::size_t width) {
    text.resize(width, L' ');
    return text;
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

std::wstring Grouped(unsigned long long n) {
    std::wstring digits = std::to_wstring(n);
    std::wstring out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += L',';
        out += digits[i];
    }
    return out;
}

std::wstring Two(int n) {
    wchar_t buffer[8];
    std::swprintf(buffer, 8, L"%02d", n);
    return buffer;
}

// Components of a dotted version; the empty text has none (all zero).
std::vector<unsigned long> Parts(const std::wstring& version) {
    std::vector<unsigned long> parts;
    if (version.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = version.find(L'.', start);
        parts.push_back(std::wcstoul(version.substr(start, dot - start).c_str(), nullptr, 10));
        if (dot == std::wstring::npos) break;
        start = dot + 1;
    }
    return parts;
}

// -1, 0, 1: installed against shipped, part by part; missing parts are 0.
// The files used here have four parts below 10000 each.
int Compare(const std::wstring& installed, const std::wstring& shipped) {
    std::vector<unsigned long> a = Parts(installed), b = Parts(shipped);
    std::size_t n = std::max(a.size(), b.size());
    a.resize(n, 0);
    b.resize(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

const std::wstring kNotUpdatable[] = {L"ASYCFILT.DLL", L"COMCAT.DLL",  L"OLEAUT32.DLL", L"OLEPRO32.DLL",
                                      L"STDOLE2.TLB",  L"DAXCTLE.OCX", L"RICHED32.DLL", L"PLUGIN.OCX",
                                      L"MSSCRIPT.OCX", L"MFC42.DLL",   L"MSVCRT.DLL",   L"SHFOLDER.DLL"};

}  // namespace

const std::vector<CatalogueRow>& Catalogue() {
    static const std::vector<CatalogueRow> rows = {
        {L"ADODCJP.DLL", L"6.0.81.63"},     {L"agentctl.dll", L"2.0.0.3422"},   {L"ASYCFILT.DLL", L"5.1.2600.2180"},
        {L"CMCT2JP.DLL", L"6.0.80.22"},     {L"CMCT3JP.DLL", L"6.0.0.8163"},    {L"CMCTLJP.DLL", L"6.0.80.22"},
        {L"CMDLGJP.DLL", L"6.0.81.63"},     {L"COMCAT.DLL", L"5.0.2600.1"},     {L"COMCT232.OCX", L"6.0.80.22"},
        {L"COMCT332.OCX", L"6.7.0.9782"},   {L"COMCTL32.OCX", L"6.0.81.5"},     {L"COMDLG32.OCX", L"6.1.97.82"},
        {L"DATGDJP.DLL", L"6.0.81.63"},     {L"DATLSJP.DLL", L"6.0.81.63"},     {L"DATRPJP.DLL", L"6.0.81.63"},
        {L"daxctle.ocx", L"6.3.1.146"},     {L"DBLIST32.OCX", L"6.1.97.82"},    {L"DBLSTJP.DLL", L"6.0.81.63"},
        {L"FLXGDJP.DLL", L"6.0.81.63"},     {L"GAPI32.DLL", L"5.5.2803.0"},     {L"GRID32.OCX", L"4.0.29.8"},
        {L"imgctl.dll", L""},               {L"INETJP.DLL", L"6.0.81.63"},      {L"MCI32.OCX", L"6.0.84.18"},
        {L"MCIJP.DLL", L"6.0.81.63"},       {L"mfc42.dll", L"6.2.4131.0"},      {L"MSACC9.OLB", L"9.0.0.2719"},
        {L"msado26.tlb", L"2.81.1117.0"},   {L"MSADODC.OCX", L"6.1.97.82"},     {L"MSBCODE9.OCX", L"9.0.0.0"},
        {L"MSBIND.DLL", L"6.1.97.82"},      {L"MSCAL.OCX", L"9.0.0.3620"},      {L"MSCC2JP.DLL", L"6.0.81.63"},
        {L"MSCH2JP.DLL", L"6.0.81.63"},     {L"MSCHRT20.OCX", L"6.0.88.4"},     {L"MSCMCJP.DLL", L"6.0.81.63"},
        {L"MSCOMCT2.OCX", L"6.1.97.82"},    {L"MSCOMCTL.OCX", L"6.1.97.82"},    {L"MSCOMJP.DLL", L"6.0.81.63"},
        {L"MSCOMM32.OCX", L"6.0.81.69"},    {L"MSDATGRD.OCX", L"6.1.97.82"},    {L"MSDATLST.OCX", L"6.0.84.18"},
        {L"MSDATREP.OCX", L"6.0.81.69"},    {L"MSFLXGRD.OCX", L"6.1.97.82"},    {L"MSHFGJPN.DLL", L"6.0.30.5"},
        {L"MSHFLXGD.OCX", L"6.0.88.4"},     {L"MSINET.OCX", L"6.1.97.82"},      {L"MSMAPI32.OCX", L"6.0.81.69"},
        {L"MSMASK32.OCX", L"6.0.84.18"},    {L"MSMPIJP.DLL", L"6.0.81.63"},     {L"MSMSKJP.DLL", L"6.0.81.63"},
        {L"MSRDC20.OCX", L"6.0.84.18"},     {L"MSRDO20.DLL", L"6.1.97.82"},     {L"msscript.ocx", L"1.0.0.8820"},
        {L"MSSTDFMT.DLL", L"6.1.97.82"},    {L"MSVBVM50.DLL", L"5.2.82.44"},    {L"msvbvm60.dll", L"6.0.97.82"},
        {L"msvcrt.dll", L"7.0.2600.2180"},  {L"MSWINSCK.OCX", L"6.1.97.82"},    {L"OLEAUT32.DLL", L"5.1.2600.2180"},
        {L"OLEPRO32.DLL", L"5.1.2600.2180"}, {L"PCCLPJP.DLL", L"6.0.81.63"},    {L"PICCLP32.OCX", L"6.0.84.18"},
        {L"plugin.ocx", L"7.0.3.50"},       {L"RCHTXJP.DLL", L"6.0.81.63"},     {L"RDC20JP.DLL", L"6.0.81.63"},
        {L"RDO20JP.DLL", L"6.0.81.63"},     {L"RDOCURS.DLL", L"6.0.88.4"},      {L"RICHED32.DLL", L"5.0.1462.7"},
        {L"RICHTX32.OCX", L"6.1.97.82"},    {L"SaveJPG.dll", L"3.1.0.0"},       {L"shfolder.dll", L"6.0.2900.2180"},
        {L"STDFTJP.DLL", L"6.0.81.63"},     {L"STDOLE2.TLB", L"5.2.3668.0"},    {L"SYSINFO.OCX", L"6.0.81.69"},
        {L"SYSINJP.DLL", L"6.0.81.63"},     {L"TABCTJP.DLL", L"6.0.81.63"},     {L"TABCTL32.OCX", L"6.1.97.82"},
        {L"vantor.dll", L"7.1.0.0"},        {L"VantorG32.dll", L"1.0.0.0"},     {L"UNARJ32J.DLL", L"0.54.0.3"},
        {L"UNLHA32.DLL", L"1.98.2.4"},      {L"Vb40032.dll", L"4.0.29.24"},     {L"VB4JP32.DLL", L"4.0.26.19"},
        {L"VB5JP.DLL", L"5.0.43.19"},       {L"VB6JP.DLL", L"6.1.83.41"},       {L"VB6STKIT.DLL", L"6.0.84.50"},
        {L"pixkit.dll", L""},               {L"WINSKJP.DLL", L"6.0.81.63"},
    };
    return rows;
}

std::wstring ReportHeader() {
    return L"Name\t\tDate\t\tSize\tLanguage    \tVersion\t\tStatus" + kCrLf;
}

std::wstring ExpectedReport(const std::vector<FileFacts>& facts, bool japanese) {
    const auto& rows = Catalogue();
    std::wstring report = ReportHeader();
    int found = 0, old = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileFacts& f = facts[i];
        std::wstring name = Field(Upper(rows[i].name), 16);
        std::wstring versionField = Field(f.version.empty() ? L"NotVer" : f.version, 15);
        std::wstring line, status;
        if (f.present) {
            ++found;
            int order = Compare(f.version, rows[i].version);
            if (order == 0) status = japanese ? L"\x25CB" : L"Same";
            if (order < 0) status = japanese ? L"\x25B3" : L"Old";
            if (order > 0) status = japanese ? L"\x25CE" : L"New";
            line = name + L"\t" + std::to_wstring(f.year) + L"/" + Two(f.month) + L"/" + Two(f.day) + L" " +
                   Two(f.hour) + L":" + Two(f.minute) + L":" + Two(f.second) + L"\t" + Grouped(f.size) + L"\t" +
                   Field(f.language, 20) + L"\t" + versionField;
            if (status == L"\x25B3") {
                ++old;
                std::wstring bare = Upper(rows[i].name);
                if (std::find(std::begin(kNotUpdatable), std::end(kNotUpdatable), bare) != std::end(kNotUpdatable)) {
                    status += L"*1";
                }
            }
        } else {
            versionField = Field(L"NotVer", 15);
            status = japanese ? L"\x00D7" : L"Not";
            line = name + L"\t" + (japanese ? L"\x30D5\x30A1\x30A4\x30EB\x304C\x3042\x308A\x307E\x305B\x3093"
                                            : L"There is no file.") +
                   L"\t\t";
        }
        if (Upper(rows[i].name) == L"RICHED32.DLL" &&
            (versionField == L"5.1.2600.0     " || versionField == L"5.0.2134.1     ")) {
            status += L"*2";
        }
        report += line + L"\t" + status + kCrLf;
    }
    std::wstring total = std::to_wstring(rows.size());
    if (!japanese) {
        return report + kCrLf + std::to_wstring(found) + L" pieces existed among " + total + L" run time files.";
    }
    // ランタイム及びアーカイブファイル 89 個中 n 個が存在しました。
    report += kCrLf + L"\x30E9\x30F3\x30BF\x30A4\x30E0\x53CA\x3073\x30A2\x30FC\x30AB\x30A4\x30D6\x30D5\x30A1\x30A4\x30EB" +
              total + L"\x500B\x4E2D" + std::to_wstring(found) +
              L"\x500B\x304C\x5B58\x5728\x3057\x307E\x3057\x305F\x3002" + kCrLf;
    if (old != 0) {
        report += L"\xFF08" + std::to_wstring(old) +
                  L"\x306E\x53E4\x3044\x30D5\x30A1\x30A4\x30EB\x3092\x691C\x51FA\x3057\x307E\x3057\x305F\xFF09" + kCrLf;
        report += L"*1:\x3053\x306E\x30D5\x30A1\x30A4\x30EB\x306F\x7279\x6B8A\x30D5\x30A1\x30A4\x30EB\x306E\x305F"
                  L"\x3081\x66F4\x65B0\x3067\x304D\x307E\x305B\x3093" + kCrLf;
        report += L"*2:\x3053\x306E\x30D5\x30A1\x30A4\x30EB\x306F\x8A00\x8A9E\x304C\x65E5\x672C\x8A9E\x3067\x306F"
                  L"\x306A\x3044\x305F\x3081\x4F7F\x7528\x3059\x308B\x30BD\x30D5\x30C8\x30A6\x30A7\x30A2\x3084"
                  L"\xFF2F\xFF33\x306B\x3088\x3063\x3066\x6587\x5B57\x5316\x3051\x3059\x308B\x53EF\x80FD\x6027"
                  L"\x304C\x3042\x308A\x307E\x3059" + kCrLf;
    }
    report += kCrLf + L"\x30B9\x30C6\x30FC\x30BF\x30B9\x51E1\x4F8B" + kCrLf;
    report += L"\x25CE\xFF1A\x30D1\x30C3\x30B1\x30FC\x30B8\x3088\x308A\x65B0\x3057\x3044" + kCrLf;
    report += L"\x25CB\xFF1A\x30D1\x30C3\x30B1\x30FC\x30B8\x3068\x540C\x3058" + kCrLf;
    report += L"\x25B3\xFF1A\x30D1\x30C3\x30B1\x30FC\x30B8\x3088\x308A\x53E4\x3044" + kCrLf;
    report += L"\x00D7\xFF1A\x30D5\x30A1\x30A4\x30EB\x304C\x306A\x3044";
    return report;
}

}  // namespace e2e
