#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "ResultAssertions.h"
#include "twds/ModelWriter.h"
#include "twds/SavedUserSpaceFile.h"
#include "twds/SyntheticModel.h"

namespace twds {
namespace {

using namespace std::string_literals;

// A description written as a saved user space and read back; a description
// that cannot be written leaves no file and says why in `error`.
struct Written {
    std::unique_ptr<SavedUserSpaceFile> file;
    std::vector<std::string> warnings;
    std::string error;
};

Written Write(const std::string& description) {
    Written written;
    const auto model = ModelDescription::parse(description, "test.model");
    if (!model) {
        written.error = model.error();
        return written;
    }
    written.warnings = model->warnings;
    std::ostringstream out;
    UserSpaceWriter writer(out);
    if (const Status modelWritten = ModelWriter::write(*model, writer); !modelWritten) {
        written.error = modelWritten.error();
    } else {
        written.file =
            test::ValueOr(SavedUserSpaceFile::parse(out.str(), "test.twus"), written.error);
        EXPECT_NE(written.file, nullptr) << written.error;
    }
    return written;
}

const std::string kTwoFiles = R"(# two files, the second without SQL
[CX]
Version = V05R02M00
LocalName = "  PRODSRC"
Internal5 = "\x00A\x00\xE9"

[GC]
Model = 001
MaxCountEntry = 1000
ExtendedSequence = 12345678901234567890123

[END_TW]
ENDTW001  Window closes at 23:00.
# not a comment here

[FILE CUSTMAST01]
zc = P |7|0|1|4|1|4|1
zc = Z|A |40|0|5|40|5|40|0
sql.insert = INSERT INTO R.CUSTMAST (A, B) VALUES (?, ?)
sql.delete = DELETE FROM R.CUSTMAST WHERE A = ?

[FILE AUDITLOG01]
zc = "Z "|26|0|1|26|1|26|1
)";

// Fields at their 1-based positions in each page, written out: a field
// placed by a swapped or resized layout entry shows.
TEST(TwusMake, PlacesEveryValueInItsFieldAndPageAtItsPosition) {
    const auto [file, warnings, error] = Write(kTwoFiles);
    ASSERT_NE(file, nullptr) << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("line 10: ExtendedSequence holds 23 bytes"), std::string::npos);
    EXPECT_EQ(file->pageCount(), 8u) << "C, G, E, two F, two Z and one S";
    const auto field = [&](char kind, std::uint32_t page, std::size_t position, std::size_t width) {
        const auto text = file->page(kind, page);
        return text ? std::string(text->substr(position - 1, width)) : "(no page)";
    };

    ASSERT_EQ(file->page('C', 1024)->size(), 249u);
    EXPECT_EQ(field('C', 1024, 2, 10), "V05R02M00 ");
    EXPECT_EQ(field('C', 1024, 92, 10), "  PRODSRC ");         // LocalName
    EXPECT_EQ(field('C', 1024, 178, 10), "\0A\0\xE9      "s);  // Internal5

    const std::string endTw = "ENDTW001  Window closes at 23:00.\n# not a comment here";
    ASSERT_EQ(file->page('G', 1024)->size(), 973u);
    EXPECT_EQ(field('G', 1024, 481, 10), "0000000002");  // NbrOfFC
    EXPECT_EQ(field('G', 1024, 531, 10), "0000002048");  // EndTwOffset
    EXPECT_EQ(field('G', 1024, 541, 10), "00000000" + std::to_string(endTw.size()));
    EXPECT_EQ(field('G', 1024, 914, 10), "0000001000");  // MaxCountEntry
    EXPECT_EQ(file->page('E', 2048 + 1024), endTw);

    const std::string insertSql = "INSERT INTO R.CUSTMAST (A, B) VALUES (?, ?)";
    const std::string deleteSql = "DELETE FROM R.CUSTMAST WHERE A = ?";
    ASSERT_EQ(file->page('F', 2048)->size(), 592u);
    EXPECT_EQ(field('F', 2048, 1, 11), "FCUSTMAST01");
    EXPECT_EQ(field('F', 2048, 191, 10), "0000000002");  // NumberOfZC
    EXPECT_EQ(field('F', 2048, 211, 10), "0000000738");  // OffsetOfInsert: 592 + 2 * 73
    EXPECT_EQ(field('F', 2048, 221, 10), "0000000791");  // OffsetOfUpdate
    EXPECT_EQ(field('F', 2048, 241, 10), "0000000845");  // OffsetOfClrPfm
    EXPECT_EQ(file->page('Z', 2048),
              "ZP 000000000700000000000000000001000000000400000000010000000004000000000"
              "1"
              "ZA 000000004000000000000000000005000000004000000000050000000040000000000"
              "0");
    EXPECT_EQ(file->page('S', 2048 + 738),
              "0000000043" + insertSql + "0000000000" + "0000000034" + deleteSql + "0000000000");

    EXPECT_EQ(field('Z', 2560, 1, 4), "ZZ 0") << "eight fields: Page is Z";
}

// Descriptions that cannot be written, each with a part of its message: the
// line at fault, or why the viewer could not read the model.
TEST(TwusMake, BadDescriptionsAreRefusedWithTheirReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"[CX]\nVersion = 1\nVersoin = 2\n",
         "test.model: line 3: no field named \"Versoin\" in this section (field names are "
         "those of the page layout, such as Version, NbrOfFC, FicID or RecoveryType)."},
        {"[CX]\nVersion = 1\n\nVersion = 2\n", "line 4: Version is already set at line 2"},
        {"Version = 1\n", "line 1: a value before any section"},
        {"[PAGE]\n", "line 1: unknown section [PAGE]"},
        {"[FILE ABCDEFGHIJK]\n", "1 to 10 characters"},
        {"[FILE A]\nzc = 1|2|3\n", "line 2: a ZC entry has 9 fields"},
        {"[CX]\nVersion = a\\qb\n", "line 2: unknown escape \\q"},
        {"[GC]\nEndTwOffset = 100\n",
         "END_TW Offset is above 0 but the model has no [END_TW] section."},
        {"[FILE A]\nsql.insert = X\nOffsetOfInsert = 0\n",
         "File A: it has SQL statements but its Offset of Insert is 0"},
        {"[FILE A]\nOffsetOfInsert = 40\n", "has no sql.* statement"},
        {"[FILE A]\nsql.insert = X\nOffsetOfInsert = 99999999\n", "beyond the 8-digit positions"},
    };
    for (const auto& [description, reason] : cases) {
        SCOPED_TRACE(description);
        const Written written = Write(description);
        EXPECT_EQ(written.file, nullptr);
        EXPECT_NE(written.error.find(reason), std::string::npos) << written.error;
    }
}

// The bundled sample and the model of the checked-in exports.
TEST(TwusMake, SavedModelsAreWhatTheirDescriptionsWrite) {
    const std::string root = TWDS_SOURCE_DIR "/";
    for (const auto& [folder, name, saved] :
         {std::tuple<std::string, std::string, std::string>{"samples/", "TWMODEL001",
                                                            "127.0.0.1/TWMODEL001.twus"},
          {"tests/data/models/", "EDGEMODL01", "../store/10.0.0.9/EDGEMODL01.twus"}}) {
        SCOPED_TRACE(name);
        std::ifstream descriptionStream(root + folder + name + ".model", std::ios::binary);
        std::ifstream savedStream(root + folder + saved, std::ios::binary);
        ASSERT_TRUE(descriptionStream && savedStream);
        const std::string description((std::istreambuf_iterator<char>(descriptionStream)), {});
        const std::string savedText((std::istreambuf_iterator<char>(savedStream)), {});

        const auto model = ModelDescription::parse(description, name + ".model");
        ASSERT_TRUE(test::Succeeded(model));
        EXPECT_TRUE(model->warnings.empty()) << model->warnings.front();
        std::ostringstream out;
        UserSpaceWriter writer(out);
        writer.comment("Written by twus_make from " + name + ".model.");
        ASSERT_TRUE(test::Succeeded(ModelWriter::write(*model, writer)));
        EXPECT_TRUE(out.str() == savedText)
            << folder + saved << " is out of date: regenerate it with twus_make";
    }
}

// twus_make --generate, for the benchmarks: the asked files and ZC entries.
TEST(TwusMake, GeneratedModelHasTheAskedShape) {
    const SyntheticModel model(3, 5, true, true);
    std::ostringstream out;
    UserSpaceWriter writer(out);
    ASSERT_TRUE(test::Succeeded(ModelWriter::write(
        model.head(), model.fileCount(), [&model](std::size_t i) { return model.file(i); },
        writer)));
    std::string error;
    const auto file = test::ValueOr(SavedUserSpaceFile::parse(out.str(), "generated"), error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(file->page('G', 1024)->substr(480, 10), "0000000003");
    EXPECT_EQ(file->page('Z', 2048 + 2 * 512)->size(), 5u * 73);
    EXPECT_EQ(file->pageCount(), 2u + 1 + 3 * 3) << "C, G, E and an F, Z and S per file";
}

}  // namespace
}  // namespace twds
