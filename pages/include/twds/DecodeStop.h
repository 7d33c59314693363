#pragma once

#include <stdexcept>
#include <string>

namespace twds {

// Raised by a page decoder when a page cannot be shown as the lists require:
// a row key already in its list, a kept number outside its integer range, or
// a negative SQL statement length. The Display command stops there, keeping
// the rows added so far.
class DecodeStop : public std::runtime_error {
public:
    enum class Reason { DuplicateKey, NumberOutOfRange, NegativeLength };

    DecodeStop(Reason reason, std::string label, std::string key, std::string fieldText,
               std::string keySuffix);

    Reason reason;
    std::string label;      // the row's label
    std::string key;        // the row's key
    std::string fieldText;  // the field's characters as received
    std::string keySuffix;  // the file (FicID), or "0000000001" on the GC page
};

}  // namespace twds
