#include "twds/ByteRunDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <string>

#include "QtPrinters.h"
#include "twds/FieldListModel.h"

namespace twds {
namespace {

// A list of a few rows shown by a table view with the delegate, the value
// column 300 pixels wide.
struct DelegateView {
    DelegateView() {
        list.addColumn("Field name", "Field name", 2500);
        list.addColumn("Data", "Data", 2500);
        model.beginListReset();
        for (const auto& [label, value] : rows) {
            EXPECT_TRUE(list.appendRow(label, "", 0, value));
        }
        model.endListReset();
        view.setModel(&model);
        view.setItemDelegate(new ByteRunDelegate(&view));
        view.verticalHeader()->hide();
        view.setShowGrid(false);
        view.horizontalHeader()->resizeSection(0, 80);
        view.horizontalHeader()->resizeSection(1, 300);
        view.resize(400, 200);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // The value cell of a row as drawn.
    QImage valueCell(int row) {
        const QImage all = view.viewport()->grab().toImage();
        return all.copy(view.visualRect(model.index(row, 1)));
    }

    const std::vector<std::pair<std::string, std::string>> rows{
        {"Plain", "ABC"},
        {"Nul", std::string("\0", 1)},
        {"Blanks", "AB        "},
        {"Long", std::string(200, 'X')},
    };
    FieldList list;
    FieldListModel model{list};
    QTableView view;
};

// The longest run of neighbouring dark pixels on one line of the image: the
// inverse box of a mark is a solid bar, a glyph's strokes are short.
int LongestDarkRun(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = qGray(image.pixel(x, y)) < 96 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

TEST(ByteRunDelegate, NulIsDrawnAsAnInverseBoxAndTrailingBlanksAreShaded) {
    DelegateView v;
    EXPECT_LT(LongestDarkRun(v.valueCell(0)), 10) << "plain letters make no bar";
    EXPECT_GE(LongestDarkRun(v.valueCell(1)), 14) << "the NUL mark's box";

    // Past "AB", ten blanks stand on a ground darker than the cell's own.
    const QImage blanks = v.valueCell(2);
    const QColor ground = v.view.palette().color(QPalette::Base);
    const int y = blanks.height() / 2;
    const int xAfterText = v.view.fontMetrics().horizontalAdvance(QStringLiteral("AB")) + 10;
    EXPECT_LT(qGray(blanks.pixel(xAfterText, 1)), qGray(ground.rgb()));
    EXPECT_EQ(blanks.pixel(blanks.width() - 2, y), ground.rgb()) << "no shade past the value";
}

TEST(ByteRunDelegate, OnlyACutValueHasATooltipAndItHoldsTheWholeValue) {
    DelegateView v;
    const auto tipAt = [&v](int row) {
        QToolTip::hideText();
        const QPoint at = v.view.visualRect(v.model.index(row, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, v.view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(v.view.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(0), QString());
    const QString tip = tipAt(3);
    EXPECT_TRUE(tip.contains(QString(200, QLatin1Char('X')))) << tip.toStdString();
}

}  // namespace
}  // namespace twds
