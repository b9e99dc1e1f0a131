// The portable half of Module1: version texts and their order.
#include "Module1.h"

#include <cstdlib>

namespace tessaly {

namespace {

// Reads a text of digits and blanks as a decimal number: blanks (space, tab,
// line feed) are skipped anywhere, reading stops at the first other character
// and a text without a leading digit reads as 0.
double ReadDecimal(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if (c < '0' || c > '9') break;
        digits += c;
    }
    // strtod rounds correctly, so texts beyond 2^53 still order as numbers do.
    return digits.empty() ? 0.0 : std::strtod(digits.c_str(), nullptr);
}

}  // namespace

double VersionToNumber(const std::string& versionText) {
    // Working from the last component to the first, every component gets
    // leading zeros up to four characters; longer components stay whole.
    std::string working = "." + versionText;
    std::string joined;
    while (!working.empty()) {
        const auto dot = working.rfind('.');
        std::string component = working.substr(dot + 1);
        if (component.size() < 4) component.insert(0, 4 - component.size(), '0');
        joined.insert(0, component);
        working.erase(dot);
    }
    return ReadDecimal(joined);
}

std::string FileVersionWordsToText(std::uint32_t fileVersionMS, std::uint32_t fileVersionLS) {
    const auto high = [](std::uint32_t word) { return std::to_string(word >> 16); };
    const auto low = [](std::uint32_t word) { return std::to_string(word & 0xFFFFu); };
    return high(fileVersionMS) + "." + low(fileVersionMS) + "." + high(fileVersionLS) + "." +
           low(fileVersionLS);
}

}  // namespace tessaly
