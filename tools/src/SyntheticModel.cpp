#include "twds/SyntheticModel.h"

#include <array>
#include <cstdio>
#include <string>

namespace twds {

namespace {

void Set(ModelFields& fields, const char* name, std::string bytes) {
    fields[name] = ModelValue{std::move(bytes), false, 0};
}

std::string Digits(std::size_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*zu", width, value);
    return text;
}

// The IBM i data types a file's fields cycle through, with their lengths and
// decimals.
struct ZoneType {
    const char* type;
    std::size_t length;
    std::size_t decimals;
    std::size_t bufferLength;
};
constexpr std::array<ZoneType, 6> kZoneTypes{{
    {"A ", 10, 0, 10},
    {"P ", 9, 2, 5},
    {"S ", 5, 0, 5},
    {"L ", 10, 0, 10},
    {"B ", 9, 0, 4},
    {"Z ", 26, 0, 26},
}};

}  // namespace

SyntheticModel::SyntheticModel(std::size_t fileCount, std::size_t zcCount, bool withSql,
                               bool withEndTw)
    : fileCount_(fileCount), zcCount_(zcCount), withSql_(withSql) {
    Set(head_.cx, "Version", "V05R02M00");
    Set(head_.cx, "SourceCode", "SRC");
    Set(head_.cx, "EnvCode", "PR");
    Set(head_.cx, "TargetCode", "TGT");
    Set(head_.cx, "TargetType", "S");
    Set(head_.cx, "ComType", "T");
    Set(head_.cx, "SourceIpAddress", "10.20.30.40");
    Set(head_.cx, "TargetIpAddress", "10.20.30.41");
    Set(head_.cx, "LocalName", "BENCHSRC");
    Set(head_.cx, "StartingDate", "2024-03-18-06.00.00.000000");
    Set(head_.cx, "JobName", "TWBENCH");
    Set(head_.cx, "UserName", "TWADMIN");
    Set(head_.cx, "JobNumber", "100001");
    Set(head_.gc, "Model", "BEN");
    Set(head_.gc, "LibOrConnectStr", "BENCHLIB");
    Set(head_.gc, "EndTwName", "ENDBENCH");
    Set(head_.gc, "LibJournal", "BENCHLIB  BENCHJRN");
    Set(head_.gcBlock, "RecoveryType", "J");
    Set(head_.gcBlock, "State", "A");
    if (withEndTw) {
        head_.endTw = "ENDBENCH  Generated model of " + std::to_string(fileCount) +
                      " files.\nEnd of transfer window: 23:00.";
    }
}

ModelFile SyntheticModel::file(std::size_t index) const {
    ModelFile file;
    const std::string number = Digits(index + 1, 5);
    const std::string name = "BFIL" + number;
    file.ficId = "F" + Digits(index + 1, 9);
    Set(file.fields, "Occurence", "1");
    Set(file.fields, "SourceFile", name + " BENCHLIB  *FIRST    ");
    Set(file.fields, "TargetFile", name + " BENCHREP  *FIRST       ");
    Set(file.fields, "FileLength", std::to_string(zcCount_ * 10));
    Set(file.block, "State", "A");
    Set(file.block, "FileOrTableName", name);
    Set(file.block, "Read", std::to_string(index * 37 % 100000));

    std::size_t position = 1;
    std::string columns;
    std::string markers;
    std::string assignments;
    file.zc.reserve(zcCount_);
    for (std::size_t k = 0; k < zcCount_; ++k) {
        const ZoneType& type = kZoneTypes[k % kZoneTypes.size()];
        std::array<ModelValue, 9> entry;
        entry[0].bytes = "Z";
        entry[1].bytes = type.type;
        entry[2].bytes = std::to_string(type.length);
        entry[3].bytes = std::to_string(type.decimals);
        entry[4].bytes = std::to_string(position);
        entry[5].bytes = std::to_string(type.bufferLength);
        entry[6].bytes = std::to_string(position);
        entry[7].bytes = std::to_string(type.bufferLength);
        entry[8].bytes = k == 0 ? "1" : "0";
        file.zc.push_back(std::move(entry));
        position += type.bufferLength;

        const std::string column = "C" + Digits(k + 1, 3);
        columns += (k == 0 ? "" : ", ") + column;
        markers += k == 0 ? "?" : ", ?";
        if (k > 0) {
            assignments += (k == 1 ? "" : ", ") + column + " = ?";
        }
    }
    if (withSql_ && zcCount_ > 0) {
        const std::string table = "BENCHREP." + name;
        file.sql[0] = "INSERT INTO " + table + " (" + columns + ") VALUES (" + markers + ")";
        file.sql[1] = "UPDATE " + table + " SET " +
                      (assignments.empty() ? "C001 = ?" : assignments) + " WHERE C001 = ?";
        file.sql[2] = "DELETE FROM " + table + " WHERE C001 = ?";
        file.sql[3] = "DELETE FROM " + table;
    }
    return file;
}

}  // namespace twds
