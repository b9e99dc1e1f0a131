// pixdemo - applies one pixkit effect to a 24-bit BMP file.
//
//   pixdemo INPUT.bmp OUTPUT.bmp EFFECT [P1 P2 P3] [--rect X,Y,W,H]
//
// EFFECT is Shade, Sharp, AdjustTone (three integer offsets) or GammaEffect
// (three exponents); parameters are for red, green, blue (byte 2, 1, 0 of a
// BMP pixel). The rectangle counts Y from the top row and defaults to the
// whole picture. The plug-in is loaded at run time and its effects are found
// by their export names, as any host application does.
//
// Any failure prints one line on stderr and exits with 1; the output is
// written to a temporary file and renamed only once complete, so a failed
// run leaves no output file.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <unistd.h>
#endif

#include "bmp.h"
#include "host/vantor.h"
#include "pixkit.h"

namespace {

struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw Failure{message}; }

const char kUsage[] =
    "usage: pixdemo INPUT.bmp OUTPUT.bmp EFFECT [P1 P2 P3] [--rect X,Y,W,H]";

// ---- Command line ----------------------------------------------------------

struct Options {
    std::string input, output, effect;
    std::vector<std::string> params;
    std::optional<std::string> rect;
};

Options ParseCommandLine(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rect") {
            if (i + 1 >= argc) Fail("--rect needs X,Y,W,H");
            o.rect = argv[++i];
        } else if (arg.rfind("--rect=", 0) == 0) {
            o.rect = arg.substr(7);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 3) Fail(kUsage);
    o.input = positional[0];
    o.output = positional[1];
    o.effect = positional[2];
    o.params.assign(positional.begin() + 3, positional.end());

    const bool filter = o.effect == "Shade" || o.effect == "Sharp";
    const bool tone = o.effect == "AdjustTone" || o.effect == "GammaEffect";
    if (!filter && !tone)
        Fail("unknown effect '" + o.effect + "' (use Shade, Sharp, AdjustTone or GammaEffect)");
    const size_t wanted = filter ? 0 : 3;
    if (o.params.size() != wanted)
        Fail(o.effect + " takes " + std::to_string(wanted) + " parameters, got " +
             std::to_string(o.params.size()));
    return o;
}

int32_t ParseInt(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        Fail(what + " is not a 32-bit integer: '" + text + "'");
    return int32_t(value);
}

double ParseDouble(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') Fail(what + " is not a number: '" + text + "'");
    return value;  // inf and nan are allowed: the effect defines them
}

struct Rect {
    int32_t x, y, width, height;
};

Rect ParseRect(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',') parts.emplace_back();
        else parts.back() += c;
    }
    if (parts.size() != 4) Fail("--rect must be X,Y,W,H, got '" + text + "'");
    return {ParseInt(parts[0], "--rect X"), ParseInt(parts[1], "--rect Y"),
            ParseInt(parts[2], "--rect W"), ParseInt(parts[3], "--rect H")};
}

// ---- Files -------------------------------------------------------------------

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) Fail("cannot read " + path + ": is a directory");
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) Fail("cannot open " + path + ": " + std::strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) Fail("cannot read " + path);
    return bytes;
}

// Writes beside the target and renames, so the target appears only complete.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = path + ".pixdemo-tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) Fail("cannot create " + temp + ": " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (written && closed) std::filesystem::rename(temp, path, ec);
    if (!written || !closed || ec) {
        std::filesystem::remove(temp, ec);
        Fail("cannot write " + path);
    }
}

// ---- The plug-in -----------------------------------------------------------

struct Plugin {
    PixkitFilterFn shade = nullptr, sharp = nullptr;
    PixkitAdjustToneFn adjustTone = nullptr;
    PixkitGammaEffectFn gammaEffect = nullptr;
};

#if defined(_WIN32)
template <typename Fn>
Fn Find(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

Plugin LoadPlugin() {
    HMODULE module = LoadLibraryA("pixkit.dll");  // the program's folder comes first
    if (module == nullptr) Fail("cannot load pixkit.dll (error " + std::to_string(GetLastError()) + ")");
    return {Find<PixkitFilterFn>(module, "Shade"), Find<PixkitFilterFn>(module, "Sharp"),
            Find<PixkitAdjustToneFn>(module, "AdjustTone"), Find<PixkitGammaEffectFn>(module, "GammaEffect")};
}
#else
template <typename Fn>
Fn Find(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

// pixkit.so is looked for beside this program.
Plugin LoadPlugin() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string path = (ec ? std::filesystem::path(".") : self.parent_path()) / "pixkit.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) Fail(std::string("cannot load plug-in: ") + dlerror());
    return {Find<PixkitFilterFn>(module, "Shade"), Find<PixkitFilterFn>(module, "Sharp"),
            Find<PixkitAdjustToneFn>(module, "AdjustTone"), Find<PixkitGammaEffectFn>(module, "GammaEffect")};
}
#endif

// ---- Main --------------------------------------------------------------------

void Run(int argc, char** argv) {
    const Options o = ParseCommandLine(argc, argv);
    // Check every parameter before touching any file.
    int32_t offsets[3] = {0, 0, 0};
    double exponents[3] = {1, 1, 1};
    const char* names[3] = {"P1", "P2", "P3"};
    for (size_t i = 0; i < o.params.size(); ++i) {
        if (o.effect == "AdjustTone") offsets[i] = ParseInt(o.params[i], names[i]);
        else exponents[i] = ParseDouble(o.params[i], names[i]);
    }
    std::optional<Rect> rect;
    if (o.rect) rect = ParseRect(*o.rect);

    const std::vector<uint8_t> file = ReadFile(o.input);
    Bitmap bitmap;
    std::string error;
    if (!ReadBmp(file.data(), file.size(), bitmap, error)) Fail(o.input + ": " + error);
    const Rect r = rect.value_or(Rect{0, 0, bitmap.width, bitmap.height});

    const Plugin plugin = LoadPlugin();
    if (!plugin.shade || !plugin.sharp || !plugin.adjustTone || !plugin.gammaEffect)
        Fail("the plug-in lacks one of its four exports");

    VANTOR image(bitmap.width, bitmap.height);
    if (image.Width() != bitmap.width) Fail(o.input + ": picture too large");
    const size_t rowBytes = size_t(bitmap.width) * 3;
    for (int32_t y = 0; y < bitmap.height; ++y)
        std::memcpy(image.PixelAt(0, y), &bitmap.pixels[y * rowBytes], rowBytes);

    if (o.effect == "Shade") plugin.shade(&image, r.x, r.y, r.width, r.height);
    else if (o.effect == "Sharp") plugin.sharp(&image, r.x, r.y, r.width, r.height);
    else if (o.effect == "AdjustTone")
        plugin.adjustTone(&image, r.x, r.y, r.width, r.height, offsets[0], offsets[1], offsets[2]);
    else
        plugin.gammaEffect(&image, r.x, r.y, r.width, r.height, exponents[0], exponents[1], exponents[2]);

    for (int32_t y = 0; y < bitmap.height; ++y)
        std::memcpy(&bitmap.pixels[y * rowBytes], image.PixelAt(0, y), rowBytes);
    WriteFileAtomically(o.output, WriteBmp(bitmap));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Run(argc, argv);
        return 0;
    } catch (const Failure& f) {
        std::fprintf(stderr, "pixdemo: %s\n", f.message.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pixdemo: %s\n", e.what());
    }
    return 1;
}
