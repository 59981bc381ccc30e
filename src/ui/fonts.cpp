// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>

namespace wp2 {

namespace {

const char* const kTahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

struct Families {
    QString tahoma;
    QString arial;
};

QString firstAvailable(const QStringList& candidates) {
    const QStringList known = QFontDatabase::families();
    for (const QString& c : candidates) {
        if (known.contains(c, Qt::CaseInsensitive)) {
            return c;
        }
    }
    return QStringLiteral("DejaVu Sans");
}

Families& families() {
    static Families f = [] {
        Families r;
        QStringList tahoma;
        for (const char* path : kTahomaFiles) {
            if (!QFile::exists(QString::fromUtf8(path))) {
                continue;
            }
            const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(path));
            if (id >= 0) {
                tahoma += QFontDatabase::applicationFontFamilies(id);
            }
        }
        tahoma += QStringLiteral("Tahoma");
        r.tahoma = firstAvailable(tahoma);
        r.arial = firstAvailable({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        return r;
    }();
    return f;
}

// The largest pixel size whose line height does not exceed the cell height.
int pixelSizeForCell(const QString& family, int cellHeight, bool bold) {
    QFont probe(family);
    probe.setBold(bold);
    int size = cellHeight;
    while (size > 1) {
        probe.setPixelSize(size);
        if (QFontMetrics(probe).height() <= cellHeight) {
            break;
        }
        --size;
    }
    return size;
}

}  // namespace

void registerDashboardFonts() {
    (void)families();
}

QString typefaceFamily(Typeface face) {
    return face == Typeface::Tahoma ? families().tahoma : families().arial;
}

QFont dashboardFont(Typeface face, int cellHeight, bool bold) {
    static QHash<int, QFont> cache;
    const int key = (static_cast<int>(face) << 16) | (bold ? 1 << 15 : 0) | (cellHeight & 0x7fff);
    auto it = cache.find(key);
    if (it != cache.end()) {
        return *it;
    }
    const QString family = typefaceFamily(face);
    QFont font(family);
    font.setBold(bold);
    font.setPixelSize(pixelSizeForCell(family, cellHeight, bold));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    cache.insert(key, font);
    return font;
}

namespace {
constexpr int kSmallest = 9;
}  // namespace

QFont fittingFont(Typeface face, int cellHeight, bool bold, const QString& text, int width) {
    QFont font = dashboardFont(face, cellHeight, bold);
    for (int h = cellHeight - 1; h >= kSmallest; --h) {
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            break;
        }
        font = dashboardFont(face, h, bold);
    }
    return font;
}

QFont shrunkToFit(QFont font, const QString& text, int width) {
    while (font.pixelSize() > kSmallest && QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

const QFont& FontFit::fit(const QFont& font, const QString& text, int width) {
    if (width != width_ || text != text_ || font != from_) {
        fitted_ = shrunkToFit(font, text, width);
        from_ = font;
        text_ = text;
        width_ = width;
    }
    return fitted_;
}

}  // namespace wp2
