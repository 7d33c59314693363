#include <cstdint>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "twds/FieldListModel.h"

namespace twds {
namespace {

// Columns and rows are added to the list behind the model's back, inside a
// reset bracket: the views learn of them, all at once, when it closes. The
// rows are read-only; values are shown with their control bytes visible.
TEST(FieldListModel, RowsAppearWhenTheResetBracketClosesAndStayReadOnly) {
    FieldList list;
    FieldListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    // Headings stay blank until the list has columns.
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.columnWidthTwips(1), FieldListModel::kDefaultColumnWidthTwips);

    model.beginListReset();
    list.addColumn("Field name", "Field name", 2500);
    list.addColumn("Data",
                   "Donn\xE9"
                   "es",
                   50000);
    ASSERT_TRUE(list.appendRow("Version", "", 0, std::string("  V1\0\t", 6)));
    ASSERT_TRUE(list.appendRow("Field", "FIC", 1, "1"));
    EXPECT_EQ(model.rowCount(), 0);  // still the count the views know
    model.endListReset();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("Données"));
    EXPECT_EQ(model.columnWidthTwips(1), 50000);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Version"));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
              QString::fromUtf8("  V1\u2400\u2409"));
    EXPECT_EQ(model.value(0), std::string_view("  V1\0\t", 6));
    EXPECT_TRUE(model.value(2).empty());
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(model.flags(model.index(0, column)) & (Qt::ItemIsEditable | Qt::ItemIsSelectable),
                  Qt::ItemIsSelectable);
    }
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("changed"), Qt::EditRole));
}

// With a row map the model shows only the rows it names, in its order; the
// map takes effect when the reset bracket closes, and nothing maps without it.
TEST(FieldListModel, ARowMapShowsOnlyTheRowsItNames) {
    FieldList list;
    for (const char* label : {"First", "Second", "Third"}) {
        ASSERT_TRUE(list.appendRow(label, "", 0, std::string(label) + " value"));
    }
    FieldListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const std::vector<std::uint32_t> map{0, 2};
    model.beginListReset();
    model.setRowMap(&map);
    EXPECT_EQ(model.rowCount(), 3);
    model.endListReset();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("Third"));
    EXPECT_EQ(model.value(1), "Third value");
    EXPECT_EQ(model.listRow(1), 2U);
    EXPECT_TRUE(model.value(2).empty());

    model.beginListReset();
    model.setRowMap(nullptr);
    model.endListReset();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.value(1), "Second value");
}

}  // namespace
}  // namespace twds
