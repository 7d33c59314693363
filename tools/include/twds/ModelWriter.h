#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "twds/ModelDescription.h"
#include "twds/UserSpaceWriter.h"

namespace twds {

// Turns a model into user-space pages, each value in its fixed-width field
// (padded with blanks, cut to the width), and writes them: C and G at 1024,
// E at "END_TW Offset" + 1024, then per file F and Z at 2048 + 512 × (n − 1)
// and S at that position + "Offset of Insert".
//
// Unless the description sets them, the writer fills in: the "Page" fields
// (the page's kind letter), the CX "GC" and "FC" positions, "Nbr of FC",
// "END_TW Offset" and "END_TW length", each file's "FicID", "Number of ZC"
// and the four SQL offsets. The SQL page follows the file's FC entry and ZC
// entries, so "Offset of Insert" is 592 + 73 × the number of ZC entries.
// Computed numbers are written as 10 digits, zero-padded.
class ModelWriter {
public:
    // The model's files come from fileAt(0) to fileAt(fileCount − 1), so that
    // a generated model of many files is never held whole in memory.
    using FileSource = std::function<ModelFile(std::size_t index)>;

    // File n lies at 2048 + 512 × (n − 1), which must stay within the
    // 8-digit positions of a page request.
    static constexpr std::size_t kMaxFiles = (100'000'000 - 2048 - 1) / 512 + 1;

    // Writes the model; fails on an offset that is not a number or a
    // position beyond 8 digits. Pages written before the failure stay in the
    // output.
    [[nodiscard]] static Status write(const ModelDescription& model, std::size_t fileCount,
                                      const FileSource& fileAt, UserSpaceWriter& out);

    // Writes a model with all its files.
    [[nodiscard]] static Status write(const ModelDescription& model, UserSpaceWriter& out);
};

}  // namespace twds
