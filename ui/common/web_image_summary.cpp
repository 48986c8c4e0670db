#include "ui/common/web_image_summary.h"

#include <QLocale>

#include "ui/common/cp932_text.h"

namespace qm {

QString WebImageSummary(const WebImage& image) {
    if (!image.copied) return QStringLiteral("元の画像をそのまま使います");
    return QStringLiteral("%1　%2×%3ピクセル　%4バイト")
        .arg(FromCp932(image.src))
        .arg(image.width)
        .arg(image.height)
        .arg(QLocale::c().toString(qulonglong(image.bytes.size())));
}

}  // namespace qm
