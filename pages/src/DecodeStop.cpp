#include "twds/DecodeStop.h"

#include <utility>

namespace twds {

namespace {

// Field text as it can stand in a message: control bytes (a NUL would end
// what()) shown as '.', long statements cut.
std::string Printable(std::string_view text) {
    constexpr std::size_t kMaxShown = 60;
    std::string shown;
    for (const char c : text.substr(0, kMaxShown)) {
        shown += static_cast<unsigned char>(c) < 0x20 ? '.' : c;
    }
    if (text.size() > kMaxShown) {
        shown += "...";
    }
    return shown;
}

std::string Describe(DecodeStop::Reason reason, const std::string& label, const std::string& key,
                     const std::string& fieldText, const std::string& keySuffix) {
    std::string where = "the row \"" + Printable(label) + "\"";
    if (!keySuffix.empty()) {
        where += " (entry \"" + Printable(keySuffix) + "\")";
    }
    switch (reason) {
        case DecodeStop::Reason::DuplicateKey:
            return "Decoding stopped at " + where + ": its key \"" + Printable(key) +
                   "\" is already in the list. Two files may carry the same identifier, or the "
                   "text catalogue lacks labels; check the catalogue file and the user space.";
        case DecodeStop::Reason::NumberOutOfRange:
            return "Decoding stopped at " + where + ": its value \"" + Printable(fieldText) +
                   "\" is a number outside the range the viewer can use. Check the user space's "
                   "content.";
        case DecodeStop::Reason::NegativeLength:
            return "Decoding stopped at " + where + ": its length \"" + Printable(fieldText) +
                   "\" is negative, so this statement and the ones after it cannot be read. "
                   "Check the user space's content.";
    }
    return "Decoding stopped at " + where + ".";
}

}  // namespace

DecodeStop::DecodeStop(Reason reason, std::string label, std::string key, std::string fieldText,
                       std::string keySuffix)
    : std::runtime_error(Describe(reason, label, key, fieldText, keySuffix)),
      reason(reason),
      label(std::move(label)),
      key(std::move(key)),
      fieldText(std::move(fieldText)),
      keySuffix(std::move(keySuffix)) {}

}  // namespace twds
