#include <gtest/gtest.h>

#include <algorithm>

#include "Catalogue.h"
#include "ReportFormat.h"

namespace tessaly {
namespace {

TEST(Catalogue, BothTextsSplitIntoNinetyPiecesTheLastEmpty) {
    const auto names = SplitAtCommas(std::string(kCatalogueNamesFirst) + kCatalogueNamesSecond);
    const auto versions = SplitAtCommas(kCatalogueVersions);
    ASSERT_EQ(names.size(), 90u);
    ASSERT_EQ(versions.size(), 90u);
    EXPECT_EQ(names.back(), "");
    EXPECT_EQ(versions.back(), "");
    EXPECT_EQ(SplitAtCommas(kCatalogueNamesFirst).size(), 67u);  // rows 0..65 and the tail
}

TEST(Catalogue, RowsPairNamesWithVersionsByPosition) {
    const auto rows = CatalogueRows();
    ASSERT_EQ(rows.size(), 89u);
    const struct {
        std::size_t row;
        const char* name;
        const char* version;
    } cases[] = {
        {0, "ADODCJP.DLL", "6.0.81.63"},  {2, "ASYCFILT.DLL", "5.1.2600.2180"},
        {21, "imgctl.dll", ""},           {25, "mfc42.dll", "6.2.4131.0"},
        {65, "RDC20JP.DLL", "6.0.81.63"}, {66, "RDO20JP.DLL", "6.0.81.63"},
        {68, "RICHED32.DLL", "5.0.1462.7"}, {78, "vantor.dll", "7.1.0.0"},
        {80, "UNARJ32J.DLL", "0.54.0.3"}, {87, "pixkit.dll", ""},
        {88, "WINSKJP.DLL", "6.0.81.63"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rows[c.row].name, c.name) << "row " << c.row;
        EXPECT_EQ(rows[c.row].version, c.version) << "row " << c.row;
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_LE(rows[k].name.size(), 16u) << rows[k].name;
        if (k != 21 && k != 87) {
            EXPECT_FALSE(rows[k].version.empty()) << "row " << k;
        }
    }
}

TEST(Catalogue, NotUpdatableSearchNeedsTheCommas) {
    const std::string list = kNotUpdatableNames;
    const struct {
        const char* key;
        bool found;
    } cases[] = {
        {",COMCAT.DLL,", true},   {",MFC42.DLL,", true},   {",SHFOLDER.DLL,", true},
        {",OLEAUT32.DLL,", true}, {",COMCAT.DL,", false},  {",OMCAT.DLL,", false},
        {",mfc42.dll,", false},   {",ADODCJP.DLL,", false},
    };
    for (const auto& c : cases) EXPECT_EQ(list.find(c.key) != std::string::npos, c.found) << c.key;
}

TEST(Catalogue, EveryNotUpdatableNameIsACatalogueRow) {
    const auto rows = CatalogueRows();
    auto listed = SplitAtCommas(kNotUpdatableNames);
    ASSERT_EQ(listed.size(), 14u);  // empty pieces before the first and after the last comma
    for (std::size_t i = 1; i + 1 < listed.size(); ++i) {
        const bool inCatalogue = std::any_of(rows.begin(), rows.end(), [&](const CatalogueRow& row) {
            return UpperAscii(row.name) == listed[i];
        });
        EXPECT_TRUE(inCatalogue) << listed[i];
    }
}

TEST(Catalogue, ForeignBuildVersionsArePaddedToTheVersionColumn) {
    for (const char* version : kForeignBuildVersions) EXPECT_EQ(std::string(version).size(), 15u);
}

}  // namespace
}  // namespace tessaly
