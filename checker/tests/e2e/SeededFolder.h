// The test's system folder: catalogued files of known versions copied in
// from the build's fixtures with a fixed date, the facts of every catalogued
// file for the expected report, and the registry values of the launcher.
#pragma once

#include "ExpectedReport.h"

#include <string>
#include <vector>

namespace e2e {

// The system folder, as the program under test (32-bit, like this driver) sees it.
std::wstring SystemFolder();

// Copies the fixture files into the system folder under catalogue names.
// False (with a message on stderr) when a fixture cannot be copied.
bool SeedSystemFolder(const std::wstring& fixtureDir);

// Facts of every catalogued file: for the seeded ones the known facts, for
// any other file that the system has put there the facts read from it.
bool CollectFacts(std::vector<FileFacts>& facts);

// The launcher's registry values below HKEY_LOCAL_MACHINE.
void SetToolPath(const std::wstring* path);    // ...\Shared Tools\MSINFO, PATH; null deletes the key
void SetToolFolder(const std::wstring* path);  // ...\Shared Tools Location, MSINFO; null deletes the value

}  // namespace e2e
