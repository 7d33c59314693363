#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "MemoryRegistry.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/Catalogue.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

constexpr std::string_view kSettings = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
const std::string kFrench =
    "Fran\xe7"
    "ais";

class CatalogueTest : public ::testing::Test {
protected:
    Catalogue& catalogue() {
        if (!catalogue_) {
            catalogue_ = std::make_unique<Catalogue>(
                registry, programs.path(),
                [this](const std::string& title, const std::string& text) {
                    failures.emplace_back(title, text);
                });
        }
        return *catalogue_;
    }

    void setLanguage(const RegistryValue& value, std::uint32_t type) {
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::CurrentUser, kSettings)));
        ASSERT_TRUE(test::Succeeded(
            StoreRegistryValue(registry, Hive::CurrentUser, kSettings, "Language", value, type)));
    }

    void writeCatalogue(const std::string& language, std::string_view bytes) {
        programs.write("twmgr.ressource." + language, bytes);
    }

    test::TempFolder programs;
    test::MemoryRegistry registry;
    std::vector<std::pair<std::string, std::string>> failures;

private:
    std::unique_ptr<Catalogue> catalogue_;
};

TEST_F(CatalogueTest, FreshRegistryGetsLanguageEnWrittenAsExpandString) {
    writeCatalogue("EN", "5001\tDisplay Tidewell userspace\r\n");
    EXPECT_EQ(catalogue().language(), "");

    EXPECT_EQ(catalogue().text("5001"), "Display Tidewell userspace");
    EXPECT_EQ(catalogue().language(), "EN");

    const auto key = registry.openKey(Hive::CurrentUser, kSettings);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(registry.queryValue(key, "Language", type, data), 0);
    registry.closeKey(key);
    EXPECT_EQ(type, kRegExpandSz);
    EXPECT_EQ(data, std::string("EN\0", 3));
    EXPECT_EQ(registry.openKeys(), 0u) << "the catalogue left a key open";
    EXPECT_TRUE(failures.empty());
}

// The "Language" value names the catalogue as stored: an empty one becomes
// EN (and is written back), an integer its decimal text.
TEST_F(CatalogueTest, LanguageValueChoosesTheCatalogue) {
    writeCatalogue("EN", "5001\tEnglish\r\n");
    writeCatalogue("FR", "5001\t" + kFrench + "\r\n");
    writeCatalogue("44", "5001\tForty-four\r\n");
    const struct {
        RegistryValue value;
        std::uint32_t type;
        std::string language, text;
    } cases[] = {
        {""s, kRegSz, "EN", "English"},
        {"FR"s, kRegSz, "FR", kFrench},
        {std::int32_t{44}, kRegDword, "44", "Forty-four"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        setLanguage(c.value, c.type);
        Catalogue fresh(registry, programs.path(), nullptr);
        EXPECT_EQ(fresh.text("5001"), c.text);
        EXPECT_EQ(fresh.language(), c.language);
        EXPECT_EQ(FetchRegistryValue(registry, Hive::CurrentUser, kSettings, "Language"),
                  c.language == "EN" ? RegistryValue("EN"s) : c.value);
    }

    // Loaded once: later changes wait for the next start.
    setLanguage("FR"s, kRegSz);
    EXPECT_EQ(catalogue().text("5001"), kFrench);
    setLanguage("EN"s, kRegSz);
    writeCatalogue("FR", "5001\tChanged\r\n");
    EXPECT_EQ(catalogue().text("5001"), kFrench);
}

TEST_F(CatalogueTest, MissingOrMalformedLanguageFileFallsBackToEnSilently) {
    writeCatalogue("EN", "5001\tEnglish\r\n5002\tSecond\r\n");
    for (const auto& language : {"XX"s, "fr"s, "BAD"s, "../EN"s}) {
        SCOPED_TRACE(language);
        writeCatalogue("BAD", "5002\tBad\r\nheading without id\r\n");
        setLanguage(language, kRegSz);
        Catalogue fresh(registry, programs.path(),
                        [this](const std::string& title, const std::string& text) {
                            failures.emplace_back(title, text);
                        });
        EXPECT_EQ(fresh.text("5002"), "Second");
        EXPECT_EQ(fresh.language(), "EN");
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(CatalogueTest, DoubleFailureIsReportedOnceAndLookupsGoOnEmpty) {
    setLanguage("FR"s, kRegSz);
    EXPECT_EQ(catalogue().text("5001"), "");
    EXPECT_EQ(catalogue().text("5101", "x"), "");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].first, "Load ressources");
    EXPECT_EQ(failures[0].second,
              "Unable to load " + (programs.path() / "twmgr.ressource.EN").string() + " file");
    EXPECT_EQ(catalogue().language(), "EN");
}

TEST_F(CatalogueTest, MalformedEnglishCatalogueKeepsItsEarlierLinesAndReports) {
    writeCatalogue("EN", "5001\tTitle\r\nNo id here\r\n5002\tLost\r\n");
    EXPECT_EQ(catalogue().text("5001"), "Title");
    EXPECT_EQ(catalogue().text("5002"), "");
    EXPECT_EQ(failures.size(), 1u);
}

TEST_F(CatalogueTest, LineRules) {
    writeCatalogue("EN",
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
                   "0\tzero\r\n"
                   "10000\tlast id\r\n"
                   "5409\t \xe9\xb0\x00\x81 \r\n"s  // bytes kept as they are
                   "5410\tno line end");
    auto& ressource = catalogue();
    EXPECT_EQ(ressource.text("5401"), "Field name");
    EXPECT_EQ(ressource.text("5402"), "");
    EXPECT_EQ(ressource.text("5403"), "Padded id");
    EXPECT_EQ(ressource.text("5404"), "Fraction dropped");
    EXPECT_EQ(ressource.text("5405"), "second");
    EXPECT_EQ(ressource.text("5406"), "lone CR");
    EXPECT_EQ(ressource.text("5407"), "keeps\na lone LF");
    EXPECT_EQ(ressource.text("5408"), "");
    EXPECT_EQ(ressource.text("0"), "zero");
    EXPECT_EQ(ressource.text("10000"), "last id");
    EXPECT_EQ(ressource.text("5409"), "\xe9\xb0\x00\x81"s);
    EXPECT_EQ(ressource.text("5410"), "no line end");
    EXPECT_TRUE(failures.empty());
}

// Whole files of unusual shape: an empty one loads with every text empty,
// one with CR-only line ends reads line by line, one of NULs and no line end
// is a line without an id.
TEST_F(CatalogueTest, EmptyCrOnlyAndNulFiles) {
    auto& ressource = catalogue();
    writeCatalogue("EMPTY", "");
    EXPECT_TRUE(ressource.loadLanguage("EMPTY"));
    EXPECT_EQ(ressource.table()[5001], "");

    writeCatalogue("CR", "5001\tTitle\r5002\tSecond &1\r\r5003\tlast\r");
    ASSERT_TRUE(ressource.loadLanguage("CR"));
    EXPECT_EQ(ressource.table()[5001], "Title");
    EXPECT_EQ(ressource.table()[5002], "Second &1");
    EXPECT_EQ(ressource.table()[5003], "last");

    writeCatalogue("NUL", std::string(64, '\0'));
    EXPECT_FALSE(ressource.loadLanguage("NUL"));
}

TEST_F(CatalogueTest, LoadFailsAtALineWithoutAnIdInRange) {
    auto& ressource = catalogue();
    for (const auto& bad : {"Heading"s, "10001\tx"s, "-1\tx"s, "   \tx"s, "12a\tx"s, "\tx"s,
                            "99999999999999999999\tx"s}) {
        SCOPED_TRACE(bad);
        writeCatalogue("T", "5401\tkept\r\n" + bad + "\r\n5402\tnever read\r\n");
        EXPECT_EQ(test::FailureText(ressource.loadLanguage("T")),
                  "The catalogue file " + (programs.path() / "twmgr.ressource.T").string() +
                      ": line 2 has no id from 0 to 10000");
        EXPECT_EQ(ressource.table()[5401], "kept");
        EXPECT_EQ(ressource.table()[5402], "");
    }
}

TEST_F(CatalogueTest, LoadClearsTheTableFirstButNotWhenThereIsNoFile) {
    auto& ressource = catalogue();
    writeCatalogue("A", "1\tone\r\n2\ttwo\r\n");
    writeCatalogue("B", "2\tdeux\r\n");
    ASSERT_TRUE(ressource.loadLanguage("A"));

    EXPECT_EQ(
        test::FailureText(ressource.loadLanguage("missing")),
        "There is no catalogue file " + (programs.path() / "twmgr.ressource.missing").string());
    std::filesystem::create_directory(programs.path() / "twmgr.ressource.DIR");
    EXPECT_FALSE(ressource.loadLanguage("DIR"));
    EXPECT_FALSE(ressource.loadLanguage("x/../A")) << "no path outside the folder";
    EXPECT_EQ(ressource.table()[1], "one");

    ASSERT_TRUE(ressource.loadLanguage("B"));
    EXPECT_EQ(ressource.table()[1], "");
    EXPECT_EQ(ressource.table()[2], "deux");
}

TEST_F(CatalogueTest, IdsOutsideTheTableOrNotNumbersGiveEmptyText) {
    writeCatalogue("EN", "0\tzero\r\n10000\tmax\r\n5401\tField name\r\n");
    auto& ressource = catalogue();
    EXPECT_EQ(ressource.text(" 5401 "), "Field name");
    EXPECT_EQ(ressource.text("+5401"), "Field name");
    EXPECT_EQ(ressource.text("5401.9"), "Field name");
    EXPECT_EQ(ressource.text("-0"), "zero");
    for (const auto& id : {"10001"s, "-1"s, "abc"s, ""s, "54 01"s, "5401x"s, "\0"s, "1e3"s,
                           "4294967296"s, std::string(5000, '9')}) {
        EXPECT_EQ(ressource.text(id), "") << id;
    }
}

TEST_F(CatalogueTest, PlaceholdersAreFilledInOrderOnTheGrowingText) {
    writeCatalogue("EN",
                   "5301\tConnection failed to the machine &1. The rasion : &2\r\n"
                   "1\t&2 then &1, &1 again\r\n"
                   "2\t&1|&3\r\n"
                   "3\t&0 &8 && &&1 &7\r\n");
    auto& ressource = catalogue();
    EXPECT_EQ(ressource.text("5301", "10.0.0.1", "timeout"),
              "Connection failed to the machine 10.0.0.1. The rasion : timeout");
    EXPECT_EQ(ressource.text("5301"), "Connection failed to the machine . The rasion : ");
    EXPECT_EQ(ressource.text("1", "A", "B"), "B then A, A again");
    // p1 brings in "&3", which the third step then fills; p3 bringing in
    // "&1" is not filled again.
    EXPECT_EQ(ressource.text("2", "x&3", "", "&1"), "x&1|&1");
    EXPECT_EQ(ressource.text("3", "one", "", "", "", "", "", "seven"), "&0 &8 && &one seven");
}

TEST_F(CatalogueTest, LargeCatalogueLoadsWhole) {
    std::string bytes;
    const std::string text(1000, 'x');
    for (int id = 0; id <= Catalogue::kMaxId; ++id) {
        bytes += std::to_string(id) + "\t " + text + std::to_string(id) + " \r\n";
    }
    ASSERT_GT(bytes.size(), 10'000'000u);
    writeCatalogue("EN", bytes);

    EXPECT_EQ(catalogue().text("7777"), text + "7777");
    EXPECT_EQ(catalogue().table()[10000], text + "10000");
}

TEST(InstalledCatalogue, ServesTheProcessCatalogue) {
    InstallCatalogue(nullptr);
    EXPECT_EQ(InstalledCatalogue(), nullptr);
    EXPECT_EQ(CatalogueText("5001"), "");

    test::TempFolder programs;
    test::MemoryRegistry registry;
    programs.write("twmgr.ressource.EN", "5001\tTitle &1\r\n");
    InstallCatalogue(std::make_unique<Catalogue>(registry, programs.path(), nullptr));
    ASSERT_NE(InstalledCatalogue(), nullptr);
    EXPECT_EQ(CatalogueText("5001", "one"), "Title one");
    InstallCatalogue(nullptr);
}

}  // namespace
}  // namespace twds
