#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/ModelWriter.h"
#include "twds/SavedUserSpaceFile.h"
#include "twds/SyntheticModel.h"

namespace twds {
namespace {

// The description `name`.model written as twus_make writes it: the saved
// user space's text and the warnings, or why it could not be written.
struct Written {
    std::string text;
    std::vector<std::string> warnings;
    std::string error;
};

Written Write(const std::string& description, const std::string& name = "test") {
    Written written;
    const auto model = ModelDescription::parse(description, name + ".model");
    if (!model) {
        written.error = model.error();
        return written;
    }
    written.warnings = model->warnings;
    std::ostringstream out;
    UserSpaceWriter writer(out);
    writer.comment("Written by twus_make from " + name + ".model.");
    if (const Status status = ModelWriter::write(*model, writer); !status) {
        written.error = status.error();
    }
    written.text = written.error.empty() ? out.str() : "";
    return written;
}

// The checked-in models pin where every value goes (see the store check
// below); what they do not show: a value too long for its field is cut with
// a warning, and an END_TW line that starts with '#' is text.
TEST(TwusMake, LongValuesAreCutWithAWarningAndEndTwKeepsEveryLine) {
    const auto [text, warnings, error] = Write(
        "[GC]\nExtendedSequence = 12345678901234567890123\n"
        "[END_TW]\nENDTW001  Window closes at 23:00.\n# not a comment here\n");
    ASSERT_EQ(warnings.size(), 1u) << error;
    EXPECT_NE(warnings[0].find("line 2: ExtendedSequence holds 23 bytes"), std::string::npos)
        << warnings[0];
    std::string parseError;
    const auto file = test::ValueOr(SavedUserSpaceFile::parse(text, "test.twus"), parseError);
    ASSERT_NE(file, nullptr) << parseError;
    EXPECT_EQ(file->page('G', 1024)->substr(933, 20), "12345678901234567890");
    EXPECT_EQ(file->page('E', 2048), "ENDTW001  Window closes at 23:00.\n# not a comment here");
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
        EXPECT_EQ(written.text, "");
        EXPECT_NE(written.error.find(reason), std::string::npos) << written.error;
    }
}

// The bundled sample and the models of the checked-in exports and comparison.
TEST(TwusMake, SavedModelsAreWhatTheirDescriptionsWrite) {
    const std::string root = TWDS_SOURCE_DIR "/";
    for (const auto& [folder, name, saved] :
         {std::tuple<std::string, std::string, std::string>{"samples/", "TWMODEL001",
                                                            "127.0.0.1/TWMODEL001.twus"},
          {"tests/data/models/", "EDGEMODL01", "../store/10.0.0.9/EDGEMODL01.twus"},
          {"tests/data/models/", "EDGEMODL02", "../store/10.0.0.9/EDGEMODL02.twus"}}) {
        SCOPED_TRACE(name);
        const std::string savedText = test::ReadBytes(root + folder + saved);
        ASSERT_NE(savedText, "") << folder + saved;
        const Written written = Write(test::ReadBytes(root + folder + name + ".model"), name);
        EXPECT_EQ(written.error, "");
        EXPECT_TRUE(written.warnings.empty()) << written.warnings.front();
        EXPECT_TRUE(written.text == savedText)
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
