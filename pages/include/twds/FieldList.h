#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace twds {

// One column of a page list: its key, its heading and its width in twips.
struct FieldColumn {
    std::string key;
    std::string caption;
    int widthTwips = 0;
};

// The rows of one page list (CX, GC, FC, ZC or SQL): a label, the field's
// value exactly as received (bytes, Windows-1252) and a key unique within the
// list. Rows are only appended, or all removed at once.
//
// Built for models of millions of rows: a row costs a few integers, its label
// and key suffix are shared with the other rows of the same label and file,
// and its key is derived from the row rather than stored.
class FieldList {
public:
    FieldList();
    ~FieldList();
    FieldList(const FieldList&) = delete;
    FieldList& operator=(const FieldList&) = delete;
    FieldList(FieldList&&) noexcept;
    FieldList& operator=(FieldList&&) noexcept;

    [[nodiscard]] int columnCount() const;
    [[nodiscard]] const FieldColumn& column(int index) const;
    void addColumn(std::string key, std::string caption, int widthTwips);

    [[nodiscard]] std::size_t rowCount() const;
    [[nodiscard]] bool empty() const { return rowCount() == 0; }
    // Removes every row; the columns stay.
    void clearRows();

    // First column: the row's label.
    [[nodiscard]] std::string_view text(std::size_t row) const;
    // Second column: the field's value as received.
    [[nodiscard]] std::string_view value(std::size_t row) const;
    // The row's key: text, then the key suffix, then the entry number in
    // decimal when it is above 0.
    [[nodiscard]] std::string key(std::size_t row) const;

    // Appends a row with key text + keySuffix + (entry > 0 ? decimal(entry)
    // : ""). Returns false, and adds nothing, when that key is already in the
    // list.
    [[nodiscard]] bool appendRow(std::string_view text, std::string_view keySuffix,
                                 std::uint32_t entry, std::string_view value);

private:
    struct Storage;
    std::unique_ptr<Storage> storage_;
};

}  // namespace twds
