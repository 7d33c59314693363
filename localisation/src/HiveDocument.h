#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "twds/Registry.h"
#include "twds/Result.h"

// The registry editor's hive files as text: parsing their lines, reading a
// value's data when asked for, and the edits the file registry makes, which
// keep every line they do not change byte for byte. Reading and writing the
// files is the store's.
namespace twds::hive {

// The two forms of hive file the registry editor writes: REGEDIT4 in the ANSI
// code page (Windows-1252), and Version 5.00 in UTF-16 LE after a byte-order
// mark. The store reads both and writes a file back in the form it has; the
// text of a Version 5.00 file is handled as UTF-8 between the two.
enum class HiveForm { Regedit4, Version5 };

// One logical line of a hive file: a key line, a value line or anything else
// (header, comment, blank, deletion, or a line that cannot be parsed). A value
// written with continuation lines is one logical line; `raw` keeps its
// physical lines with their line ends, byte for byte, so that a rewrite
// leaves it untouched. Names are Windows-1252, as the registry functions see
// them, whatever the file's encoding.
struct HiveLine {
    enum class Kind { Other, Key, Value };
    Kind kind = Kind::Other;
    std::string_view raw;  // into the HiveDocument's texts
    std::string key;       // Key: its name; Value: the name of the key above it
    std::string name;      // Value: its name ("" for the default value)
    // Value: where its data begins in `raw`. The data is read only when a
    // caller asks for this value (ReadValueData): a value may run over
    // millions of continuation lines, and a read wants one value.
    std::size_t dataStart = 0;
    // A hex value whose last line ends in a "\" that joins nothing (a blank
    // line or the end of the file follows): a line written right after it
    // must be kept apart by a blank line.
    bool danglingContinuation = false;
};

// A value's type and raw bytes.
struct ValueData {
    std::uint32_t type = 0;
    std::string bytes;
};

// A hive file as read: its form, the line end it uses (for the lines the
// store adds), its logical lines and the texts they are views of.
struct HiveDocument {
    HiveForm form = HiveForm::Regedit4;
    std::string newline = "\r\n";
    std::vector<HiveLine> lines;
    // The file's text (decoded to UTF-8 from UTF-16), then each line the store
    // makes. A deque: adding a text moves none before it, nor does moving
    // the document, so the lines' views stay valid.
    std::deque<std::string> texts;

    std::string_view keep(std::string text) { return texts.emplace_back(std::move(text)); }
};

// A key name as the hive file stores it: components separated by single
// backslashes, no leading backslash, trailing backslashes dropped. Nothing
// for names that cannot stand on one line of the file, or that have empty
// components, as Windows refuses them.
[[nodiscard]] std::optional<std::string> NormaliseKeyName(std::string_view keyName);

// Parses a hive file's bytes. An empty file is an empty hive. A failure says
// why the bytes are not a hive file in either form: such a file is neither
// read nor rewritten, since what a rewrite would make of bytes it does not
// understand cannot be foreseen.
[[nodiscard]] Result<HiveDocument> ParseHiveFile(Hive hive, std::string bytes);

// Whether the document holds `key` (or a key below it); the hive itself ("")
// always exists.
[[nodiscard]] bool KeyExists(const HiveDocument& document, std::string_view key);

// The last readable value `name` of `key`.
[[nodiscard]] std::optional<ValueData> FindValue(const HiveDocument& document, std::string_view key,
                                                 std::string_view name);

// Adds an empty key section at the end of the file (with the header first,
// in a new file).
void AppendKey(HiveDocument& document, Hive hive, std::string_view key);

// Sets one value: the last line that holds it is replaced (keeping its line
// end) and earlier duplicates are dropped; a new value goes at the end of its
// key's last section (which is added when the key has none). A line that
// names the value but whose data cannot be read does not hold it, and stays.
void PutValue(HiveDocument& document, Hive hive, std::string_view key, std::string_view name,
              std::uint32_t type, std::string_view data);

// The file's bytes: its lines in its own form.
[[nodiscard]] std::string Serialise(const HiveDocument& document);

}  // namespace twds::hive
