#include "FixtureFolder.h"

#include <fstream>
#include <stdexcept>

#include "WinText.h"

namespace tessaly::test {

std::string FixturePath(const std::string& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.find_last_of(L'\\'));
    return WideToUtf8(folder) + "\\..\\fixtures\\" + name;
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = WideToUtf8(temp) + "tessaly-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount());
    if (!CreateDirectoryW(Utf8ToWide(path_).c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW found;
    const std::wstring folder = Utf8ToWide(path_);
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring entry = folder + L"\\" + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(entry.c_str());
            else if (found.cFileName[0] != L'.') RemoveDirectoryW(entry.c_str());  // not "." or ".."
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void ScratchFolder::Add(const std::string& name, const std::string& fixture,
                        const SYSTEMTIME& modifiedUtc) {
    const std::wstring target = Utf8ToWide(path_ + "\\" + name);
    if (!CopyFileW(Utf8ToWide(FixturePath(fixture)).c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + fixture);
    FILETIME time;
    SystemTimeToFileTime(&modifiedUtc, &time);
    HANDLE file = CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool set = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &time);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!set) throw std::runtime_error("cannot set the time of " + name);
}

void ScratchFolder::AddFolder(const std::string& name) {
    if (!CreateDirectoryW(Utf8ToWide(path_ + "\\" + name).c_str(), nullptr))
        throw std::runtime_error("cannot create " + name);
}

unsigned long long SizeOfFile(const std::string& path) {
    std::ifstream file(Utf8ToWide(path).c_str(), std::ios::binary | std::ios::ate);
    return static_cast<unsigned long long>(file.tellg());
}

}  // namespace tessaly::test
