#include "twds/ByteRunText.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>

#include "twds/ByteRunPainter.h"
#include "twds/Cp1252.h"

namespace twds {

namespace {

constexpr QChar kMiddleDot(0x00B7);  // in Latin-1, so every font has it

QString RunText(std::string_view bytes, const ByteRun& run) {
    return Cp1252ToQString(bytes.substr(run.offset, run.length));
}

QString MnemonicText(std::string_view mnemonic) {
    return QString::fromLatin1(mnemonic.data(), static_cast<qsizetype>(mnemonic.size()));
}

// A narrow blank in `format`: it pads a mark inside its box and parts two
// neighbouring marks. Every font has a blank; a small one is about two pixels
// wide.
QTextCharFormat NarrowBlank(QTextCharFormat format) {
    QFont narrow = format.font();
    narrow.setPixelSize(6);
    format.setFont(narrow, QTextCharFormat::FontPropertiesAll);
    return format;
}

}  // namespace

void ShowByteRuns(QPlainTextEdit& box, std::string_view bytes, LineBreaks lineBreaks) {
    box.clear();
    const QColor text = box.palette().color(QPalette::Text);
    const QColor base = box.palette().color(QPalette::Base);
    const QTextCharFormat plain;
    QTextCharFormat mark;
    mark.setFont(ByteRunPainter(box.font()).markFont(), QTextCharFormat::FontPropertiesAll);
    mark.setForeground(base);
    mark.setBackground(text);
    QTextCharFormat blank;
    blank.setBackground(ByteRunPainter::blankGround(text, base));
    blank.setForeground(ByteRunPainter::blankDot(text, base));
    const QTextCharFormat markPad = NarrowBlank(mark);
    const QTextCharFormat gap = NarrowBlank(plain);
    const QString blankText = QStringLiteral(" ");

    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    const auto insertRuns = [&](std::string_view line, TrailingBlanks blanks) {
        bool afterMark = false;
        for (const ByteRun& run : SplitByteRuns(line, blanks)) {
            switch (run.kind) {
                case ByteRun::Kind::Text:
                    cursor.insertText(RunText(line, run), plain);
                    break;
                case ByteRun::Kind::Marked:
                    if (afterMark) {
                        cursor.insertText(blankText, gap);
                    }
                    cursor.insertText(blankText, markPad);
                    cursor.insertText(MnemonicText(run.mnemonic), mark);
                    cursor.insertText(blankText, markPad);
                    break;
                case ByteRun::Kind::TrailingBlanks:
                    cursor.insertText(QString(static_cast<qsizetype>(run.length), kMiddleDot),
                                      blank);
                    break;
            }
            afterMark = run.kind == ByteRun::Kind::Marked;
        }
    };
    if (lineBreaks == LineBreaks::Marked) {
        insertRuns(bytes, TrailingBlanks::Marked);
    } else {
        // A free text: CR LF and LF end its lines; a lone CR is marked.
        std::size_t start = 0;
        for (std::size_t lf = bytes.find('\n'); lf != std::string_view::npos;
             lf = bytes.find('\n', start)) {
            const std::size_t end = lf > start && bytes[lf - 1] == '\r' ? lf - 1 : lf;
            insertRuns(bytes.substr(start, end - start), TrailingBlanks::AsText);
            cursor.insertBlock();
            start = lf + 1;
        }
        insertRuns(bytes.substr(start), TrailingBlanks::AsText);
    }
    cursor.endEditBlock();
    box.moveCursor(QTextCursor::Start);
    box.horizontalScrollBar()->setValue(0);
}

QString ByteRunsToolTip(std::string_view bytes, TrailingBlanks blanks, const QFont& font,
                        const QColor& text, const QColor& base, qsizetype maxBytes) {
    const auto limit = static_cast<std::size_t>(std::max<qsizetype>(maxBytes, 0));
    const QString markStyle = QStringLiteral("background-color:%1;color:%2;font-size:%3pt")
                                  .arg(text.name(), base.name())
                                  .arg(std::max(1.0, font.pointSizeF() * 0.75));
    const QString blankStyle = QStringLiteral("background-color:%1;color:%2")
                                   .arg(ByteRunPainter::blankGround(text, base).name(),
                                        ByteRunPainter::blankDot(text, base).name());

    QString html = QStringLiteral("<p style=\"white-space:pre-wrap;font-family:'%1'\">")
                       .arg(font.family().toHtmlEscaped());
    bool afterMark = false;
    for (const ByteRun& run : SplitByteRuns(bytes, blanks, limit)) {
        switch (run.kind) {
            case ByteRun::Kind::Text:
                html += RunText(bytes, run).toHtmlEscaped();
                break;
            case ByteRun::Kind::Marked:
                if (afterMark) {
                    html += QStringLiteral("<span style=\"font-size:2pt\"> </span>");
                }
                html += QStringLiteral("<span style=\"%1\">%2</span>")
                            .arg(markStyle, MnemonicText(run.mnemonic));
                break;
            case ByteRun::Kind::TrailingBlanks:
                html += QStringLiteral("<span style=\"%1\">%2</span>")
                            .arg(blankStyle,
                                 QString(static_cast<qsizetype>(run.length), QChar(0x00B7)));
                break;
        }
        afterMark = run.kind == ByteRun::Kind::Marked;
    }
    if (bytes.size() > limit) {
        html += QChar(0x2026);
    }
    html += QStringLiteral("</p>");
    return html;
}

}  // namespace twds
