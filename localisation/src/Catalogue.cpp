#include "twds/Catalogue.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <system_error>
#include <utility>
#include <variant>

#include "twds/Trim.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace twds {

namespace {

constexpr std::string_view kSettingsKey = R"(SOFTWARE\Vellmar\Vellmar Lumen\Manager\Settings)";
constexpr std::string_view kLanguageValue = "Language";
constexpr std::string_view kDefaultLanguage = "EN";
constexpr std::string_view kFilePrefix = "twmgr.ressource.";
constexpr std::size_t kPlaceholderCount = 7;

// A catalogue id: blanks, an optional sign, decimal digits with an optional
// fraction (dropped), blanks. Nothing when the text is not such a number or
// the number lies outside 0 to kMaxId.
std::optional<int> ParseId(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    const auto whole = text.substr(0, point);
    const auto fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const auto allDigits = [](std::string_view digits) {
        return digits.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    int value = 0;
    if (!whole.empty()) {
        const auto [ptr, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), value);
        if (ec != std::errc()) {
            return std::nullopt;  // too large for an int, so out of range too
        }
    }
    if (negative && value != 0) {
        return std::nullopt;
    }
    if (value > Catalogue::kMaxId) {
        return std::nullopt;
    }
    return value;
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& content) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return false;
    }
    const auto size = in.tellg();
    if (size < 0) {
        return false;
    }
    content.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(in) && in.gcount() == static_cast<std::streamsize>(size);
}

// Replaces every `marker` in `text` by `value`, left to right; text inserted
// by this call is not searched again.
void ReplaceAll(std::string& text, std::string_view marker, std::string_view value) {
    auto pos = text.find(marker);
    if (pos == std::string::npos) {
        return;
    }
    std::string out;
    out.reserve(text.size() + value.size());
    std::size_t start = 0;
    while (pos != std::string::npos) {
        out.append(text, start, pos - start);
        out.append(value);
        start = pos + marker.size();
        pos = text.find(marker, start);
    }
    out.append(text, start);
    text = std::move(out);
}

// A catalogue file the viewer may read: a regular file, and on Windows
// neither hidden nor a system file (such a file counts as missing there).
bool UsableCatalogueFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return false;
    }
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
        return false;
    }
#endif
    return true;
}

std::unique_ptr<Catalogue>& InstalledSlot() {
    static std::unique_ptr<Catalogue> installed;
    return installed;
}

}  // namespace

std::filesystem::path FindCatalogueFolder(const std::filesystem::path& executableFolder) {
    const std::string english = std::string(kFilePrefix) + std::string(kDefaultLanguage);
    const std::filesystem::path installed =
        (executableFolder / ".." / "share" / "twDspUsrSpc").lexically_normal();
    for (const auto& folder : {executableFolder, installed}) {
        if (UsableCatalogueFile(folder / english)) {
            return folder;
        }
    }
    return executableFolder;
}

Catalogue::Catalogue(RegistryStore& registry, std::filesystem::path folder,
                     FailureReporter reportFailure)
    : registry_(registry),
      folder_(std::move(folder)),
      reportFailure_(std::move(reportFailure)),
      table_(std::make_unique<std::array<std::string, kMaxId + 1>>()) {}

void Catalogue::ensureLoaded() {
    if (loaded_) {
        return;
    }
    loaded_ = true;

    const auto isUnset = [](const RegistryValue& value) {
        const auto* text = std::get_if<std::string>(&value);
        return std::holds_alternative<std::monostate>(value) || (text && text->empty());
    };
    auto language = FetchRegistryValue(registry_, Hive::CurrentUser, kSettingsKey, kLanguageValue);
    if (isUnset(language)) {
        // A setting that cannot be stored only means English again at the
        // next start; the catalogue below still loads.
        static_cast<void>(EnsureRegistryKey(registry_, Hive::CurrentUser, kSettingsKey));
        static_cast<void>(StoreRegistryValue(registry_, Hive::CurrentUser, kSettingsKey,
                                             kLanguageValue, std::string(kDefaultLanguage),
                                             kRegExpandSz));
        language = FetchRegistryValue(registry_, Hive::CurrentUser, kSettingsKey, kLanguageValue);
    }
    language_ = RegistryValueText(language);

    if (loadLanguage(language_)) {
        return;
    }
    language_ = kDefaultLanguage;
    if (loadLanguage(language_)) {
        return;
    }
    std::string text = "Unable to load " + folder_.string();
    text += static_cast<char>(std::filesystem::path::preferred_separator);
    text += kFilePrefix;
    text += kDefaultLanguage;
    text += " file";
    if (reportFailure_) {
        reportFailure_("Load ressources", text);
    } else {
        std::cerr << "Load ressources: " << text << '\n';
    }
}

Status Catalogue::loadLanguage(const std::string& language) {
    // The language comes from the registry as stored; a separator or NUL in it
    // would name a file elsewhere than the viewer's folder.
    if (language.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) {
        return Failure{"The language \"" + language +
                       "\" holds a path separator or NUL, so it names no catalogue file"};
    }
    const auto file = folder_ / (std::string(kFilePrefix) + language);
    if (!UsableCatalogueFile(file)) {
        return Failure{"There is no catalogue file " + file.string()};
    }
    for (auto& entry : *table_) {
        entry = std::string{};
    }
    std::string content;
    if (!ReadWholeFile(file, content)) {
        return Failure{"Cannot read the catalogue file " + file.string()};
    }

    std::string_view rest = content;
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        // CR LF or a lone CR ends a line; a lone LF belongs to the text.
        const auto end = rest.find('\r');
        const auto line = rest.substr(0, end);
        if (end == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(end + 1);
            if (!rest.empty() && rest.front() == '\n') {
                rest.remove_prefix(1);
            }
        }
        if (line.empty()) {
            continue;
        }
        const auto tab = line.find('\t');
        const auto id = ParseId(line.substr(0, tab));
        if (!id) {
            return Failure{"The catalogue file " + file.string() + ": line " +
                           std::to_string(lineNumber) + " has no id from 0 to " +
                           std::to_string(kMaxId)};
        }
        std::string_view text;
        if (tab != std::string_view::npos) {
            const auto field = line.substr(tab + 1);
            text = Trim(field.substr(0, field.find('\t')));
        }
        (*table_)[static_cast<std::size_t>(*id)] = std::string(text);
    }
    return {};
}

std::string Catalogue::text(std::string_view id, std::string_view p1, std::string_view p2,
                            std::string_view p3, std::string_view p4, std::string_view p5,
                            std::string_view p6, std::string_view p7) {
    ensureLoaded();
    const auto index = ParseId(id);
    if (!index) {
        return {};
    }
    std::string text = (*table_)[static_cast<std::size_t>(*index)];
    const std::array<std::string_view, kPlaceholderCount> values{p1, p2, p3, p4, p5, p6, p7};
    char marker[] = "&1";
    for (std::size_t k = 0; k < kPlaceholderCount; ++k) {
        marker[1] = static_cast<char>('1' + k);
        ReplaceAll(text, marker, values[k]);
    }
    return text;
}

std::string Catalogue::rawText(int id) {
    ensureLoaded();
    if (id < 0 || id > kMaxId) {
        return {};
    }
    return (*table_)[static_cast<std::size_t>(id)];
}

void InstallCatalogue(std::unique_ptr<Catalogue> catalogue) {
    InstalledSlot() = std::move(catalogue);
}

Catalogue* InstalledCatalogue() {
    return InstalledSlot().get();
}

std::string CatalogueText(std::string_view id, std::string_view p1, std::string_view p2,
                          std::string_view p3, std::string_view p4, std::string_view p5,
                          std::string_view p6, std::string_view p7) {
    Catalogue* catalogue = InstalledCatalogue();
    return catalogue ? catalogue->text(id, p1, p2, p3, p4, p5, p6, p7) : std::string{};
}

}  // namespace twds
