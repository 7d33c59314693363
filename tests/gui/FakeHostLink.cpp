#include "FakeHostLink.h"

#include <map>
#include <string_view>

#include "twds/PageLayout.h"

namespace twds::testing {

namespace {

// The fields of a layout table in order, each value padded with blanks (or
// cut) to its width; fields not given are blanks.
template <std::size_t N>
std::string Fields(const std::array<layout::FieldSpec, N>& specs,
                   const std::map<std::string_view, std::string>& values) {
    std::string page;
    for (const layout::FieldSpec& spec : specs) {
        const auto found = values.find(spec.name);
        std::string value = found == values.end() ? std::string() : found->second;
        value.resize(static_cast<std::size_t>(spec.width), ' ');
        page += value;
    }
    return page;
}

std::string Number(int n) {
    return std::to_string(n);
}

}  // namespace

int32_t FakeHostLink::fnDllParamOpenMConnection(std::string&, std::string&, std::string&,
                                                int32_t& connection) {
    ++opens;
    if (!connectSucceeds) {
        return 0;
    }
    connection = handle;
    return 1;
}

int32_t FakeHostLink::fnDllParamRtvUserspace(std::string&, std::string& page) {
    const char kind = page.size() > 9 ? page[9] : ' ';
    const int position = page.size() > 9 ? std::stoi(page.substr(1, 8)) : -1;
    requests.emplace_back(kind, position);
    const auto found = pages.find({kind, position});
    if (found == pages.end()) {
        return 0;
    }
    std::string text = found->second;
    text.resize(page.size(), ' ');
    page = text;
    return 1;
}

int32_t FakeHostLink::fnDllParamCloseMConnection(int32_t connection) {
    closes.push_back(connection);
    return 1;
}

int32_t FakeHostLink::fnDllParamGetLastError(int32_t&, int32_t&, std::string& text, int32_t) {
    const std::string message = lastError + std::string(1, '\0');
    text.replace(0, std::min(message.size(), text.size()), message, 0,
                 std::min(message.size(), text.size()));
    return 1;
}

void ServeSmallModel(FakeHostLink& link) {
    link.pages[{'C', 1024}] = Fields(layout::kCX, {{"Page", "C"},
                                                   {"Version", kCxVersion},
                                                   {"SourceIpAddress", "127.0.0.1"},
                                                   {"JobName", "TWJOB"}});
    const int endOffset = 4000;
    link.pages[{'G', 1024}] =
        Fields(layout::kGC, {{"Page", "G"},
                             {"Model", "001"},
                             {"NbrOfFC", "2"},
                             {"EndTwOffset", Number(endOffset)},
                             {"EndTwLength", "40"}}) +
        Fields(layout::kReadableBlock, {{"RecoveryType", "1"}, {"State", "A"}}) +
        Fields(layout::kGCTail, {});
    link.pages[{'E', endOffset + 1024}] = "   HEADER0001First line\r\nSecond line   ";

    const int insertOffset = 300;
    for (int n = 1; n <= 2; ++n) {
        const int position = 2048 + 512 * (n - 1);
        const std::string ficId = "FIC000000" + Number(n);
        link.pages[{'F', position}] =
            Fields(layout::kFC, {{"Page", "F"},
                                 {"FicID", ficId},
                                 {"SourceFile", "SRCLIB/FILE" + Number(n)},
                                 {"NumberOfZC", "2"},
                                 {"OffsetOfInsert", n == 1 ? Number(insertOffset) : "0"}}) +
            Fields(layout::kReadableBlock, {{"State", "R"}}) + Fields(layout::kFCTail, {});
        link.pages[{'Z', position}] =
            Fields(layout::kZC, {{"Page", "Z"}, {"FieldType", "A"}, {"InputFieldLength", "10"}}) +
            Fields(layout::kZC, {{"Page", "Z"}, {"FieldType", "P"}, {"InputFieldLength", "7"}});
        if (n == 1) {
            std::string sql;
            for (const std::string_view statement :
                 {"INSERT INTO T VALUES(?)", "UPDATE T SET A=?", "DELETE FROM T", "CLRPFM T"}) {
                std::string length = Number(static_cast<int>(statement.size()));
                length.resize(layout::kSqlLengthWidth, ' ');
                sql += length;
                sql += statement;
            }
            link.pages[{'S', position + insertOffset}] = sql;
        }
    }
}

}  // namespace twds::testing
