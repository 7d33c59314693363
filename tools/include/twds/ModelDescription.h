#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "twds/Result.h"

namespace twds {

// One value of a model description, as the description wrote it (escapes
// already decoded, Windows-1252 bytes).
struct ModelValue {
    std::string bytes;
    // Written between double quotes: placed exactly, never zero-padded.
    bool quoted = false;
    int line = 0;
};

// Field values by the layout's field name (twds::layout::FieldSpec::name).
using ModelFields = std::unordered_map<std::string, ModelValue>;

// One replicated file of a model: its FC entry, readable block, ZC entries
// and SQL statements.
struct ModelFile {
    std::string ficId;
    ModelFields fields;  // FC fields, the two fixed-label fields included
    ModelFields block;   // its readable block
    // Each ZC entry's nine fields, in layout order.
    std::vector<std::array<ModelValue, 9>> zc;
    // Insert, Update, Delete, ClrPfm; a file without any has no SQL page.
    std::array<std::optional<std::string>, 4> sql;
    // Length fields written as given instead of the statements' lengths
    // (sql.insert.length = -7): a damaged model.
    std::array<std::optional<ModelValue>, 4> sqlLength;

    [[nodiscard]] bool hasSql() const;
};

// A replication model described in text, from which the sample writer makes
// a saved user space. The format is documented in docs/userspace-file.md:
//
//   # comment
//   [CX]               CX fields:          Version = V05R02M00
//   [GC]               GC fields, MaxCountEntry and the others after the block
//   [GC.block]         the GC page's readable block
//   [END_TW]           free text up to the next section: the End_TW page
//   [FILE CUSTMAST01]  one file's FC fields, then its ZC entries and SQL:
//                        zc = Z|P |0000000007|...   (nine fields, or eight
//                                                    without the "Page")
//                        sql.insert = INSERT INTO ...
//                        sql.insert.length = -7   (a damaged length field)
//   [FILE CUSTMAST01.block]  that file's readable block
//
// Values are trimmed of surrounding blanks unless written in double quotes;
// \xNN places any byte, \\ a backslash, \" a quote, \| a bar in a ZC field.
class ModelDescription {
public:
    // Parses a description. name only names it in messages; a failure's
    // message gives the line number.
    [[nodiscard]] static Result<ModelDescription> parse(std::string_view text,
                                                        const std::string& name);

    ModelFields cx;
    ModelFields gc;  // the GC fields and those after its readable block
    ModelFields gcBlock;
    std::optional<std::string> endTw;
    std::vector<ModelFile> files;  // in the order of their first section
    // Values longer than their field, which the writer cuts.
    std::vector<std::string> warnings;
};

}  // namespace twds
