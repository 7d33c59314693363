#include "twds/UserSpaceWriter.h"

#include <cstdio>

#include "twds/SavedUserSpaceFile.h"

namespace twds {

UserSpaceWriter::UserSpaceWriter(std::ostream& out) : out_(out) {
    out_ << SavedUserSpaceFile::kHeader;
}

void UserSpaceWriter::comment(std::string_view text) {
    out_ << "# " << text << '\n';
}

void UserSpaceWriter::snapshotHeader(const SnapshotInfo& info) {
    const auto line = [this](std::string_view key, std::string_view value) {
        if (!value.empty()) {
            out_ << kSnapshotLinePrefix << key << ' ' << EscapeSnapshotValue(value) << '\n';
        }
    };
    line("address", info.address);
    line("name", info.name);
    line("fetched", info.fetched);
    line("viewer", info.viewer);
    line("hostlink", info.hostLink);
}

void UserSpaceWriter::page(char kind, std::uint32_t position, std::string_view bytes) {
    char line[40];
    const int length = std::snprintf(line, sizeof line, "%c %08u %zu\n", kind,
                                     static_cast<unsigned>(position), bytes.size());
    out_.write(line, length);
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out_.put('\n');
}

}  // namespace twds
