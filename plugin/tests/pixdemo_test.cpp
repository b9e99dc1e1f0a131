// Drives the real pixdemo binary: every kind of bad input must give a
// one-line message and a non-zero exit and leave no output file behind;
// good input must come out as the effect says.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bmp.h"
#include "reference_model.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode;
    std::string stderrText;
};

class PixdemoTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pixdemo-test-" + std::to_string(getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    std::vector<uint8_t> ReadBytes(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Runs pixdemo with the arguments (each quoted for the shell).
    RunResult Run(const std::vector<std::string>& args) const {
        std::string command = "'" PIXDEMO_PATH "'";
        for (const auto& a : args) command += " '" + a + "'";
        command += " 2>'" + Path("stderr.txt") + "'";
        const int status = std::system(command.c_str());
        std::ifstream err(Path("stderr.txt"));
        std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
        fs::remove(Path("stderr.txt"));
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
    }

    // Names of the files left in the test directory.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

Bitmap RandomBitmap(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    Bitmap b{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (auto& byte : b.pixels) byte = uint8_t(rng());
    return b;
}

// A valid 5x3 BMP (rows padded from 15 to 16 bytes) with one field changed.
std::vector<uint8_t> Patched(size_t offset, std::vector<uint8_t> value) {
    std::vector<uint8_t> bytes = WriteBmp(RandomBitmap(5, 3, 1));
    std::copy(value.begin(), value.end(), bytes.begin() + std::ptrdiff_t(offset));
    return bytes;
}

struct BadInput {
    const char* name;
    std::vector<uint8_t> file;  // written as in.bmp unless empty
    std::vector<std::string> args;  // "IN" and "OUT" are replaced by paths
    const char* message;            // part of the expected stderr line
};

TEST_F(PixdemoTest, BadInputGetsOneLineAndNoOutputFile) {
    const std::vector<uint8_t> good = WriteBmp(RandomBitmap(5, 3, 1));
    const std::vector<BadInput> cases = {
        {"missing file", {}, {"IN", "OUT", "Shade"}, "cannot open"},
        {"directory as input", {}, {"DIR", "OUT", "Shade"}, "is a directory"},
        {"empty file", {'B'}, {"IN", "OUT", "Shade"}, "not a BMP"},
        {"not a BMP", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, {"IN", "OUT", "Shade"}, "not a BMP"},
        {"truncated header", {good.begin(), good.begin() + 30}, {"IN", "OUT", "Shade"}, "truncated BMP header"},
        {"8-bit", Patched(28, {8, 0}), {"IN", "OUT", "Shade"}, "not a 24-bit BMP (8 bits"},
        {"32-bit", Patched(28, {32, 0}), {"IN", "OUT", "Sharp"}, "not a 24-bit BMP (32 bits"},
        {"RLE compressed", Patched(30, {1, 0, 0, 0}), {"IN", "OUT", "Shade"}, "compressed BMP"},
        {"bitfields", Patched(30, {3, 0, 0, 0}), {"IN", "OUT", "Shade"}, "compressed BMP"},
        {"core header", Patched(14, {12, 0, 0, 0}), {"IN", "OUT", "Shade"}, "unsupported BMP header"},
        {"zero width", Patched(18, {0, 0, 0, 0}), {"IN", "OUT", "Shade"}, "unsupported BMP size"},
        {"truncated pixels", {good.begin(), good.end() - 1}, {"IN", "OUT", "Shade"}, "truncated pixel data"},
        {"offset past end", Patched(10, {0, 1, 0, 0}), {"IN", "OUT", "Shade"}, "truncated pixel data"},
        {"too few arguments", good, {"IN", "OUT"}, "usage: pixdemo"},
        {"unknown effect", good, {"IN", "OUT", "Blur"}, "unknown effect 'Blur'"},
        {"Shade with parameters", good, {"IN", "OUT", "Shade", "1", "2", "3"}, "takes 0 parameters, got 3"},
        {"AdjustTone short", good, {"IN", "OUT", "AdjustTone", "1", "2"}, "takes 3 parameters, got 2"},
        {"GammaEffect long", good, {"IN", "OUT", "GammaEffect", "1", "2", "3", "4"}, "takes 3 parameters, got 4"},
        {"non-numeric offset", good, {"IN", "OUT", "AdjustTone", "1", "x", "3"}, "P2 is not a 32-bit integer"},
        {"fractional offset", good, {"IN", "OUT", "AdjustTone", "1.5", "0", "3"}, "P1 is not a 32-bit integer"},
        {"offset too large", good, {"IN", "OUT", "AdjustTone", "0", "0", "2147483648"}, "P3 is not a 32-bit integer"},
        {"non-numeric exponent", good, {"IN", "OUT", "GammaEffect", "1", "2", "2x"}, "P3 is not a number"},
        {"rect with three values", good, {"IN", "OUT", "Shade", "--rect", "1,2,3"}, "--rect must be X,Y,W,H"},
        {"rect with text", good, {"IN", "OUT", "Shade", "--rect", "1,a,3,4"}, "--rect Y is not a 32-bit integer"},
        {"rect empty field", good, {"IN", "OUT", "Shade", "--rect=1,,3,4"}, "--rect Y is not a 32-bit integer"},
        {"rect without value", good, {"IN", "OUT", "Shade", "--rect"}, "--rect needs X,Y,W,H"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.file.empty()) WriteBytes("in.bmp", c.file);
        std::vector<std::string> args;
        for (const auto& a : c.args)
            args.push_back(a == "IN" ? Path("in.bmp") : a == "OUT" ? Path("out.bmp") : a == "DIR" ? dir_.string() : a);
        const RunResult r = Run(args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.stderrText.find(c.message), std::string::npos) << r.stderrText;
        EXPECT_EQ(std::count(r.stderrText.begin(), r.stderrText.end(), '\n'), 1) << r.stderrText;
        const std::vector<std::string> expectedFiles =
            c.file.empty() ? std::vector<std::string>{} : std::vector<std::string>{"in.bmp"};
        EXPECT_EQ(Files(), expectedFiles);  // no out.bmp, no temporary file
        fs::remove(Path("in.bmp"));
    }
}

TEST_F(PixdemoTest, FailedRunLeavesAnExistingOutputAlone) {
    WriteBytes("in.bmp", {'n', 'o', 'p', 'e'});
    WriteBytes("out.bmp", {'o', 'l', 'd'});
    EXPECT_NE(Run({Path("in.bmp"), Path("out.bmp"), "Shade"}).exitCode, 0);
    EXPECT_EQ(ReadBytes("out.bmp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

// Turns a demo bitmap (top row first) into the model's image and back.
ref::Image ToModel(const Bitmap& b) {
    ref::Image m(b.width, b.height);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            for (int k = 0; k < 3; ++k) m.at(x, y, k) = b.pixels[(size_t(y) * b.width + x) * 3 + k];
    return m;
}

struct GoodRun {
    const char* name;
    std::vector<std::string> effectArgs;
    ref::Image (*model)(const ref::Image&, const ref::Rect&);
    ref::Rect rect;  // {0,0,0,0}: whole picture, no --rect given
};

TEST_F(PixdemoTest, EffectsMatchTheModelForBottomUpAndTopDownFiles) {
    const std::vector<GoodRun> runs = {
        {"Shade", {"Shade"}, [](const ref::Image& m, const ref::Rect& r) { return ref::Shade(m, r); }, {0, 0, 0, 0}},
        {"Sharp rect", {"Sharp"}, [](const ref::Image& m, const ref::Rect& r) { return ref::Sharp(m, r); }, {2, 1, 4, 3}},
        {"AdjustTone", {"AdjustTone", "30", "-200", "5"},
         [](const ref::Image& m, const ref::Rect& r) { return ref::AdjustTone(m, r, 30, -200, 5); }, {0, 0, 0, 0}},
        {"GammaEffect rect", {"GammaEffect", "0.5", "2", "-1"},
         [](const ref::Image& m, const ref::Rect& r) { return ref::GammaEffect(m, r, 0.5, 2, -1); }, {-3, 2, 5, 9}},
        {"GammaEffect inf nan", {"GammaEffect", "inf", "nan", "0"},
         [](const ref::Image& m, const ref::Rect& r) { return ref::GammaEffect(m, r, HUGE_VAL, NAN, 0); }, {0, 0, 0, 0}},
    };
    const Bitmap input = RandomBitmap(7, 6, 42);
    for (bool topDown : {false, true})
        for (const auto& run : runs) {
            SCOPED_TRACE(std::string(run.name) + (topDown ? " top-down" : " bottom-up"));
            std::vector<uint8_t> file = WriteBmp(input);
            if (topDown) {  // negative height, rows stored top row first
                Bitmap flipped = input;
                for (int y = 0; y < input.height; ++y)
                    std::copy_n(&input.pixels[size_t(input.height - 1 - y) * 21], 21, &flipped.pixels[size_t(y) * 21]);
                file = WriteBmp(flipped);
                const int32_t negative = -input.height;
                std::memcpy(&file[22], &negative, 4);
            }
            WriteBytes("in.bmp", file);
            std::vector<std::string> args = {Path("in.bmp"), Path("out.bmp")};
            args.insert(args.end(), run.effectArgs.begin(), run.effectArgs.end());
            ref::Rect rect = run.rect;
            if (rect.width == 0) rect = {0, 0, input.width, input.height};
            else args.push_back("--rect=" + std::to_string(rect.x) + "," + std::to_string(rect.y) + "," +
                                std::to_string(rect.width) + "," + std::to_string(rect.height));
            const RunResult r = Run(args);
            ASSERT_EQ(r.exitCode, 0) << r.stderrText;
            EXPECT_EQ(r.stderrText, "");
            const std::vector<uint8_t> out = ReadBytes("out.bmp");
            Bitmap result;
            std::string error;
            ASSERT_TRUE(ReadBmp(out.data(), out.size(), result, error)) << error;
            EXPECT_EQ(ToModel(result).bytes, run.model(ToModel(input), rect).bytes);
            EXPECT_EQ(Files(), (std::vector<std::string>{"in.bmp", "out.bmp"}));
            fs::remove(Path("out.bmp"));
        }
}

}  // namespace
