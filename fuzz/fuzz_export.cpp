// The export's file names: the one built from the "DataPath" registry value
// and the user-space name (ExportToDataPath), and a chosen file
// (ExportToFile), against names with NUL bytes, "..", "/" and "\", drive
// letters and more characters than a path may hold.
//
// Input: a mode byte, then with FuzzedDataProvider the user-space name in its
// escaped form (a backslash followed by another backslash is one backslash;
// followed by anything else it ends the text), then the value: the remaining
// bytes. Mode bit 0: the value is the chosen file of ExportToFile, else the
// "DataPath" of ExportToDataPath, stored as (bits 1-2) nothing, a REG_SZ, a
// REG_EXPAND_SZ or a REG_DWORD of its first four bytes.
//
// Everything happens in a fresh folder on tmpfs, the export's working
// directory nine folders below it. A crash leaves the working directory there:
// give -artifact_prefix an absolute folder (fuzz/run.sh does). A value that begins with "/" is
// taken below the working directory, and an input whose value and name hold more ".." than the
// working directory is deep is skipped, so that no path can lead out of the
// folder. After each export every file in the folder that was not there
// before must be the one file the export says it wrote, holding exactly the
// export; it is then removed.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include "FuzzSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/Registry.h"
#include "twds/Trim.h"

namespace {

namespace fs = std::filesystem;
using twds::ExportResult;

constexpr int kWorkingDepth = 9;

// "DataPath" alone, held in memory: the export reads nothing else.
class DataPathRegistry final : public twds::RegistryStore {
public:
    void set(std::uint32_t type, std::string data) {
        type_ = type;
        data_ = std::move(data);
    }
    void unset() { type_ = 0; }

    KeyHandle openKey(twds::Hive hive, std::string_view keyName) override {
        return hive == twds::Hive::LocalMachine && keyName == twds::kDataPathKey && type_ != 0;
    }
    twds::Result<KeyHandle> createKey(twds::Hive, std::string_view) override {
        return twds::Failure{"read-only"};
    }
    void closeKey(KeyHandle) override {}
    std::int32_t queryValue(KeyHandle key, std::string_view valueName, std::uint32_t& type,
                            std::string& data) override {
        if (key == 0 || valueName != twds::kDataPathValue) {
            return 2;
        }
        type = type_;
        data = data_;
        return 0;
    }
    twds::Status setValue(KeyHandle, std::string_view, std::uint32_t, std::string_view) override {
        return twds::Failure{"read-only"};
    }

private:
    std::uint32_t type_ = 0;
    std::string data_;
};

class NoHostLink final : public twds::HostLink {
public:
    int32_t fnDllParamOpenMConnection(std::string&, std::string&, std::string&, int32_t&) override {
        return 0;
    }
    int32_t fnDllParamRtvUserspace(std::string&, std::string&) override { return 0; }
    int32_t fnDllParamCloseMConnection(int32_t) override { return 0; }
    int32_t fnDllParamGetLastError(int32_t&, int32_t&, std::string&, int32_t) override { return 0; }
};

// The folder the target may write in, on tmpfs when there is one; removed at
// a normal exit, kept after a crash for study.
class Sandbox {
public:
    Sandbox() {
        const fs::path shm = "/dev/shm";
        std::error_code error;
        const fs::path base = fs::is_directory(shm, error) && ::access(shm.c_str(), W_OK) == 0
                                  ? shm
                                  : twds::fuzz::ProcessTempFolder();
        root_ = base / ("twds-fuzz-export-" + std::to_string(::getpid()));
        fs::remove_all(root_, error);
        working_ = root_;
        for (int depth = 0; depth < kWorkingDepth; ++depth) {
            working_ /= "d" + std::to_string(depth);
        }
        fs::create_directories(working_);
        // A file behind a link, for ExportToFile's "a link is followed".
        linkTarget_ = working_ / "target.usrspc";
        twds::fuzz::WriteBytes(linkTarget_, "old");
        fs::create_symlink(linkTarget_, working_ / "link.usrspc");
        fixture_ = Entries();
    }
    ~Sandbox() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    [[nodiscard]] const fs::path& working() const { return working_; }

    // The export runs in the working folder, libFuzzer outside it: it
    // writes the inputs it finds to folders that may be given relative.
    class WorkingFolder {
    public:
        explicit WorkingFolder(const Sandbox& sandbox) : previous_(fs::current_path()) {
            fs::current_path(sandbox.working());
        }
        ~WorkingFolder() { fs::current_path(previous_); }
        WorkingFolder(const WorkingFolder&) = delete;
        WorkingFolder& operator=(const WorkingFolder&) = delete;

    private:
        fs::path previous_;
    };
    [[nodiscard]] const fs::path& linkTarget() const { return linkTarget_; }

    // Every file and folder below the root, by absolute path.
    [[nodiscard]] std::set<std::string> Entries() const {
        std::set<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            entries.insert(entry.path().string());
        }
        return entries;
    }

    // What the last input added to the folder.
    [[nodiscard]] std::set<std::string> NewEntries() const {
        std::set<std::string> added;
        for (const std::string& entry : Entries()) {
            if (!fixture_.contains(entry)) {
                added.insert(entry);
            }
        }
        return added;
    }

    // Removes what the last input added and rewrites the file behind the
    // link, so that every input meets the same folder.
    void Restore(const std::set<std::string>& added) const {
        std::error_code error;
        for (const std::string& entry : added) {
            fs::remove_all(entry, error);
        }
        twds::fuzz::WriteBytes(linkTarget_, "old");
    }

    [[nodiscard]] bool IsFixture(const std::string& entry) const {
        return fixture_.contains(entry);
    }

private:
    fs::path root_;
    fs::path working_;
    fs::path linkTarget_;
    std::set<std::string> fixture_;
};

// A small Display's lists: the export's content does not depend on its name.
struct Window {
    NoHostLink hostLink;
    twds::PageLabels labels{[](int id) { return "Label " + std::to_string(id); }};
    twds::DisplayCommand display{hostLink, labels};
    std::string expected;

    Window() {
        TWDS_FUZZ_CHECK(
            display.list(twds::PageList::CX).appendRow("Page", "", 0, "C") &&
                display.list(twds::PageList::GC).appendRow("Nbr of FC", "", 0, "         1") &&
                display.list(twds::PageList::ZC).appendRow("Key", "FILEA00001", 1, "A\0B"),
            "the fixture's rows were refused");
        display.endTwText = "End";
        display.kept.endLength = 3;
    }

    void Name(const std::string& name) {
        display.userSpaceName = name;
        display.userSpace = name;
        if (expected.empty()) {
            std::ostringstream out;
            TWDS_FUZZ_CHECK(twds::WriteExport(display, out), "the export to memory failed");
            expected = out.str();
        }
    }
};

std::size_t CountDotDot(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find(".."); at != std::string_view::npos;
         at = text.find("..", at + 1)) {
        ++count;
    }
    return count;
}

// The file an export reports as written, as the folder walk names it.
std::string AbsoluteName(const fs::path& working, const fs::path& file) {
    return (file.is_absolute() ? file : working / file).lexically_normal().string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Sandbox sandbox;
    static Window& window = *new Window;
    static DataPathRegistry registry;
    if (size == 0) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    FuzzedDataProvider input(data + 1, size - 1);
    const std::string name = input.ConsumeRandomLengthString(300);
    std::string value = input.ConsumeRemainingBytesAsString();
    if (CountDotDot(value) + CountDotDot(name) > kWorkingDepth) {
        return 0;
    }
    if (value.starts_with('/')) {
        value.insert(0, sandbox.working().string());
    }
    window.Name(name);

    const bool chosenFile = (mode & 1) != 0;
    ExportResult result;
    const Sandbox::WorkingFolder inside(sandbox);
    if (chosenFile) {
        result = twds::ExportToFile(window.display, value, twds::BuiltInMessages());
    } else {
        switch ((mode >> 1) & 3) {
            case 0:
                registry.unset();
                break;
            case 1:
                registry.set(twds::kRegSz, value + '\0');
                break;
            case 2:
                registry.set(twds::kRegExpandSz, value + '\0');
                break;
            default:
                registry.set(twds::kRegDword, value.substr(0, 4));
                break;
        }
        result = twds::ExportToDataPath(window.display, registry, twds::BuiltInMessages());
    }

    using Status = ExportResult::Status;
    if (result.status == Status::NothingToExport) {
        TWDS_FUZZ_CHECK(twds::Trim(name).empty(),
                        "nothing exported although the name is not blank");
    } else {
        TWDS_FUZZ_CHECK(!result.message.empty(), "an export without a message");
    }
    if (result.status == Status::Refused) {
        TWDS_FUZZ_CHECK(name.empty() || name == "." || name == ".." ||
                            name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos,
                        "a usable name refused");
    }

    // Exactly the file reported, holding the export, and only when written.
    const std::set<std::string> newEntries = sandbox.NewEntries();
    std::set<std::string> added = newEntries;
    if (result.status == Status::Written) {
        const std::string reported = AbsoluteName(sandbox.working(), result.path);
        const bool throughLink = reported == (sandbox.working() / "link.usrspc").string();
        const std::string written = throughLink ? sandbox.linkTarget().string() : reported;
        TWDS_FUZZ_CHECK(added.erase(written) == 1 || sandbox.IsFixture(written),
                        "the file reported written is not where it says");
        TWDS_FUZZ_CHECK(twds::fuzz::ReadBytes(written) == window.expected,
                        "the file written does not hold the export");
        if (!chosenFile) {
            // "DataPath" less its last four characters, then the name: the
            // file is in the folder that prefix names, whatever the name.
            const std::string dataPath = twds::ReadDataPath(registry);
            const std::string prefix = dataPath.substr(0, dataPath.size() - 4);
            const fs::path folder =
                fs::path(AbsoluteName(sandbox.working(), prefix + "x")).parent_path();
            TWDS_FUZZ_CHECK(fs::path(written).parent_path() == folder,
                            "the user-space name moved the file out of the DataPath folder");
        }
    }
    if (!added.empty()) {
        twds::fuzz::Fail("the export wrote a file it does not report: " + *added.begin());
    }
    sandbox.Restore(newEntries);
    return 0;
}
