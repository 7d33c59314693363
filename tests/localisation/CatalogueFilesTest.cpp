#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MemoryRegistry.h"
#include "TempFolder.h"
#include "twds/Catalogue.h"

namespace twds {
namespace {

const std::filesystem::path kDataFolder = std::filesystem::path(TWDS_SOURCE_DIR) / "data";
const char* const kLanguages[] = {"EN", "FR"};

// The ids of the inclusive ranges given.
std::vector<int> Ids(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> ids;
    for (const auto& [first, last] : ranges) {
        for (int id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    }
    return ids;
}

// Every id the viewer looks up.
std::set<int> RequiredIds() {
    const auto ids = Ids({{5001, 5001},
                          {5101, 5103},
                          {5251, 5252},
                          {5301, 5334},
                          {5340, 5366},
                          {5370, 5372},
                          {5401, 5437},
                          {5501, 5524},
                          {5601, 5640},
                          {5701, 5709},
                          {5751, 5751},
                          {5801, 5832}});
    return {ids.begin(), ids.end()};
}

// The ids of each line of a catalogue file, in file order.
std::vector<int> LineIds(const std::string& bytes) {
    std::vector<int> ids;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        const auto line = bytes.substr(start, end - start);
        ids.push_back(std::stoi(line.substr(0, line.find('\t'))));
        start = end == std::string::npos ? bytes.size() : end + 2;
    }
    return ids;
}

class CatalogueFiles : public ::testing::TestWithParam<const char*> {
protected:
    // The file's name, in the source tree and beside the programs alike.
    [[nodiscard]] std::string name() const { return std::string("twmgr.ressource.") + GetParam(); }

    // The catalogue as the viewer loads it.
    const std::array<std::string, Catalogue::kMaxId + 1>& table() {
        if (!loaded_) {
            loaded_ = std::make_unique<Catalogue>(registry_, kDataFolder, nullptr);
            EXPECT_TRUE(loaded_->loadLanguage(GetParam()));
        }
        return loaded_->table();
    }

private:
    test::MemoryRegistry registry_;
    std::unique_ptr<Catalogue> loaded_;
};

TEST_P(CatalogueFiles, AreWindows1252WithCrLfLineEnds) {
    const auto bytes = test::ReadBytes(kDataFolder / name());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at " << i;
        } else if (byte == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at " << i;
        } else if (byte < 0x20) {
            ASSERT_EQ(byte, '\t') << "control byte at " << i;
        }
        // Bytes that Windows-1252 leaves undefined, and the lead bytes of
        // UTF-8 sequences followed by a continuation byte.
        ASSERT_TRUE(byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D)
            << "undefined byte at " << i;
        if (byte >= 0xC2 && byte <= 0xF4 && i + 1 < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[i + 1]);
            ASSERT_FALSE(next >= 0x80 && next <= 0xBF) << "UTF-8 sequence at " << i;
        }
    }
}

TEST_P(CatalogueFiles, HoldEveryIdOnceWithAText) {
    const auto ids = LineIds(test::ReadBytes(kDataFolder / name()));
    const std::set<int> unique(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), ids.size()) << "an id appears twice";
    EXPECT_EQ(unique, RequiredIds());
    for (const int id : RequiredIds()) {
        EXPECT_FALSE(table()[static_cast<std::size_t>(id)].empty()) << id;
    }
}

TEST_P(CatalogueFiles, LabelsAreUniqueWithinEachList) {
    constexpr std::pair<int, int> kReadable{5801, 5832};
    const std::map<std::string, std::pair<std::vector<int>, std::vector<std::string>>> lists = {
        {"CX", {Ids({{5403, 5437}}), {}}},
        {"GC",
         {Ids({{5501, 5524}, kReadable}),
          {"MaxCountEntry", "MaxTimeEntry", "Extended Sequence", "Extended Sequence Reprise"}}},
        {"FC",
         {Ids({{5602, 5640}, kReadable}), {"Extended Sequence", "Extended Sequence Reprise"}}},
        {"ZC", {Ids({{5701, 5709}}), {}}},
    };
    for (const auto& [list, labels] : lists) {
        std::map<std::string, int> seen;
        for (const int id : labels.first) {
            const auto& text = table()[static_cast<std::size_t>(id)];
            const auto [where, added] = seen.emplace(text, id);
            EXPECT_TRUE(added) << list << ": " << id << " repeats " << where->second;
        }
        for (const auto& fixed : labels.second) {
            EXPECT_EQ(seen.count(fixed), 0u) << list << ": " << fixed;
        }
    }
}

TEST_P(CatalogueFiles, AreCopiedBesideThePrograms) {
    EXPECT_EQ(test::ReadBytes(std::filesystem::path(TWDS_BINARY_DIR) / "bin" / name()),
              test::ReadBytes(kDataFolder / name()));
}

INSTANTIATE_TEST_SUITE_P(Languages, CatalogueFiles, ::testing::ValuesIn(kLanguages));

// The texts other windows rely on, in both languages, to the byte.
TEST(CatalogueTexts, MatchTheViewersWording) {
    test::MemoryRegistry registry;
    Catalogue english(registry, kDataFolder, nullptr);
    Catalogue french(registry, kDataFolder, nullptr);
    ASSERT_TRUE(english.loadLanguage("EN"));
    ASSERT_TRUE(french.loadLanguage("FR"));
    const auto& en = english.table();
    const auto& fr = french.table();

    EXPECT_EQ(en[5001], "Display Tidewell userspace");
    EXPECT_EQ(fr[5001], "Afficher l'espace de travail");
    EXPECT_EQ(en[5101], "&Display");
    EXPECT_EQ(fr[5103], "&Exporter");
    EXPECT_EQ(en[5301], "Connection failed to the machine &1. The rasion : &2");
    EXPECT_EQ(fr[5301], "Echec de la connection \xe0 la machine &1. La cause : &2");
    EXPECT_EQ(en[5417], "Error com");
    EXPECT_EQ(fr[5417], "Fen\xeatre de com si erreur");
    EXPECT_EQ(fr[5428], "Date de d\xe9marrage");
    EXPECT_EQ(en[5601], "File N\xb0 :");
    EXPECT_EQ(fr[5601], "Fichier N\xb0 :");
    EXPECT_EQ(en[5633], "ZC Offset") << "the leading blank is trimmed on loading";
    EXPECT_EQ(en[5804], "Internal logical number");
    EXPECT_EQ(en[5830], "Last logical N\xb0 of RCV processed");
    EXPECT_EQ(fr[5708],
              "Long Buffer zone d'entr\xe9"
              "e \xe9tendue");
    EXPECT_EQ(fr[5751], "Requ\xeate");

    // Both languages fill the same placeholders.
    for (int id = 0; id <= Catalogue::kMaxId; ++id) {
        for (const char* marker : {"&1", "&2", "&3", "&4", "&5", "&6", "&7"}) {
            EXPECT_EQ(en[static_cast<std::size_t>(id)].find(marker) == std::string::npos,
                      fr[static_cast<std::size_t>(id)].find(marker) == std::string::npos)
                << id << " " << marker;
        }
    }
}

}  // namespace
}  // namespace twds
