#include "SysInfoLauncher.h"

#include "Handles.h"
#include "RegistryValue.h"
#include "WinText.h"

#include <vector>

namespace tessaly {
namespace {

constexpr char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kToolValue[] = "PATH";
constexpr char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kFolderValue[] = "MSINFO";
constexpr char kToolFile[] = "\\MSINFO32.EXE";
constexpr DWORD kValueBufferSize = 1024;

// 現時点ではｼｽﾃﾑ情報を使用できません
constexpr wchar_t kUnavailable[] =
    L"\x73FE\x6642\x70B9\x3067\x306F\xFF7C\xFF7D\xFF83\xFF91\x60C5\x5831\x3092\x4F7F\x7528\x3067\x304D\x307E\x305B\x3093";
constexpr wchar_t kAppTitle[] = L"Tessaly";

// A normal file: exists and is neither a folder nor hidden nor a system file.
bool IsNormalFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// Starts `path` as the program to run, in a normal, activated window. The
// path goes in as the program's name and, quoted, as its command line, so a
// folder with spaces in its name is never split into a shorter program name.
bool StartProgram(const std::wstring& path) {
    if (path.empty()) return false;
    std::wstring commandLine = L"\"" + path + L"\"";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    return true;
}

}  // namespace

bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal) {
    // Read rights only: a standard user may not write below HKEY_LOCAL_MACHINE.
    RegKey key;
    if (RegOpenKeyExA(KeyRoot, Utf8ToAnsi(KeyName).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    unsigned char buffer[kValueBufferSize] = {};
    DWORD size = kValueBufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), Utf8ToAnsi(SubKeyRef).c_str(), nullptr, &type, buffer, &size) !=
        ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::string kept = KeptValueBytes(buffer, size <= kValueBufferSize ? size : kValueBufferSize);
    std::string keptAsText = AnsiToUtf8(kept.data(), static_cast<int>(kept.size()));
    ApplyRegistryValue(type, kept, keptAsText, KeyVal);
    return true;
}

void StartSysInfo(HWND owner) {
    std::string path;
    bool found = GetKeyValue(HKEY_LOCAL_MACHINE, kToolKey, kToolValue, path);
    if (!found && GetKeyValue(HKEY_LOCAL_MACHINE, kFolderKey, kFolderValue, path)) {
        std::string candidate = path + kToolFile;
        if (IsNormalFile(Utf8ToWide(candidate))) {
            path = candidate;
            found = true;
        }
    }
    if (found && StartProgram(Utf8ToWide(path))) return;
    MessageBoxW(owner, kUnavailable, kAppTitle, MB_OK);
}

}  // namespace tessaly
