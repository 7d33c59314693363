#include "twds/FieldListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <string>

namespace twds {
namespace {

void AddRow(FieldList& list, const std::string& label, std::string_view value,
            std::uint32_t entry = 0) {
    ASSERT_TRUE(list.appendRow(label, "", entry, value));
}

TEST(FieldListModel, ShowsLabelsAndRawValuesReadOnly) {
    FieldList list;
    AddRow(list, "Version", std::string("  V1\0\t", 6));
    AddRow(list, "Empty", "");
    FieldListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Version"));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
              QString::fromUtf8("  V1\u2400\u2409"));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.value(0), std::string_view("  V1\0\t", 6));
    EXPECT_TRUE(model.value(7).empty());
    for (int column = 0; column < 2; ++column) {
        const Qt::ItemFlags flags = model.flags(model.index(0, column));
        EXPECT_FALSE(flags.testFlag(Qt::ItemIsEditable));
        EXPECT_TRUE(flags.testFlag(Qt::ItemIsSelectable));
    }
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("changed"), Qt::EditRole));
    EXPECT_EQ(list.text(0), "Version");
}

// Columns and rows are added to the list behind the model's back, inside a
// reset bracket: the views learn of them, all at once, when it closes.
TEST(FieldListModel, ColumnsAndRowsAppearWhenTheResetBracketCloses) {
    FieldList list;
    FieldListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    // Headings stay blank until the list has columns.
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.columnWidthTwips(1), FieldListModel::kDefaultColumnWidthTwips);

    model.beginListReset();
    list.addColumn("Field name", "Field name", 2500);
    list.addColumn("Data",
                   "Donn\xE9"
                   "es",
                   50000);
    for (std::uint32_t i = 1; i <= 20000; ++i) {
        ASSERT_TRUE(list.appendRow("Field", "FIC", i, std::to_string(i)));
    }
    EXPECT_EQ(model.rowCount(), 0);  // still the count the views know
    model.endListReset();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Field name"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("Données"));
    EXPECT_EQ(model.columnWidthTwips(1), 50000);
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).isValid());
    EXPECT_EQ(model.rowCount(), 20000);
    EXPECT_EQ(model.data(model.index(19999, 1), Qt::DisplayRole).toString(),
              QStringLiteral("20000"));

    model.beginListReset();
    list.clearRows();
    model.endListReset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(inserts.count(), 0);
}

}  // namespace
}  // namespace twds
