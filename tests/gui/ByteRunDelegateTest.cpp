#include <string>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "twds/ByteRunDelegate.h"
#include "twds/ByteRunPainter.h"
#include "twds/FieldListModel.h"

namespace twds {
namespace {

// The longest run of neighbouring dark pixels on one line of the image: the
// inverse box of a mark is a solid bar, a glyph's strokes are short.
int LongestDarkRun(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0, run = 0; x < image.width(); ++x) {
            run = qGray(image.pixel(x, y)) < 96 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// A few rows drawn by the delegate, the value column 300 pixels wide: a NUL
// is an inverse box, trailing blanks stand on a darker ground, and only a
// value cut by its column has a tooltip, holding it whole.
TEST(ByteRunDelegate, MarksShadesAndTooltips) {
    FieldList list;
    FieldListModel model{list};
    list.addColumn("Field name", "Field name", 2500);
    list.addColumn("Data", "Data", 2500);
    model.beginListReset();
    for (const auto& [label, value] : {std::pair<std::string, std::string>{"Plain", "ABC"},
                                       {"Nul", std::string(1, '\0')},
                                       {"Blanks", "AB        "},
                                       {"Long", std::string(200, 'X')}}) {
        ASSERT_TRUE(list.appendRow(label, "", 0, value));
    }
    model.endListReset();
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(new ByteRunDelegate(&view));
    view.setShowGrid(false);
    view.horizontalHeader()->resizeSection(0, 80);
    view.horizontalHeader()->resizeSection(1, 300);
    view.resize(400, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage all = view.viewport()->grab().toImage();
    const auto cell = [&](int row) { return all.copy(view.visualRect(model.index(row, 1))); };

    EXPECT_LT(LongestDarkRun(cell(0)), 10) << "plain letters make no bar";
    EXPECT_GE(LongestDarkRun(cell(1)), 14) << "the NUL mark's box";
    const QImage blanks = cell(2);
    const QRgb ground = view.palette().color(QPalette::Base).rgb();
    const int xAfterText = view.fontMetrics().horizontalAdvance(QStringLiteral("AB")) + 10;
    EXPECT_LT(qGray(blanks.pixel(xAfterText, 1)), qGray(ground));
    EXPECT_EQ(blanks.pixel(blanks.width() - 2, blanks.height() / 2), ground);

    const auto tipAt = [&](int row) {
        QToolTip::hideText();
        const QPoint at = view.visualRect(model.index(row, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(0), QString());
    EXPECT_TRUE(tipAt(3).contains(QString(200, QLatin1Char('X'))));
}

// The found bytes stand on the highlight's ground, each place from the left
// of its first character to the right of its last; the rest on the caller's.
TEST(ByteRunPainter, HighlightsEveryPlaceOfTheFoundBytesOnly) {
    QImage image(300, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QColor ground(255, 214, 64);
    const QFont font = QApplication::font();
    {
        QPainter painter(&image);
        ByteRunPainter(font).paint(painter, image.rect(), "abcdefabcd", TrailingBlanks::AsText,
                                   Qt::black, Qt::white, {{2, 8}, 2, ground});
    }
    const QFontMetrics metrics(font);
    const auto at = [&](const char* prefix) {
        return metrics.horizontalAdvance(QString::fromLatin1(prefix));
    };
    for (const auto& [from, to] :
         {std::pair(at("ab"), at("abcd")), std::pair(at("abcdefab"), at("abcdefabcd"))}) {
        EXPECT_EQ(image.pixel(from + 1, 0), ground.rgb());
        EXPECT_EQ(image.pixel(to - 1, 0), ground.rgb());
        EXPECT_EQ(image.pixel(from - 1, 0), QColor(Qt::white).rgb());
        EXPECT_EQ(image.pixel(to + 1, 0), QColor(Qt::white).rgb());
    }
}

}  // namespace
}  // namespace twds
