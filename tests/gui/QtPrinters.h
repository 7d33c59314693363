#pragma once

#include <ostream>

#include <QRect>
#include <QString>

// Readable GoogleTest failures for the Qt types the tests compare. Qt's types
// live in the global namespace, so their printers must too.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
