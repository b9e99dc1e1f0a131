// The portable half of mdlFileInfo: language ids and their display names.
#include "mdlFileInfo.h"

#include <cstdio>

namespace tessaly {

namespace {

struct LanguageRow {
    const char* idText;
    const char* name;
};

// Searched in this order; the id texts are distinct.
constexpr LanguageRow kLanguages[] = {
    {"0401", "Arabic"},
    {"0402", "Bulgarian"},
    {"0403", "Catalan"},
    {"0404", "Traditional Chinese"},
    {"0405", "Czech"},
    {"0406", "Danish"},
    {"0407", "German"},
    {"0408", "Greek"},
    {"0409", "U.S. English"},
    {"040A", "Castilian Spanish"},
    {"040B", "Finnish"},
    {"040C", "French"},
    {"040D", "Hebrew"},
    {"040E", "Hungarian"},
    {"040F", "Icelandic"},
    {"0410", "Italian"},
    {"0411", "Japanese"},
    {"0412", "Korean"},
    {"0413", "Dutch"},
    {"0414", "Norwegian ? Bokmal"},
    {"0810", "Swiss Italian"},
    {"0813", "Belgian Dutch"},
    {"0814", "Norwegian ? Nynorsk"},
    {"0415", "Polish"},
    {"0416", "Portuguese (Brazil)"},
    {"0417", "Rhaeto-Romanic"},
    {"0418", "Romanian"},
    {"0419", "Russian"},
    {"041A", "Croato-Serbian (Latin)"},
    {"041B", "Slovak"},
    {"041C", "Albanian"},
    {"041D", "Swedish"},
    {"041E", "Thai"},
    {"041F", "Turkish"},
    {"0420", "Urdu"},
    {"0421", "Bahasa"},
    {"0804", "Simplified Chinese"},
    {"0807", "Swiss German"},
    {"0809", "U.K. English"},
    {"080A", "Mexican Spanish"},
    {"080C", "Belgian French"},
    {"0C0C", "Canadian French"},
    {"100C", "Swiss French"},
    {"0816", "Portuguese (Portugal)"},
    {"081A", "Serbo-Croatian (Cyrillic)"},
    {"0000", "Neutral Language"},
};

}  // namespace

std::string LanguageIdText(std::int16_t languageId) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(static_cast<std::uint16_t>(languageId)));
    return text;
}

std::vector<std::string> LanguageNames() {
    std::vector<std::string> names;
    for (const auto& row : kLanguages) names.push_back(row.name);
    return names;
}

std::string LanguageIdToName(const std::string& languageIdText) {
    for (const auto& row : kLanguages) {
        if (languageIdText == row.idText) return row.name;
    }
    return {};
}

}  // namespace tessaly
