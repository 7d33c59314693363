// twus_make: writes a saved user space (.twus) from a model description, or
// a generated model for benchmarks and tests.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "twds/AtomicFile.h"
#include "twds/ModelWriter.h"
#include "twds/StdioStreamBuffer.h"
#include "twds/SyntheticModel.h"

namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  twus_make MODEL.model -o OUT.twus\n"
    "  twus_make --generate --files N --zc K [--sql] [--end-tw] -o OUT.twus\n"
    "  twus_make --help\n"
    "\n"
    "Writes a saved user space for twDspUsrSpc from a model description, or\n"
    "generates a synthetic one.\n"
    "\n"
    "Options:\n"
    "  -o OUT.twus   the file to write\n"
    "  --generate    generate a user space instead of reading a description\n"
    "  --files N     with --generate: the number of files (FC entries)\n"
    "  --zc K        with --generate: the ZC entries of each file\n"
    "  --sql         with --generate: give each file an SQL page\n"
    "  --end-tw      with --generate: add an End_TW page\n"
    "  --help        show this text\n"
    "\n"
    "Exit status: 0 when the file was written, 1 when the description could not\n"
    "be read or the file not written, 2 when the command line cannot be used.\n"
    "The description format: see twus_make(1) and docs/userspace-file.md.\n";

int UsageError(const std::string& message) {
    std::cerr << "twus_make: " << message << "\n" << kUsage;
    return 2;
}

std::optional<std::size_t> Count(std::string_view text) {
    std::size_t value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Writes through a temporary file beside the output, renamed at the end, so
// that a failed run never leaves a half-written user space behind.
bool WriteOutput(const std::filesystem::path& output,
                 const std::function<twds::Status(twds::UserSpaceWriter&)>& body) {
    // Declared first: the file's stdio buffer must outlive the file.
    std::vector<char> buffer(std::size_t{1} << 20);
    twds::AtomicFile replacement(output);
    if (replacement.file() == nullptr) {
        std::cerr << "twus_make: cannot create a file beside " << replacement.target().string()
                  << ": " << replacement.error().message()
                  << "; check that the folder exists and is writable.\n";
        return false;
    }
    std::setvbuf(replacement.file(), buffer.data(), _IOFBF, buffer.size());
    twds::StdioStreamBuffer streamBuffer(replacement.file());
    std::ostream stream(&streamBuffer);
    twds::UserSpaceWriter writer(stream);
    const twds::Status written = body(writer);
    stream.flush();
    if (!written) {
        std::cerr << "twus_make: " << written.error() << "\n";
        return false;
    }
    if (!stream) {
        std::cerr << "twus_make: writing " << replacement.target().string()
                  << " failed (disk full?).\n";
        return false;
    }
    if (const std::error_code renameError = replacement.commit()) {
        std::cerr << "twus_make: cannot replace " << replacement.target().string() << ": "
                  << renameError.message() << "\n";
        return false;
    }
    return true;
}

int Run(const std::vector<std::string_view>& args) {
    std::optional<std::filesystem::path> input;
    std::optional<std::filesystem::path> output;
    bool generate = false;
    bool withSql = false;
    bool withEndTw = false;
    std::optional<std::size_t> files;
    std::optional<std::size_t> zc;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "-o" && hasValue) {
            output = std::filesystem::path(std::string(args[++i]));
        } else if (arg == "--generate") {
            generate = true;
        } else if (arg == "--sql") {
            withSql = true;
        } else if (arg == "--end-tw") {
            withEndTw = true;
        } else if ((arg == "--files" || arg == "--zc") && hasValue) {
            const auto value = Count(args[++i]);
            if (!value) {
                return UsageError(std::string(arg) + " needs a whole number, not \"" +
                                  std::string(args[i]) + "\".");
            }
            (arg == "--files" ? files : zc) = value;
        } else if (!arg.starts_with("-") && !input) {
            input = std::filesystem::path(std::string(arg));
        } else {
            return UsageError("unexpected argument \"" + std::string(arg) + "\".");
        }
    }
    if (!output) {
        return UsageError("name the output file with -o.");
    }

    if (generate) {
        if (input || !files || !zc) {
            return UsageError("--generate takes --files N and --zc K, and no description.");
        }
        // A ZC page of 30000 characters holds 410 entries; more than this
        // only makes the output huge.
        constexpr std::size_t kMaxZc = 10000;
        if (*files > twds::ModelWriter::kMaxFiles || *zc > kMaxZc) {
            return UsageError("--files takes at most " +
                              std::to_string(twds::ModelWriter::kMaxFiles) +
                              " files and --zc at most " + std::to_string(kMaxZc) + " entries.");
        }
        const twds::SyntheticModel model(*files, *zc, withSql, withEndTw);
        const bool done = WriteOutput(*output, [&model](twds::UserSpaceWriter& writer) {
            writer.comment("Generated by twus_make: " + std::to_string(model.fileCount()) +
                           " files.");
            return twds::ModelWriter::write(
                model.head(), model.fileCount(),
                [&model](std::size_t index) { return model.file(index); }, writer);
        });
        return done ? 0 : 1;
    }

    if (!input) {
        return UsageError("name a model description, or use --generate.");
    }
    std::ifstream stream(*input, std::ios::binary);
    if (!stream) {
        std::cerr << "twus_make: cannot open the model description " << input->string() << ".\n";
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(stream)),
                           std::istreambuf_iterator<char>());
    const auto model = twds::ModelDescription::parse(text, input->filename().string());
    if (!model) {
        std::cerr << "twus_make: " << model.error() << "\n";
        return 1;
    }
    for (const auto& warning : model->warnings) {
        std::cerr << "twus_make: warning: " << warning << "\n";
    }
    const bool done = WriteOutput(*output, [&model, &input](twds::UserSpaceWriter& writer) {
        writer.comment("Written by twus_make from " + input->filename().string() + ".");
        return twds::ModelWriter::write(*model, writer);
    });
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Out of memory or a failing file system ends the run with a message, not an abort.
    try {
        return Run({argv + 1, argv + argc});
    } catch (const std::exception& error) {
        std::cerr << "twus_make: " << error.what() << "\n";
    }
    return 1;
}
