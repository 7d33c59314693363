#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "ResultAssertions.h"
#include "twds/ModelWriter.h"
#include "twds/PageLayout.h"
#include "twds/SavedUserSpaceFile.h"
#include "twds/SyntheticModel.h"

namespace twds {
namespace {

using namespace std::string_literals;

// The characters of a named field in a page built from these tables, laid
// one after the other from `start`.
std::string_view Field(std::string_view page, std::span<const layout::FieldSpec> fields,
                       std::string_view name, std::size_t start = 0) {
    std::size_t offset = start;
    for (const auto& field : fields) {
        if (field.name == name) {
            return page.substr(offset, static_cast<std::size_t>(field.width));
        }
        offset += static_cast<std::size_t>(field.width);
    }
    ADD_FAILURE() << "no field " << name;
    return {};
}

constexpr std::size_t kGCBlockStart = layout::TotalWidth(layout::kGC);
constexpr std::size_t kFCBlockStart = layout::TotalWidth(layout::kFC);

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
Tempo = 30

[GC]
Model = 001
MaxCountEntry = 1000
ExtendedSequence = 12345678901234567890123

[GC.block]
RecoveryType = J
Errors = 3

[END_TW]
ENDTW001  Window closes at 23:00.
# not a comment here

[FILE CUSTMAST01]
SourceFile = "CUSTMAST  SALESLIB  *FIRST    "
zc = P |7|0|1|4|1|4|1
zc = Z|A |40|0|5|40|5|40|0
sql.insert = INSERT INTO R.CUSTMAST (A, B) VALUES (?, ?)
sql.delete = DELETE FROM R.CUSTMAST WHERE A = ?

[FILE AUDITLOG01]
zc = "Z "|26|0|1|26|1|26|1

[FILE CUSTMAST01.block]
Member = CUSTMAST
)";

TEST(TwusMake, PlacesEveryValueInItsFieldAndPageAtItsPosition) {
    const auto [file, warnings, error] = Write(kTwoFiles);
    ASSERT_NE(file, nullptr) << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("line 11: ExtendedSequence holds 23 bytes"), std::string::npos);

    const auto cx = file->page('C', 1024);
    ASSERT_TRUE(cx);
    ASSERT_EQ(cx->size(), 249u);
    EXPECT_EQ(Field(*cx, layout::kCX, "Page"), "C");
    EXPECT_EQ(Field(*cx, layout::kCX, "Version"), "V05R02M00 ");
    EXPECT_EQ(Field(*cx, layout::kCX, "GC"), "0000001024");
    EXPECT_EQ(Field(*cx, layout::kCX, "LocalName"), "  PRODSRC ");
    EXPECT_EQ(Field(*cx, layout::kCX, "Internal5"), "\0A\0\xE9      "s);
    EXPECT_EQ(Field(*cx, layout::kCX, "Tempo"), "0000000030");
    EXPECT_EQ(Field(*cx, layout::kCX, "StartingDate"), std::string(26, ' '));

    const auto gc = file->page('G', 1024);
    ASSERT_TRUE(gc);
    ASSERT_EQ(gc->size(), 973u);
    EXPECT_EQ(Field(*gc, layout::kGC, "Model"), "001");
    EXPECT_EQ(Field(*gc, layout::kGC, "NbrOfFC"), "0000000002");
    const std::string endTw = "ENDTW001  Window closes at 23:00.\n# not a comment here";
    EXPECT_EQ(Field(*gc, layout::kGC, "EndTwOffset"), "0000002048");
    EXPECT_EQ(Field(*gc, layout::kGC, "EndTwLength"), "00000000" + std::to_string(endTw.size()));
    EXPECT_EQ(Field(*gc, layout::kReadableBlock, "RecoveryType", kGCBlockStart), "J");
    EXPECT_EQ(Field(*gc, layout::kReadableBlock, "Errors", kGCBlockStart), "0000000003");
    EXPECT_EQ(Field(*gc, layout::kGCTail, "MaxCountEntry", kGCBlockStart + 302), "0000001000");
    EXPECT_EQ(Field(*gc, layout::kGCTail, "ExtendedSequence", kGCBlockStart + 302),
              "12345678901234567890");
    EXPECT_EQ(file->page('E', 2048 + 1024), endTw);

    const auto fc1 = file->page('F', 2048);
    ASSERT_TRUE(fc1);
    ASSERT_EQ(fc1->size(), 592u);
    EXPECT_EQ(fc1->substr(1, 10), "CUSTMAST01");
    EXPECT_EQ(Field(*fc1, layout::kFC, "Page"), "F");
    EXPECT_EQ(Field(*fc1, layout::kFC, "SourceFile"), "CUSTMAST  SALESLIB  *FIRST    ");
    EXPECT_EQ(Field(*fc1, layout::kFC, "NumberOfZC"), "0000000002");
    const std::size_t insert = 592 + 2 * 73;
    EXPECT_EQ(Field(*fc1, layout::kFC, "OffsetOfInsert"), "0000000" + std::to_string(insert));
    const std::string insertSql = "INSERT INTO R.CUSTMAST (A, B) VALUES (?, ?)";
    const std::string deleteSql = "DELETE FROM R.CUSTMAST WHERE A = ?";
    EXPECT_EQ(Field(*fc1, layout::kFC, "OffsetOfUpdate"),
              "0000000" + std::to_string(insert + 10 + insertSql.size()));
    EXPECT_EQ(Field(*fc1, layout::kFC, "OffsetOfClrPfm"),
              "0000000" + std::to_string(insert + 30 + insertSql.size() + deleteSql.size()));
    EXPECT_EQ(Field(*fc1, layout::kReadableBlock, "Member", kFCBlockStart), "CUSTMAST  ");

    const auto zc1 = file->page('Z', 2048);
    ASSERT_TRUE(zc1);
    EXPECT_EQ(*zc1,
              "ZP 000000000700000000000000000001000000000400000000010000000004000000000"
              "1"
              "ZA 000000004000000000000000000005000000004000000000050000000040000000000"
              "0");
    EXPECT_EQ(file->page('S', 2048 + insert),
              "00000000" + std::to_string(insertSql.size()) + insertSql + "0000000000" +
                  "00000000" + std::to_string(deleteSql.size()) + deleteSql + "0000000000");

    const auto fc2 = file->page('F', 2560);
    ASSERT_TRUE(fc2);
    EXPECT_EQ(fc2->substr(1, 10), "AUDITLOG01");
    EXPECT_EQ(Field(*fc2, layout::kFC, "OffsetOfInsert"), "0000000000");
    EXPECT_EQ(file->page('Z', 2560)->substr(0, 4), "ZZ 0") << "eight fields: Page is Z";
    EXPECT_EQ(file->pageCount(), 8u) << "C, G, E, two F, two Z and one S";
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
        {"[CX]\nVersion = \"open\n", "closing double quote"},
        {"[FILE A]\nsql.merge = X\n", "unknown statement sql.merge"},
        {"[CX]\nno equals sign\n", "line 2: expected \"name = value\""},
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
    EXPECT_EQ(Field(*file->page('G', 1024), layout::kGC, "NbrOfFC"), "0000000003");
    EXPECT_TRUE(file->page('E', 1024 + 1024 + 3 * 512));
    for (int n = 0; n < 3; ++n) {
        const auto fc = file->page('F', 2048 + 512 * n);
        ASSERT_TRUE(fc);
        EXPECT_EQ(fc->substr(1, 10), "F00000000" + std::to_string(n + 1));
        EXPECT_EQ(file->page('Z', 2048 + 512 * n)->size(), 5u * 73);
        EXPECT_TRUE(file->page('S', 2048 + 512 * n + 592 + 5 * 73));
    }
    EXPECT_EQ(file->pageCount(), 2u + 1 + 3 * 3);
}

}  // namespace
}  // namespace twds
