// Where the probe test files are, and a scratch folder that a test fills
// with copies of them under the names of catalogue rows.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly::test {

// <folder of the test program>\..\fixtures\<name>
std::string FixturePath(const std::string& name);

// A fresh, empty folder in %TEMP%, deleted with its files and empty
// subfolders on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Copies a fixture in as `name` and sets its last-write time (UTC).
    void Add(const std::string& name, const std::string& fixture, const SYSTEMTIME& modifiedUtc);
    void AddFolder(const std::string& name);

private:
    std::string path_;
};

// Size in bytes, read by opening the file, not through its attributes.
unsigned long long SizeOfFile(const std::string& path);

}  // namespace tessaly::test
