#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "twds/Messages.h"
#include "twds/StatusMessages.h"

namespace twds {
namespace {

TEST(MessagesTest, PlaceholdersAreFilledInOnePass) {
    // A value that holds a placeholder stays as it is.
    EXPECT_EQ(FillPlaceholders("Connection failed to &1. The reason: &2", {"10.0.0.1&2", "down"}),
              "Connection failed to 10.0.0.1&2. The reason: down");
    EXPECT_EQ(FillPlaceholders("&2 before &1&1", {"one", "two"}), "two before oneone");
    // Missing values are empty; "&" before anything but a digit 1-9 stays.
    EXPECT_EQ(FillPlaceholders("a&3b R&D &0 & &&1", {"x"}), "ab R&D &0 & &x");
    // A value's control bytes are escaped, the text's own line ends are not.
    EXPECT_EQ(FillPlaceholders("name &1\n", {std::string_view("A\0B\x1b[2J\n\x7f", 9)}),
              "name A\\x00B\\x1B[2J\\x0A\\x7F\n");
}

// The built-in texts stand in for the English catalogue: they must say the
// same thing.
TEST(MessagesTest, BuiltInTextsAreTheEnglishCatalogues) {
    std::ifstream file(std::string(TWDS_SOURCE_DIR) + "/data/twmgr.ressource.EN", std::ios::binary);
    std::map<int, std::string> catalogue;
    for (std::string line; std::getline(file, line);) {
        if (const std::size_t tab = line.find('\t'); tab != std::string::npos) {
            catalogue[std::stoi(line.substr(0, tab))] =
                line.substr(tab + 1, line.find('\r') - tab - 1);
        }
    }
    int compared = 0;
    for (int id = 5300; id < 5500; ++id) {
        if (!BuiltInMessage(id).empty()) {
            EXPECT_EQ(BuiltInMessage(id), catalogue[id]) << "id " << id;
            ++compared;
        }
    }
    EXPECT_GE(compared, 20);
    EXPECT_EQ(BuiltInMessages()(5302, {"Z", "2560", "host down"}),
              "Page Z (position 2560) could not be retrieved. The reason: host down");
    EXPECT_EQ(BuiltInMessages()(42, {"x"}), "");
}

}  // namespace
}  // namespace twds
