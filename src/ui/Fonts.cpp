#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace relaydeck {

namespace {

/// The look-alike faces run wider than Tahoma; this brings their text to about the
/// width the layout was measured for.
constexpr double kFallbackScale = 0.88;

QFont pickFont(const QStringList& wanted, double points, bool bold) {
    const QStringList installed = QFontDatabase::families();
    QFont font;
    bool found = false;
    for (const QString& family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            font.setFamily(family);
            found = true;
            break;
        }
    }
    if (found) {
        font.setPointSizeF(points);
    } else {
        font.setStyleHint(QFont::SansSerif);
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arial"), QStringLiteral("Helvetica")});
        font.setPointSizeF(points * kFallbackScale);
    }
    font.setBold(bold);
    return font;
}

}  // namespace

QFont tahomaFont(double points, bool bold) {
    return pickFont({QStringLiteral("Tahoma")}, points, bold);
}

QFont msSansSerifFont(double points, bool bold) {
    return pickFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                     QStringLiteral("Tahoma")},
                    points, bold);
}

QFont fontFor(const FontFace& face) {
    if (QString::fromUtf8(face.family) == QStringLiteral("MS Sans Serif")) {
        return msSansSerifFont(face.points, face.bold);
    }
    return tahomaFont(face.points, face.bold);
}

}  // namespace relaydeck
