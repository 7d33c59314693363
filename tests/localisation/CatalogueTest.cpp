#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "MemoryRegistry.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/Catalogue.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

constexpr std::string_view kSettings = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";

class CatalogueTest : public ::testing::Test {
protected:
    // A fresh catalogue, as the viewer makes one at start-up.
    Catalogue& catalogue() {
        catalogue_ = std::make_unique<Catalogue>(
            registry, programs.path(), [this](const std::string& title, const std::string& text) {
                failures.push_back(title + ": " + text);
            });
        return *catalogue_;
    }

    // A catalogue whose English file holds `bytes`.
    Catalogue& english(std::string_view bytes) {
        write("EN", bytes);
        return catalogue();
    }

    void write(const std::string& language, std::string_view bytes) {
        programs.write("twmgr.ressource." + language, bytes);
    }

    [[nodiscard]] std::string file(const std::string& language) const {
        return (programs.path() / ("twmgr.ressource." + language)).string();
    }

    test::TempFolder programs;
    test::MemoryRegistry registry;
    std::vector<std::string> failures;

private:
    std::unique_ptr<Catalogue> catalogue_;
};

// The "Language" value names the catalogue as stored: a missing or empty one
// means EN, written back as REG_EXPAND_SZ; an integer its decimal text. A
// language without a good catalogue falls back to EN without a word.
TEST_F(CatalogueTest, LanguageValueChoosesTheCatalogue) {
    write("FR", "5001\tFran\xe7"s + "ais\r\n");
    write("44", "5001\tForty-four\r\n");
    write("BAD", "5001\tBad\r\nheading without id\r\n");
    EXPECT_EQ(english("5001\tEnglish\r\n").text("5001"), "English");
    const auto key = registry.openKey(Hive::CurrentUser, kSettings);
    std::pair<std::uint32_t, std::string> stored;
    ASSERT_EQ(registry.queryValue(key, "Language", stored.first, stored.second), 0);
    registry.closeKey(key);
    EXPECT_EQ(stored, std::pair(kRegExpandSz, "EN\0"s));

    const struct {
        RegistryValue value;
        std::string language, text;
    } cases[] = {
        {"FR"s, "FR", "Fran\xe7"s + "ais"},
        {std::int32_t{44}, "44", "Forty-four"},
        {""s, "EN", "English"},
        {"XX"s, "EN", "English"},
        {"BAD"s, "EN", "English"},
        {"../EN"s, "EN", "English"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language + " " + c.text);
        ASSERT_TRUE(test::Succeeded(StoreRegistryValue(
            registry, Hive::CurrentUser, kSettings, "Language", c.value,
            std::holds_alternative<std::int32_t>(c.value) ? kRegDword : kRegSz)));
        auto& loaded = catalogue();
        EXPECT_EQ(loaded.text("5001"), c.text);
        EXPECT_EQ(loaded.language(), c.language);
    }
    EXPECT_EQ(registry.openKeys(), 0u) << "the catalogue left a key open";
    EXPECT_TRUE(failures.empty());
}

// A broken English catalogue keeps the lines before the fault, and says so.
TEST_F(CatalogueTest, BrokenEnglishCatalogueIsReported) {
    auto& broken = english("5001\tTitle\r\nNo id here\r\n5002\tLost\r\n");
    EXPECT_EQ(broken.text("5001"), "Title");
    EXPECT_EQ(broken.text("5002"), "");
    EXPECT_EQ(failures, std::vector{"Load ressources: Unable to load " + file("EN") + " file"});
}

#ifdef _WIN32
// On Windows a hidden or system catalogue counts as missing: French falls
// back to English, and a hidden English file is reported.
TEST_F(CatalogueTest, HiddenOrSystemFilesCountAsMissingOnWindows) {
    write("FR", "5001\tFran\xe7"s + "ais\r\n");
    write("EN", "5001\tEnglish\r\n");
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::CurrentUser, kSettings)));
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(registry, Hive::CurrentUser, kSettings, "Language", "FR"s, kRegSz)));
    for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        const std::wstring french = std::filesystem::path(file("FR")).wstring();
        ASSERT_NE(SetFileAttributesW(french.c_str(), attribute), FALSE);
        EXPECT_EQ(catalogue().text("5001"), "English");
        ASSERT_NE(SetFileAttributesW(french.c_str(), FILE_ATTRIBUTE_NORMAL), FALSE);
    }
    EXPECT_EQ(catalogue().text("5001"), "Fran\xe7"s + "ais");

    const std::wstring english = std::filesystem::path(file("EN")).wstring();
    ASSERT_NE(SetFileAttributesW(english.c_str(), FILE_ATTRIBUTE_HIDDEN), FALSE);
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(registry, Hive::CurrentUser, kSettings, "Language", "EN"s, kRegSz)));
    EXPECT_EQ(catalogue().text("5001"), "");
    EXPECT_EQ(failures.size(), 1U);
    SetFileAttributesW(english.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

// Lines as the catalogue reads them; ids out of 0-10000 or not numbers give
// empty text.
TEST_F(CatalogueTest, LineAndIdRules) {
    auto& ressource = english(
        "0\tzero\r\n"
        "10000\tmax\r\n"
        "5401\t  Field name  \tremark\tmore\r\n"  // trimmed, later fields dropped
        "5402\r\n"                                // id only
        "\r\n"                                    // skipped
        " 5403 \tPadded id\r\n"
        "5404.7\tFraction dropped\r\n"
        "5405\tfirst\r\n"
        "5405\tsecond\r\n"
        "5406\tlone CR\r"
        "5407\tkeeps\na lone LF\r\n"
        "5408\t\ttab first\r\n"
        "5409\t \xe9\xb0\x00\x81 \r\n"s  // bytes kept as they are
        "5410\tno line end");
    std::string texts;
    for (int id = 5401; id <= 5410; ++id) {
        texts += ressource.text(std::to_string(id)) + "|";
    }
    EXPECT_EQ(texts,
              "Field name||Padded id|Fraction dropped|second|lone CR|keeps\na lone LF||"
              "\xe9\xb0\x00\x81|no line end|"s);
    EXPECT_TRUE(failures.empty());
    for (const char* id : {" 5403 ", "+5403", "5403.9"}) {
        EXPECT_EQ(ressource.text(id), "Padded id") << id;
    }
    EXPECT_EQ(ressource.text("-0"), "zero");
    EXPECT_EQ(ressource.text("10000"), "max");
    for (const auto& id : {"10001"s, "-1"s, "abc"s, ""s, "54 03"s, "5403x"s, "\0"s, "1e3"s,
                           "4294967296"s, std::string(5000, '9')}) {
        EXPECT_EQ(ressource.text(id), "") << id;
    }
}

// Loading stops at the first line without an id in range, keeping the lines
// before it; a language without a file leaves the table as it was.
TEST_F(CatalogueTest, LoadingStopsAtALineWithoutAnIdInRange) {
    auto& ressource = catalogue();
    for (const auto& bad : {"Heading"s, "10001\tx"s, "-1\tx"s, "   \tx"s, "12a\tx"s,
                            "99999999999999999999\tx"s, std::string(8, '\0')}) {
        SCOPED_TRACE(bad);
        write("T", "5401\tkept\r\n" + bad + "\r\n5402\tnever read\r\n");
        EXPECT_EQ(test::FailureText(ressource.loadLanguage("T")),
                  "The catalogue file " + file("T") + ": line 2 has no id from 0 to 10000");
        EXPECT_EQ(ressource.table()[5401], "kept");
        EXPECT_EQ(ressource.table()[5402], "");
    }

    write("A", "1\tone\r\n");
    ASSERT_TRUE(ressource.loadLanguage("A"));
    EXPECT_FALSE(ressource.loadLanguage("missing"));
    EXPECT_FALSE(ressource.loadLanguage("x/../A")) << "no path outside the folder";
    EXPECT_EQ(ressource.table()[1], "one");
    write("EMPTY", "");
    EXPECT_TRUE(ressource.loadLanguage("EMPTY") && ressource.table()[1].empty());
}

TEST_F(CatalogueTest, PlaceholdersAreFilledInOrderOnTheGrowingText) {
    auto& ressource = english(
        "1\t&2 then &1, &1 again\r\n"
        "2\t&1|&3\r\n"
        "3\t&0 &8 && &&1 &7\r\n");
    EXPECT_EQ(ressource.text("1", "A", "B"), "B then A, A again");
    EXPECT_EQ(ressource.text("1"), " then ,  again");
    // p1 brings in "&3", which the third step then fills; p3 bringing in
    // "&1" is not filled again.
    EXPECT_EQ(ressource.text("2", "x&3", "", "&1"), "x&1|&1");
    EXPECT_EQ(ressource.text("3", "one", "", "", "", "", "", "seven"), "&0 &8 && &one seven");
}

// Beside the program first (a build tree, a Windows install), then the data
// folder of the install the program is in; a folder without the English file
// does not count, and with none the program's own folder is named.
TEST(CatalogueFolder, BesideTheProgramThenInTheInstallsDataFolder) {
    test::TempFolder install;
    const std::filesystem::path bin = install.path() / "bin";
    const std::filesystem::path share = install.path() / "share" / "twDspUsrSpc";
    std::filesystem::create_directories(bin);
    EXPECT_EQ(FindCatalogueFolder(bin), bin);
    install.write("share/twDspUsrSpc/twmgr.ressource.FR", "");
    EXPECT_EQ(FindCatalogueFolder(bin), bin);
    install.write("share/twDspUsrSpc/twmgr.ressource.EN", "");
    EXPECT_EQ(FindCatalogueFolder(bin), share);
    install.write("bin/twmgr.ressource.EN", "");
    EXPECT_EQ(FindCatalogueFolder(bin), bin);
}

// The catalogues the viewer ships, as it loads them: a few texts to the byte,
// the same placeholders in both languages.
TEST(CatalogueTexts, MatchTheViewersWording) {
    const std::filesystem::path data = std::filesystem::path(TWDS_SOURCE_DIR) / "data";
    test::MemoryRegistry registry;
    Catalogue english(registry, data, nullptr);
    Catalogue french(registry, data, nullptr);
    ASSERT_TRUE(english.loadLanguage("EN"));
    ASSERT_TRUE(french.loadLanguage("FR"));
    const auto& en = english.table();
    const auto& fr = french.table();

    EXPECT_EQ(en[5001], "Display Tidewell userspace");
    EXPECT_EQ(fr[5001], "Afficher l'espace de travail");
    EXPECT_EQ(en[5301], "Connection failed to the machine &1. The rasion : &2");
    EXPECT_EQ(fr[5301], "Echec de la connection \xe0 la machine &1. La cause : &2");
    EXPECT_EQ(en[5633], "ZC Offset") << "the leading blank is trimmed on loading";
    EXPECT_EQ(en[5830], "Last logical N\xb0 of RCV processed");

    for (std::size_t id = 0; id <= Catalogue::kMaxId; ++id) {
        for (const char* marker : {"&1", "&2", "&3", "&4", "&5", "&6", "&7"}) {
            EXPECT_EQ(en[id].find(marker) == std::string::npos,
                      fr[id].find(marker) == std::string::npos)
                << id << " " << marker;
        }
    }
}

}  // namespace
}  // namespace twds
