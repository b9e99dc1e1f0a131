// The byte rules by which a registry value becomes the launcher's text.
#include "RegistryValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

struct TrimCase {
    const char* what;
    std::string returned;  // the bytes the query returned (size = length)
    std::string kept;
};

class KeptValueBytesTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(KeptValueBytesTest, KeepsAllButOneTrailingNul) {
    const TrimCase& c = GetParam();
    const auto* data = reinterpret_cast<const unsigned char*>(c.returned.data());
    EXPECT_EQ(KeptValueBytes(data, c.returned.size()), c.kept) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeptValueBytesTest,
    ::testing::Values(
        TrimCase{"text with its NUL", std::string("C:\\x.exe\0", 9), "C:\\x.exe"},
        TrimCase{"text without NUL", "C:\\x.exe", "C:\\x.exe"},
        TrimCase{"nothing returned", "", ""},
        TrimCase{"only the NUL", std::string(1, '\0'), ""},
        TrimCase{"two NULs: only the last goes", std::string("ab\0\0", 4), std::string("ab\0", 3)},
        TrimCase{"inner NUL stays", std::string("a\0b", 3), std::string("a\0b", 3)},
        TrimCase{"1024 bytes without NUL used whole", std::string(1024, 'x'), std::string(1024, 'x')},
        TrimCase{"1024 bytes ending in NUL", std::string(1023, 'y') + std::string(1, '\0'),
                 std::string(1023, 'y')},
        TrimCase{"dword with zero high byte", Bytes({0x05, 0x01, 0x00, 0x00}), Bytes({0x05, 0x01, 0x00})}));

struct NumberCase {
    std::string kept;
    std::uint32_t number;
};

class NumberFromKeptBytesTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberFromKeptBytesTest, LittleEndianWithMissingHighBytesZero) {
    EXPECT_EQ(NumberFromKeptBytes(GetParam().kept), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberFromKeptBytesTest,
    ::testing::Values(NumberCase{Bytes({0x05, 0x01, 0x00, 0x00}), 261u},
                      NumberCase{Bytes({0x05, 0x01, 0x00}), 261u},
                      NumberCase{Bytes({0x05, 0x01}), 261u},
                      NumberCase{Bytes({0xff}), 255u},
                      NumberCase{"", 0u},
                      NumberCase{Bytes({0x78, 0x56, 0x34, 0x12}), 0x12345678u},
                      NumberCase{Bytes({0xff, 0xff, 0xff, 0xff}), 0xffffffffu},
                      NumberCase{Bytes({0x01, 0x00, 0x00, 0x00, 0x07}), 1u}));

struct ApplyCase {
    const char* what;
    std::uint32_t type;
    std::string returned;
    std::string before;
    std::string after;
};

class ApplyRegistryValueTest : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyRegistryValueTest, SetsTextNumberOrLeavesKeyVal) {
    const ApplyCase& c = GetParam();
    const auto* data = reinterpret_cast<const unsigned char*>(c.returned.data());
    std::string kept = KeptValueBytes(data, c.returned.size());
    std::string keyVal = c.before;
    ApplyRegistryValue(c.type, kept, kept, keyVal);
    EXPECT_EQ(keyVal, c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplyRegistryValueTest,
    ::testing::Values(
        ApplyCase{"text replaces", kRegistryText, std::string("C:\\Tools\\msinfo32.exe\0", 22), "old",
                  "C:\\Tools\\msinfo32.exe"},
        ApplyCase{"text with and without NUL alike", kRegistryText, "C:\\Tools\\msinfo32.exe", "",
                  "C:\\Tools\\msinfo32.exe"},
        ApplyCase{"empty text", kRegistryText, std::string(1, '\0'), "old", ""},
        ApplyCase{"dword 05 01 00 00", kRegistryNumber, Bytes({0x05, 0x01, 0x00, 0x00}), "old", "261"},
        ApplyCase{"dword zero", kRegistryNumber, Bytes({0, 0, 0, 0}), "x", "0"},
        ApplyCase{"dword high bit written unsigned", kRegistryNumber, Bytes({0xff, 0xff, 0xff, 0xff}), "",
                  "4294967295"},
        ApplyCase{"binary leaves keyVal", 3u, Bytes({0x41, 0x42}), "kept", "kept"},
        ApplyCase{"expand_sz leaves keyVal", 2u, std::string("%x%\0", 4), "", ""},
        ApplyCase{"multi_sz leaves keyVal", 7u, std::string("a\0\0", 3), "prev", "prev"}));

TEST(ApplyRegistryValue, TextUsesTheConvertedText) {
    // The caller converts the kept bytes from the ANSI code page; the text
    // case must take that conversion, not the raw bytes.
    std::string keyVal;
    ApplyRegistryValue(kRegistryText, Bytes({0x82, 0xa0}), "\xe3\x81\x82", keyVal);
    EXPECT_EQ(keyVal, "\xe3\x81\x82");
}

TEST(ApplyRegistryValue, NumberUsesTheRawBytes) {
    std::string keyVal;
    ApplyRegistryValue(kRegistryNumber, Bytes({0x82, 0xa0}), "\xe3\x81\x82", keyVal);
    EXPECT_EQ(keyVal, std::to_string(0xa082u));
}

}  // namespace
}  // namespace tessaly
