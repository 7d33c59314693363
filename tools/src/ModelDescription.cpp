#include "twds/ModelDescription.h"

#include <algorithm>
#include <span>

#include "twds/Ascii.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"

namespace twds {

namespace {

using layout::FieldSpec;

constexpr std::array<std::string_view, 4> kSqlKeys = {"sql.insert", "sql.update", "sql.delete",
                                                      "sql.clrpfm"};
constexpr std::size_t kMaxFicId = 10;

enum class Section { None, CX, GC, GCBlock, EndTw, File, FileBlock };

// Decodes the escapes of text into out.
Status Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 == text.size()) {
            return Failure{"a backslash ends the value; write \\\\ for a backslash"};
        }
        const char next = text[++i];
        if (next == '\\' || next == '"' || next == '|') {
            out += next;
        } else if (next == 'x' && i + 2 < text.size() && AsciiHexDigitValue(text[i + 1]) >= 0 &&
                   AsciiHexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(AsciiHexDigitValue(text[i + 1]) * 16 +
                                     AsciiHexDigitValue(text[i + 2]));
            i += 2;
        } else {
            return Failure{"unknown escape \\" + std::string(1, next) +
                           R"(; use \xNN (two hex digits), \\, \" or \|)"};
        }
    }
    return {};
}

// A value as written after "=" (or between two bars): trimmed, or exact
// between double quotes.
Status DecodeValue(std::string_view raw, ModelValue& value) {
    raw = TrimSpacesAndTabs(raw);
    value.quoted = !raw.empty() && raw.front() == '"';
    if (!value.quoted) {
        return Unescape(raw, value.bytes);
    }
    std::size_t close = 1;
    while (close < raw.size() && raw[close] != '"') {
        close += raw[close] == '\\' ? 2 : 1;
    }
    if (close + 1 != raw.size()) {
        return Failure{"a quoted value must end with its closing double quote"};
    }
    return Unescape(raw.substr(1, close - 1), value.bytes);
}

// Splits a ZC line at the bars that are not escaped.
std::vector<std::string_view> SplitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '|') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

const FieldSpec* FindField(std::string_view name, std::span<const FieldSpec> first,
                           std::span<const FieldSpec> second = {}) {
    for (const auto fields : {first, second}) {
        const auto found = std::find_if(fields.begin(), fields.end(),
                                        [name](const FieldSpec& f) { return f.name == name; });
        if (found != fields.end()) {
            return &*found;
        }
    }
    return nullptr;
}

class Parser {
public:
    Parser(const std::string& name, ModelDescription& model) : name_(name), model_(model) {}

    Status line(int number, std::string_view text);
    void finish();

private:
    std::string at(int number) const { return name_ + ": line " + std::to_string(number) + ": "; }
    Status header(int number, std::string_view inner);
    Status field(int number, std::string_view key, std::string_view raw);
    Status zcEntry(int number, std::string_view raw);
    ModelFile& file(std::string_view ficId);
    void checkWidth(int number, std::string_view key, const ModelValue& value, int width);

    const std::string& name_;
    ModelDescription& model_;
    Section section_ = Section::None;
    ModelFile* file_ = nullptr;
    std::vector<std::string> endTwLines_;
    int endTwLine_ = 0;
};

Status Parser::line(int number, std::string_view text) {
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    const std::string_view trimmed = TrimSpacesAndTabs(text);
    if (section_ == Section::EndTw && !trimmed.starts_with('[')) {
        std::string line;
        if (Status decoded = Unescape(text, line); !decoded) {
            return Failure{at(number) + decoded.error() + "."};
        }
        endTwLines_.push_back(std::move(line));
        return {};
    }
    if (trimmed.empty() || trimmed.front() == '#') {
        return {};
    }
    if (trimmed.front() == '[') {
        if (trimmed.back() != ']') {
            return Failure{at(number) + "a section header must end with \"]\"."};
        }
        return header(number, TrimSpacesAndTabs(trimmed.substr(1, trimmed.size() - 2)));
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return Failure{at(number) + R"(expected "name = value" or a [section], found ")" +
                       std::string(trimmed) + "\"."};
    }
    return field(number, TrimSpacesAndTabs(trimmed.substr(0, equals)), trimmed.substr(equals + 1));
}

Status Parser::header(int number, std::string_view inner) {
    file_ = nullptr;
    if (inner == "CX") {
        section_ = Section::CX;
    } else if (inner == "GC") {
        section_ = Section::GC;
    } else if (inner == "GC.block") {
        section_ = Section::GCBlock;
    } else if (inner == "END_TW") {
        if (endTwLine_ != 0) {
            return Failure{at(number) + "a second [END_TW] section; the first is at line " +
                           std::to_string(endTwLine_) + "."};
        }
        endTwLine_ = number;
        section_ = Section::EndTw;
    } else if (inner.starts_with("FILE ")) {
        std::string_view ficId = TrimSpacesAndTabs(inner.substr(5));
        section_ = Section::File;
        if (ficId.ends_with(".block")) {
            ficId.remove_suffix(6);
            section_ = Section::FileBlock;
        }
        if (ficId.empty() || ficId.size() > kMaxFicId ||
            ficId.find_first_of(" \t\\\"") != std::string_view::npos) {
            return Failure{at(number) +
                           "a file's FicID must be 1 to 10 characters without blanks, "
                           "found \"" +
                           std::string(ficId) + "\"."};
        }
        file_ = &file(ficId);
    } else {
        return Failure{at(number) + "unknown section [" + std::string(inner) +
                       "]; expected [CX], [GC], [GC.block], [END_TW], [FILE <FicID>] or "
                       "[FILE <FicID>.block]."};
    }
    return {};
}

ModelFile& Parser::file(std::string_view ficId) {
    const auto found = std::find_if(model_.files.begin(), model_.files.end(),
                                    [ficId](const ModelFile& f) { return f.ficId == ficId; });
    if (found != model_.files.end()) {
        return *found;
    }
    model_.files.emplace_back().ficId = std::string(ficId);
    return model_.files.back();
}

void Parser::checkWidth(int number, std::string_view key, const ModelValue& value, int width) {
    if (value.bytes.size() > static_cast<std::size_t>(width)) {
        model_.warnings.push_back(at(number) + std::string(key) + " holds " +
                                  std::to_string(value.bytes.size()) + " bytes; its field is " +
                                  std::to_string(width) + " wide, so it is cut.");
    }
}

Status Parser::field(int number, std::string_view key, std::string_view raw) {
    if (section_ == Section::File && key == "zc") {
        return zcEntry(number, raw);
    }
    if (section_ == Section::File && key.starts_with("sql.") && key.ends_with(".length")) {
        // The length field as written, for a damaged model: "-7", "ABC".
        const std::string_view kind = key.substr(0, key.size() - 7);
        const auto sql = std::find(kSqlKeys.begin(), kSqlKeys.end(), kind);
        if (sql == kSqlKeys.end()) {
            return Failure{at(number) + "unknown statement " + std::string(kind) +
                           "; expected sql.insert, sql.update, sql.delete or sql.clrpfm."};
        }
        ModelValue value;
        if (Status decoded = DecodeValue(raw, value); !decoded) {
            return Failure{at(number) + decoded.error() + "."};
        }
        file_->sqlLength[static_cast<std::size_t>(sql - kSqlKeys.begin())] = value;
        return {};
    }
    if (section_ == Section::File && key.starts_with("sql.")) {
        const auto sql = std::find(kSqlKeys.begin(), kSqlKeys.end(), key);
        if (sql == kSqlKeys.end()) {
            return Failure{at(number) + "unknown statement " + std::string(key) +
                           "; expected sql.insert, sql.update, sql.delete or sql.clrpfm."};
        }
        auto& statement = file_->sql[static_cast<std::size_t>(sql - kSqlKeys.begin())];
        if (statement) {
            return Failure{at(number) + std::string(key) + " is given twice for file " +
                           file_->ficId + "."};
        }
        ModelValue value;
        if (Status decoded = DecodeValue(raw, value); !decoded) {
            return Failure{at(number) + decoded.error() + "."};
        }
        statement = std::move(value.bytes);
        return {};
    }

    ModelFields* fields = nullptr;
    const FieldSpec* layoutField = nullptr;
    switch (section_) {
        case Section::None:
            return Failure{at(number) + "a value before any section; begin with a [section]."};
        case Section::EndTw:
            return Failure{at(number) + "unexpected value in [END_TW]."};
        case Section::CX:
            fields = &model_.cx;
            layoutField = FindField(key, layout::kCX);
            break;
        case Section::GC:
            fields = &model_.gc;
            layoutField = FindField(key, layout::kGC, layout::kGCTail);
            break;
        case Section::GCBlock:
            fields = &model_.gcBlock;
            layoutField = FindField(key, layout::kReadableBlock);
            break;
        case Section::File:
            fields = &file_->fields;
            layoutField = FindField(key, layout::kFC, layout::kFCTail);
            break;
        case Section::FileBlock:
            fields = &file_->block;
            layoutField = FindField(key, layout::kReadableBlock);
            break;
    }
    if (layoutField == nullptr) {
        return Failure{at(number) + "no field named \"" + std::string(key) +
                       "\" in this section (field names are those of the page layout, such as "
                       "Version, NbrOfFC, FicID or RecoveryType)."};
    }
    ModelValue value;
    value.line = number;
    if (Status decoded = DecodeValue(raw, value); !decoded) {
        return Failure{at(number) + decoded.error() + "."};
    }
    checkWidth(number, key, value, layoutField->width);
    const auto [existing, added] = fields->try_emplace(std::string(key), std::move(value));
    if (!added) {
        return Failure{at(number) + std::string(key) + " is already set at line " +
                       std::to_string(existing->second.line) + "."};
    }
    return {};
}

Status Parser::zcEntry(int number, std::string_view raw) {
    const auto parts = SplitBars(TrimSpacesAndTabs(raw));
    const std::size_t fieldCount = layout::kZC.size();
    if (parts.size() != fieldCount && parts.size() != fieldCount - 1) {
        return Failure{at(number) + "a ZC entry has " + std::to_string(fieldCount) +
                       " fields separated by \"|\" (or " + std::to_string(fieldCount - 1) +
                       " without the Page letter), found " + std::to_string(parts.size()) + "."};
    }
    std::array<ModelValue, 9> entry;
    const std::size_t first = fieldCount - parts.size();
    if (first == 1) {
        entry[0].bytes = "Z";
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        ModelValue& value = entry[first + i];
        value.line = number;
        if (Status decoded = DecodeValue(parts[i], value); !decoded) {
            return Failure{at(number) + decoded.error() + "."};
        }
        checkWidth(number, layout::kZC[first + i].name, value, layout::kZC[first + i].width);
    }
    file_->zc.push_back(std::move(entry));
    return {};
}

void Parser::finish() {
    if (endTwLine_ != 0) {
        while (!endTwLines_.empty() && TrimSpacesAndTabs(endTwLines_.back()).empty()) {
            endTwLines_.pop_back();
        }
        std::string text;
        for (const auto& line : endTwLines_) {
            if (&line != &endTwLines_.front()) {
                text += '\n';
            }
            text += line;
        }
        model_.endTw = std::move(text);
    }
}

}  // namespace

bool ModelFile::hasSql() const {
    return std::any_of(sql.begin(), sql.end(), [](const auto& s) { return s.has_value(); });
}

Result<ModelDescription> ModelDescription::parse(std::string_view text, const std::string& name) {
    ModelDescription model;
    Parser parser(name, model);
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (Status read = parser.line(++number, line); !read) {
            return Failure{read.error()};
        }
    }
    parser.finish();
    return model;
}

}  // namespace twds
