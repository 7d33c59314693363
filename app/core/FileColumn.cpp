#include "twds/FileColumn.h"

#include <variant>

namespace twds {

namespace {

// A ZC field row names its entry; the entry heading opens the file's rows
// and has none (its zcEntry is 0).
bool NamesZcEntry(const RowSource& source) {
    return source.kind == 'Z' && source.zcEntry > 0;
}

}  // namespace

bool ListHasFileColumn(PageList list) {
    return InfoOf(list).entryKey == EntryKey::FicID;
}

std::string FileColumnText(const RowSource& source) {
    std::string text(source.ficID);
    if (!text.empty() && NamesZcEntry(source)) {
        text += " #" + std::to_string(source.zcEntry);
    }
    return text;
}

std::string DescribeRowFile(const RowSource& source, const MessageLookup& lookup) {
    if (source.ficID.empty()) {
        return {};
    }
    if (NamesZcEntry(source)) {
        return lookup(message::kRowFileEntry, {source.ficID, std::to_string(source.zcEntry)});
    }
    return lookup(message::kRowFile, {source.ficID});
}

bool LoadFileColumnShown(RegistryStore& registry) {
    const RegistryValue value =
        FetchRegistryValue(registry, Hive::CurrentUser, kViewerKey, kFileColumnValue);
    const auto* number = std::get_if<std::int32_t>(&value);
    return number != nullptr && *number != 0;
}

Status SaveFileColumnShown(RegistryStore& registry, bool shown) {
    if (Status created = EnsureRegistryKey(registry, Hive::CurrentUser, kViewerKey); !created) {
        return created;
    }
    return StoreRegistryValue(registry, Hive::CurrentUser, kViewerKey, kFileColumnValue,
                              std::int32_t{shown ? 1 : 0}, kRegDword);
}

}  // namespace twds
