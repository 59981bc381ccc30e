// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin_style.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QStringList>
#include <cmath>

namespace wp2::art {
namespace {

QString g_family;

}  // namespace

void registerFonts() {
    const QStringList files = {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
                               QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")};
    for (const QString& file : files) {
        if (QFile::exists(file)) {
            const int id = QFontDatabase::addApplicationFont(file);
            if (id >= 0 && g_family.isEmpty()) {
                g_family = QFontDatabase::applicationFontFamilies(id).value(0);
            }
        }
    }
    if (g_family.isEmpty()) {
        g_family = QStringLiteral("DejaVu Sans");
    }
}

QFont uiFont(int pixelSize, bool bold) {
    QFont f(g_family.isEmpty() ? QStringLiteral("DejaVu Sans") : g_family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QFont fittedFont(const QString& text, double width, int pixelSize, bool bold) {
    QFont f = uiFont(pixelSize, bold);
    while (f.pixelSize() > 8 && QFontMetricsF(f).horizontalAdvance(text) > width) {
        f.setPixelSize(f.pixelSize() - 1);
    }
    return f;
}

QImage blankImage(int width, int height, QColor fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void paintBevel(QPainter& p, const QRect& r, QColor light, QColor dark) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(light);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(dark);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.restore();
}

void paintPanelFace(QPainter& p, const QRect& r, Side side) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kFaceTop);
    g.setColorAt(1, kFaceBottom);
    p.fillRect(r, g);
    paintBevel(p, r, kBevelLight, kBevelDark);
    // The outer screen edge gets a second, darker line.
    p.setPen(kBevelDark);
    if (side == Side::Left || side == Side::Both) {
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    }
    if (side == Side::Right || side == Side::Both) {
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom());
    }
    p.restore();
}

void textCentred(QPainter& p, QPointF centre, const QString& text) {
    const QRectF box(centre.x() - 100, centre.y() - 50, 200, 100);
    p.drawText(box, Qt::AlignCenter, text);
}

QPointF polar(QPointF c, double r, double a) {
    return QPointF(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
}

}  // namespace wp2::art
