#pragma once

#include <cstddef>

#include "twds/ModelDescription.h"

namespace twds {

// A generated model for benchmarks and tests: fileCount files of zcCount ZC
// entries each, with plausible values that differ from file to file.
class SyntheticModel {
public:
    SyntheticModel(std::size_t fileCount, std::size_t zcCount, bool withSql, bool withEndTw);

    // CX, GC and End_TW; no files (they come from file()).
    [[nodiscard]] const ModelDescription& head() const { return head_; }
    [[nodiscard]] std::size_t fileCount() const { return fileCount_; }
    // File index (0-based), made on demand.
    [[nodiscard]] ModelFile file(std::size_t index) const;

private:
    ModelDescription head_;
    std::size_t fileCount_;
    std::size_t zcCount_;
    bool withSql_;
};

}  // namespace twds
