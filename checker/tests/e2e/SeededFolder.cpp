#include "SeededFolder.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

namespace e2e {
namespace {

// Local times on either side of the daylight-saving change of zones that
// have one: the program must apply the offset in force on each file's date.
const SYSTEMTIME kSummer = {2004, 8, 3, 4, 13, 0, 0, 0};   // 2004/08/04 13:00:00
const SYSTEMTIME kWinter = {2004, 1, 4, 15, 12, 0, 0, 0};  // 2004/01/15 12:00:00

struct Seed {
    const wchar_t* catalogueName;
    const wchar_t* fixture;   // file in the fixture folder
    const wchar_t* version;   // known version of the fixture, empty for none
    const wchar_t* language;  // known display name of its language
    const SYSTEMTIME* modified;  // local time
};

// What each fixture is built with (see checker/tests/fixtures). Under Wine,
// the version of a file named like one of Wine's own DLLs is read from Wine's
// built-in DLL unless the test's DLL overrides say "native" for it; the
// scripts do so for riched32 only, so no other seed takes such a name.
const Seed kSeeds[] = {
    {L"ADODCJP.DLL", L"japanese.dll", L"6.0.81.63", L"Japanese", &kSummer},                       // same
    {L"COMDLG32.OCX", L"comdlg_6_1_97_82.dll", L"6.1.97.82", L"Japanese", &kWinter},              // same
    {L"ASYCFILT.DLL", L"english_2_40_4522_0.dll", L"2.40.4522.0", L"U.S. English", &kSummer},     // old, *1
    {L"RICHED32.DLL", L"riched_5_1_2600_0.dll", L"5.1.2600.0", L"U.S. English", &kWinter},        // new, *2
    {L"vantor.dll", L"vantor_7_1_0_0.dll", L"7.1.0.0", L"", &kSummer},                            // language not in table
    {L"DATGDJP.DLL", L"serbo_croatian.dll", L"6.0.81.63", L"Serbo-Croatian (Cyrillic)", &kWinter},  // cut at 20
    {L"MSCAL.OCX", L"top_bit_major.dll", L"32768.1.0.0", L"Japanese", &kSummer},                  // new
    {L"imgctl.dll", L"neutral.dll", L"1.0.0.0", L"Neutral Language", &kWinter},                   // new, empty shipped
    {L"MSBIND.DLL", L"no_resource.dll", L"", L"Neutral Language", &kSummer},                      // NotVer, old
    {L"pixkit.dll", L"empty.dat", L"", L"Neutral Language", &kWinter},                            // NotVer, same, 0 bytes
    {L"DBLIST32.OCX", L"not_a_program.txt", L"", L"Neutral Language", &kSummer},                  // NotVer, old
};

const wchar_t kToolKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const wchar_t kFolderKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

const Seed* SeedFor(const std::wstring& name) {
    for (const Seed& seed : kSeeds) {
        if (Upper(seed.catalogueName) == Upper(name)) return &seed;
    }
    return nullptr;
}

bool ReadTimeAndSize(const std::wstring& path, FileFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    // The offset in force on the file's date, not today's.
    SYSTEMTIME utc = {}, time = {};
    FileTimeToSystemTime(&data.ftLastWriteTime, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &time);
    facts.present = true;
    facts.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.year = time.wYear;
    facts.month = time.wMonth;
    facts.day = time.wDay;
    facts.hour = time.wHour;
    facts.minute = time.wMinute;
    facts.second = time.wSecond;
    return true;
}

// Version and language of a file that the test did not put there.
bool ReadVersionFacts(const std::wstring& path, FileFacts& facts) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    facts.language = L"Neutral Language";
    if (size == 0) return true;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return true;
    void* block = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &block, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
        facts.version = std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
                        std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
                        std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
                        std::to_wstring(LOWORD(info->dwFileVersionLS));
    }
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &length) && length >= 4) {
        WORD id = *static_cast<const WORD*>(block);
        switch (id) {
        case 0x0000: facts.language = L"Neutral Language"; break;
        case 0x0409: facts.language = L"U.S. English"; break;
        case 0x0411: facts.language = L"Japanese"; break;
        default:
            std::fwprintf(stderr, L"%ls: language %04X is not known to the test\n", path.c_str(), id);
            return false;
        }
    }
    return true;
}

void SetString(const wchar_t* keyName, const wchar_t* valueName, const std::wstring* value) {
    if (!value) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, valueName);
            RegCloseKey(key);
        }
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        std::fwprintf(stderr, L"cannot create %ls\n", keyName);
        return;
    }
    RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

bool SeedSystemFolder(const std::wstring& fixtureDir) {
    for (const Seed& seed : kSeeds) {
        SYSTEMTIME utcTime = {};
        FILETIME utc = {};
        if (!TzSpecificLocalTimeToSystemTime(nullptr, seed.modified, &utcTime) ||
            !SystemTimeToFileTime(&utcTime, &utc)) {
            return false;
        }
        std::wstring from = fixtureDir + L"\\" + seed.fixture;
        std::wstring to = SystemFolder() + L"\\" + seed.catalogueName;
        if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            std::fwprintf(stderr, L"cannot copy %ls to %ls (error %lu)\n", from.c_str(), to.c_str(), GetLastError());
            return false;
        }
        HANDLE file = CreateFileW(to.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE || !SetFileTime(file, nullptr, nullptr, &utc)) {
            std::fwprintf(stderr, L"cannot date %ls\n", to.c_str());
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
            return false;
        }
        CloseHandle(file);
    }
    return true;
}

bool CollectFacts(std::vector<FileFacts>& facts) {
    facts.clear();
    for (const CatalogueRow& row : Catalogue()) {
        FileFacts f;
        std::wstring path = SystemFolder() + L"\\" + row.name;
        if (ReadTimeAndSize(path, f)) {
            if (const Seed* seed = SeedFor(row.name)) {
                f.version = seed->version;
                f.language = seed->language;
                const SYSTEMTIME& t = *seed->modified;
                if (f.year != t.wYear || f.month != t.wMonth || f.day != t.wDay || f.hour != t.wHour ||
                    f.minute != t.wMinute || f.second != t.wSecond) {
                    std::fwprintf(stderr, L"%ls does not carry the seeded date\n", row.name);
                    return false;
                }
            } else if (!ReadVersionFacts(path, f)) {
                return false;
            }
        }
        facts.push_back(f);
    }
    return true;
}

void SetToolPath(const std::wstring* path) {
    if (!path) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kToolKey);
        return;
    }
    SetString(kToolKey, L"PATH", path);
}

void SetToolFolder(const std::wstring* path) { SetString(kFolderKey, L"MSINFO", path); }

}  // namespace e2e
