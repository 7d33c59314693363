#pragma once

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace twds {

// The temporary file an export is written to before it takes the target's
// name: ".<target name>.tmp<process id>-<random>" in the target's folder.
//
// While one exists, SIGINT, SIGTERM and SIGHUP remove it before the process
// ends as the signal would end it, so an interrupted export leaves nothing
// behind. A process killed outright (SIGKILL, a power cut) cannot clean up:
// creating the next temporary file beside the same target removes those
// whose process no longer runs.
class ExportTemporary {
public:
    // Creates the file (never an existing one). file() is null and error()
    // says why when it cannot.
    explicit ExportTemporary(const std::filesystem::path& target);
    // Closes and removes the file unless commit() renamed it.
    ~ExportTemporary();
    ExportTemporary(const ExportTemporary&) = delete;
    ExportTemporary& operator=(const ExportTemporary&) = delete;

    [[nodiscard]] std::FILE* file() const { return file_; }
    [[nodiscard]] const std::error_code& error() const { return error_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    // Closes the file and gives it the target's name. Returns the failure.
    std::error_code commit();

private:
    void release();

    std::filesystem::path target_;
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    std::error_code error_;
    bool committed_ = false;
};

// Removes the temporary files of exports to `target` whose process no longer
// runs. Files of running exports, and anything not named like ours, stay.
void RemoveStaleExportTemporaries(const std::filesystem::path& target);

}  // namespace twds
