#include "ModelPages.h"

namespace twds::test {

std::string Number(std::int64_t value) {
    std::string text = std::to_string(value);
    return std::string(text.size() < 10 ? 10 - text.size() : 0, ' ') + text;
}

std::string BuildFCPage(const FileModel& file) {
    return FillFields(layout::kFC, {{"Page", "F"},
                                    {"FicID", file.ficID},
                                    {"SourceFile", "SRCLIB/" + file.ficID},
                                    {"NumberOfZC", Number(file.zcCount)},
                                    {"OffsetOfInsert", Number(file.insertOffset)}}) +
           FillFields(layout::kReadableBlock, {{"RecoveryType", "R"}, {"Read", Number(12)}}) +
           FillFields(layout::kFCTail, {{"ExtendedSequence", "00000000000000000042"}});
}

static std::string BuildZCPage(int zcCount) {
    std::string page;
    for (int k = 1; k <= zcCount; ++k) {
        page += FillFields(layout::kZC, {{"Page", "Z"},
                                         {"FieldType", "A "},
                                         {"InputFieldLength", Number(k)},
                                         {"KeyOrder", Number(k % 3)}});
    }
    return page;
}

static std::string BuildSQLPage(const std::array<std::string, 4>& statements) {
    std::string page;
    for (const std::string& statement : statements) {
        page += Number(static_cast<std::int64_t>(statement.size())) + statement;
    }
    return page;
}

PageMap BuildPages(const UserSpaceModel& model) {
    PageMap pages;
    pages[{'C', 1024}] = FillFields(
        layout::kCX,
        {{"Page", "C"}, {"Version", std::string(kModelVersion)}, {"LocalName", "LOCALSYS"}});
    pages[{'G', 1024}] =
        FillFields(layout::kGC, {{"Page", "G"},
                                 {"Model", "001"},
                                 {"NbrOfFC", Number(static_cast<std::int64_t>(model.files.size()))},
                                 {"EndTwOffset", Number(model.endOffset)},
                                 {"EndTwLength", Number(model.endLength)}}) +
        FillFields(layout::kReadableBlock, {{"RecoveryType", "G"}}) +
        FillFields(layout::kGCTail, {{"MaxCountEntry", Number(500)}});
    if (model.endOffset > 0) {
        pages[{'E', static_cast<std::int32_t>(model.endOffset + 1024)}] = model.endPage;
    }
    std::int32_t position = 2048;
    for (const FileModel& file : model.files) {
        pages[{'F', position}] = BuildFCPage(file);
        pages[{'Z', position}] = BuildZCPage(file.zcCount);
        // An offset past the last requestable position has no page to serve.
        if (const std::int64_t sqlPosition = std::int64_t{position} + file.insertOffset;
            file.insertOffset > 0 && sqlPosition <= 99'999'999) {
            pages[{'S', static_cast<std::int32_t>(sqlPosition)}] = BuildSQLPage(file.statements);
        }
        position += 512;
    }
    return pages;
}

UserSpaceModel ThreeFilesModel(bool newer) {
    UserSpaceModel model;
    model.files = {
        {"CUSTMAST01", newer ? 2 : 1, 0, {}}, {"ORDERS0002", 1, 0, {}}, {"ITEMS00003", 1, 0, {}}};
    if (newer) {
        model.files.erase(model.files.begin() + 1);
    }
    model.endOffset = 4000;
    model.endLength = 40;
    model.endPage = newer ? "TWEND00001Closing text" : "TWEND00001Opening text";
    return model;
}

PageMap SmallModelPages() {
    UserSpaceModel model;
    model.files = {{"FIC0000001",
                    2,
                    300,
                    {"INSERT INTO T VALUES(?)", "UPDATE T SET A=?", "DELETE FROM T", "CLRPFM T"}},
                   {"FIC0000002", 2, 0, {}}};
    model.endOffset = 4000;
    model.endLength = 40;
    model.endPage = "   HEADER0001First line\r\nSecond line   ";
    return BuildPages(model);
}

std::string ToSavedUserSpace(const PageMap& pages) {
    std::string file = "TWUSRSPC PAGES 1\n";
    for (const auto& [where, text] : pages) {
        const std::string position = std::to_string(where.second);
        file += std::string(1, where.first) + " " + std::string(8 - position.size(), '0') +
                position + " " + std::to_string(text.size()) + "\n" + text + "\n";
    }
    return file;
}

}  // namespace twds::test
