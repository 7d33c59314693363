#include "twds/Messages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "twds/StatusMessages.h"

namespace twds {
namespace {

TEST(MessagesTest, PlaceholdersAreFilledInOnePass) {
    // A value that holds a placeholder stays as it is: the address names the
    // machine, nothing is spliced into it.
    EXPECT_EQ(FillPlaceholders("Connection failed to &1. The reason: &2", {"10.0.0.1&2", "down"}),
              "Connection failed to 10.0.0.1&2. The reason: down");
    EXPECT_EQ(FillPlaceholders("&2 before &1", {"one", "two"}), "two before one");
    EXPECT_EQ(FillPlaceholders("&1&1", {"x"}), "xx");
    // Missing values are empty; "&" before anything but a digit 1-9 stays.
    EXPECT_EQ(FillPlaceholders("a&3b", {"x"}), "ab");
    EXPECT_EQ(FillPlaceholders("R&D &0 &", {"x"}), "R&D &0 &");
    EXPECT_EQ(FillPlaceholders("&&1", {"x"}), "&x");
    // A value's control bytes are escaped, the text's own line ends are not.
    EXPECT_EQ(FillPlaceholders("name &1\n", {std::string_view("A\0B\x1b[2J\n\x7f", 9)}),
              "name A\\x00B\\x1B[2J\\x0A\\x7F\n");
}

// The name a status message gives the page a failure happened on.
TEST(MessagesTest, APageKindIsNamedAfterItsTab) {
    EXPECT_EQ(PageListName('C'), "CX");
    EXPECT_EQ(PageListName('G'), "GC");
    EXPECT_EQ(PageListName('E'), "End_TW");
    EXPECT_EQ(PageListName('F'), "FC");
    EXPECT_EQ(PageListName('Z'), "ZC");
    EXPECT_EQ(PageListName('S'), "SQL");
    EXPECT_EQ(PageListName('X'), "");
    EXPECT_EQ(PageListName('c'), "");
}

TEST(MessagesTest, BuiltInTextsExplainFailuresWithoutACatalogue) {
    const MessageLookup lookup = BuiltInMessages();
    EXPECT_EQ(lookup(5302, {"Z", "2560", "host down"}),
              "Page Z (position 2560) could not be retrieved. The reason: host down");
    EXPECT_EQ(lookup(5316, {}),
              "Enter the machine's IP address and the user space name, then press Display.");
    EXPECT_EQ(lookup(42, {"x"}), "");
}

// The built-in texts stand in for the English catalogue: they must say the
// same thing.
TEST(MessagesTest, BuiltInTextsAreTheEnglishCatalogues) {
    std::ifstream file(std::string(TWDS_SOURCE_DIR) + "/data/twmgr.ressource.EN", std::ios::binary);
    ASSERT_TRUE(file) << "the English catalogue is missing";
    std::map<int, std::string> catalogue;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            catalogue[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
        }
    }
    int compared = 0;
    for (int id = 5300; id < 5400; ++id) {
        if (!BuiltInMessage(id).empty()) {
            EXPECT_EQ(BuiltInMessage(id), catalogue[id]) << "id " << id;
            ++compared;
        }
    }
    EXPECT_GE(compared, 20);
}

}  // namespace
}  // namespace twds
