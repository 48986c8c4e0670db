#include "ui/common/dialog_fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

namespace qm {

namespace {

// Windows without the faces named first (they come with the Japanese
// edition) still has one of these Japanese user-interface faces.
QStringList WindowsJapaneseFaces() {
#ifdef _WIN32
    return {QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"),
            QStringLiteral("MS UI Gothic")};
#else
    return {};
#endif
}

// `families` first, then Windows' Japanese faces, then the system's own, each
// face standing in where the ones before it lack a character.
QFont FontFrom(const QStringList& families, QFontDatabase::SystemFont lastResort,
               QFont::StyleHint hint, int pointSize) {
    QStringList all = families;
    all << WindowsJapaneseFaces() << QFontDatabase::systemFont(lastResort).family();
    QFont font(all.first(), pointSize);
    font.setFamilies(all);
    font.setStyleHint(hint);
    return font;
}

}  // namespace

QFont MainWindowFont() {
    return FontFrom({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                     QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")},
                    QFontDatabase::FixedFont, QFont::Monospace, 10);
}

QFont DialogFont() {
    return FontFrom({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                     QStringLiteral("MS Gothic"), QStringLiteral("IPAPGothic"),
                     QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")},
                    QFontDatabase::GeneralFont, QFont::SansSerif, 9);
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the Latin alphabet, rounded, as dialog managers measure it.
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = std::max(1, (alphabet / 26 + 1) / 2);
    baseHeight_ = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const { return (units * baseWidth_ + 2) / 4; }

int DialogUnits::ToPixelsY(int units) const { return (units * baseHeight_ + 4) / 8; }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

}  // namespace qm
