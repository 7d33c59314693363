#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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
    // A moved-from list may only be assigned to or destroyed.
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
    // Second column: the field's value as received. The view stays valid
    // until clearRows() or the list's end (appending does not move values).
    [[nodiscard]] std::string_view value(std::size_t row) const;
    // The row's key: text (or the leading part of it named when its label
    // was interned), then the key suffix, then the entry number in decimal
    // when it is above 0.
    [[nodiscard]] std::string key(std::size_t row) const;

    // Appends a row with key text + keySuffix + (entry > 0 ? decimal(entry)
    // : ""). Returns false, and adds nothing, when that key is already in the
    // list. The value's bytes are copied; a value may hold up to 1 MiB (a
    // page holds at most 30000), a longer one throws std::length_error.
    [[nodiscard]] bool appendRow(std::string_view text, std::string_view keySuffix,
                                 std::uint32_t entry, std::string_view value);

    // The decoders' path: labels and key suffixes are interned once and rows
    // refer to them by id. Ids stay valid until clearRows().
    using LabelId = std::uint32_t;
    using SuffixId = std::uint32_t;

    // A label is the row's text; the row's key begins with its first
    // keyLength bytes (all of it by default), so that a row text such as
    // "Query 'Insert'" can carry the key of "Query" alone.
    [[nodiscard]] LabelId internLabel(std::string_view text,
                                      std::size_t keyLength = std::string_view::npos);
    [[nodiscard]] SuffixId internSuffix(std::string_view keySuffix);
    [[nodiscard]] std::string_view labelText(LabelId label) const;
    // The interned label of row `row`: rows of one label share it, so a
    // search tests a label once rather than once per row.
    [[nodiscard]] LabelId labelOf(std::size_t row) const;
    // The key that a row of this label, suffix and entry has or would have.
    [[nodiscard]] std::string keyFor(LabelId label, SuffixId suffix, std::uint32_t entry) const;
    // As the string_view overload.
    [[nodiscard]] bool appendRow(LabelId label, SuffixId suffix, std::uint32_t entry,
                                 std::string_view value);

    // One row of a batch for appendRows.
    struct NewRow {
        LabelId label;
        SuffixId suffix;
        std::uint32_t entry;
        std::string_view value;
    };
    // Appends the rows in order, as appendRow would one by one, and stops
    // before the first whose key is already in the list. Returns how many
    // were added. Faster than single rows for large lists: the batch's table
    // slots are fetched from memory together.
    [[nodiscard]] std::size_t appendRows(std::span<const NewRow> rows);

    // Makes room in the key table for this many more rows, so that a caller
    // that knows the count ahead avoids regrowing it step by step. A list
    // that checks its keys by their parts (see usesKeyTable) has no table to
    // grow.
    void reserve(std::size_t rows);

    // A list checks a new row's key against its rows' keys by the parts the
    // keys are made of (label, suffix, entry) while different parts cannot
    // spell the same key, which costs no memory per row; otherwise by a table
    // of the whole keys' hashes. True once the list uses the table (until
    // clearRows()). Both are exact; the table is slower on large lists.
    [[nodiscard]] bool usesKeyTable() const;

    // Keeps only the bits of mask of every key hash, so that tests can make
    // distinct keys collide and reach the full key comparison. Call it on an
    // empty list.
    void narrowKeyHashForTesting(std::uint32_t mask);

private:
    struct Storage;
    std::unique_ptr<Storage> storage_;
};

}  // namespace twds
