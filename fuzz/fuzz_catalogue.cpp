// The text catalogue: the input is a catalogue file (twmgr.ressource.EN) in
// the viewer's folder. It is loaded by the first lookup, and a few ids are
// looked up with placeholders filled in.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "FuzzSupport.h"
#include "twds/Catalogue.h"
#include "twds/FileRegistryStore.h"

namespace {

// A text as the lookup returns it with every placeholder filled in.
std::string Filled(std::string text, const std::array<std::string_view, 7>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string marker{'&', static_cast<char>('1' + k)};
        std::string out;
        std::size_t start = 0;
        for (std::size_t at = text.find(marker); at != std::string::npos;
             at = text.find(marker, start)) {
            out.append(text, start, at - start);
            out.append(values[k]);
            start = at + marker.size();
        }
        out.append(text, start);
        text = std::move(out);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = twds::fuzz::ProcessTempFolder();
    twds::fuzz::WriteBytes(folder / "twmgr.ressource.EN", twds::fuzz::Bytes(data, size));

    // The registry holds no language yet: the first lookup writes "EN" and
    // then reads the file above.
    static const std::filesystem::path registryFolder = folder / "catalogue-registry";
    twds::FileRegistryStore registry(registryFolder);
    // A load failure is the input's doing; it goes to the reporter, which
    // keeps the run quiet.
    twds::Catalogue catalogue(registry, folder, [](const std::string&, const std::string&) {});

    const std::array<std::string_view, 7> values{"192.0.2.1", "&3", "x", "", "&1", "&&", "7"};
    const std::string text5301 = catalogue.text("5301", values[0], values[1], values[2], values[3],
                                                values[4], values[5], values[6]);
    TWDS_FUZZ_CHECK(catalogue.language() == "EN", "the language is not EN");
    const auto& table = catalogue.table();
    TWDS_FUZZ_CHECK(text5301 == Filled(table[5301], values), "placeholders filled wrongly");

    // Ids as decimal texts: blanks around them, a sign and a fraction allowed.
    const std::array<std::pair<std::string_view, int>, 5> ids{
        {{"0", 0}, {"5401", 5401}, {" 10000 ", 10000}, {"5401.9", 5401}, {"+5001", 5001}}};
    for (const auto& [id, index] : ids) {
        // Empty values still fill the placeholders ("&&12" gives "&2", then "").
        TWDS_FUZZ_CHECK(catalogue.text(id) == Filled(table[static_cast<std::size_t>(index)], {}),
                        "a lookup without values is not the text with its placeholders emptied");
    }
    for (const std::string_view id : {"10001", "-1", "", "x", "99999999999999999999", "1e3"}) {
        TWDS_FUZZ_CHECK(catalogue.text(id, "p").empty(), "an id outside 0 to 10000 has a text");
    }

    for (const std::string& text : table) {
        TWDS_FUZZ_CHECK(text.find_first_of("\t\r") == std::string::npos,
                        "a catalogue text holds a TAB or a CR");
        TWDS_FUZZ_CHECK(text.empty() || (text.front() != ' ' && text.back() != ' '),
                        "a catalogue text keeps a blank at an end");
    }
    return 0;
}
