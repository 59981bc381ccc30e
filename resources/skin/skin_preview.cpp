// SPDX-License-Identifier: GPL-3.0-or-later
// Review pictures of the skin, written into the folder given on the command line:
//   contact_sheet.png   every bitmap at its own size, small ones also enlarged, with ids
//   pushpin_icons.png   the pushpin icon list, enlarged, 16 x 16 entries numbered
//   screen_*.png        the 240 x 320 screen assembled from the bitmaps the way the
//                       dashboard places them, with the instruments sketched on top
// A review aid only: the instruments here are simple stand-ins drawn with the same
// geometry as the dashboard's.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ui/skin_bitmaps.h"

namespace {

constexpr double kPi = 3.1415926525;

QString g_tahoma = QStringLiteral("DejaVu Sans");
QString g_arial = QStringLiteral("DejaVu Sans");

void loadFonts() {
    for (const char* f :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(f));
        if (id >= 0) {
            g_tahoma = QFontDatabase::applicationFontFamilies(id).value(0);
        }
    }
    if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans"))) {
        g_arial = QStringLiteral("Liberation Sans");
    }
}

QFont font(const QString& family, int px, bool bold) {
    QFont f(family);
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void blitKeyed(QImage& dst, int x, int y, const QImage& src, QRgb key) {
    for (int sy = 0; sy < src.height(); ++sy) {
        for (int sx = 0; sx < src.width(); ++sx) {
            const QRgb c = src.pixel(sx, sy);
            if ((c & 0xffffff) != (key & 0xffffff) && dst.rect().contains(x + sx, y + sy)) {
                dst.setPixel(x + sx, y + sy, c);
            }
        }
    }
}

void blit(QImage& dst, int x, int y, int id) {
    QPainter p(&dst);
    p.drawImage(x, y, wp2::skinBitmap(id));
}

// The dashboard's rotation rule: turn (x, y) about (cx, cy) by r, truncating.
QPoint turn(double x, double y, double cx, double cy, double r) {
    const double dx = x - cx, dy = y - cy;
    return QPoint(static_cast<int>(cx + dx * std::cos(r) + dy * std::sin(r) + 0.5),
                  static_cast<int>(cy + dy * std::cos(r) - dx * std::sin(r) + 0.5));
}

void polygon(QImage& img, const QPolygon& poly, QColor fill, QColor line) {
    QPainter p(&img);
    p.setPen(line);
    p.setBrush(fill);
    p.drawPolygon(poly);
}

// Big dial arrow at display angle shownAngle, hub triangle at angle.
void dialArrow(QImage& img, double angle, double shownAngle) {
    const int cx = 121, cy = 106;
    QPolygon hub;
    for (auto [x, y] : {std::pair{-9, 12}, {0, -20}, {9, 12}}) {
        hub << turn(cx + x, cy + y, cx, cy, angle - kPi / 2);
    }
    polygon(img, hub, QColor(147, 0, 0), Qt::black);
    QPolygon arrow;
    for (auto [x, y] :
         {std::pair{7, 0}, {7, 55}, {16, 55}, {0, 80}, {-16, 55}, {-7, 55}, {-7, 0}}) {
        arrow << turn(cx + x, cy + 6 - y, cx, cy, shownAngle - kPi / 2);
    }
    polygon(img, arrow, QColor(255, 255, 0), QColor(220, 150, 0));
}

void needle(QImage& img, int cx, int cy, double angle, int base, int length) {
    for (int half = 0; half < 2; ++half) {
        const double r = angle - (half == 0 ? kPi / 2 : 3 * kPi / 2);
        QPolygon t;
        t << turn(cx + static_cast<int>(-0.5 * base), cy, cx, cy, r)
          << turn(cx, cy - length, cx, cy, r)
          << turn(cx + static_cast<int>(0.5 * base), cy, cx, cy, r);
        polygon(img, t, half == 0 ? QColor(0, 0, 255) : QColor(255, 0, 0), Qt::black);
    }
}

// Digit read-out: glyph run from the left of the text rectangle, caption above.
void readout(QImage& img, int left, int top, const QString& text, const QString& caption) {
    int x = left;
    for (QChar ch : text) {
        if (ch == QLatin1Char(' ')) {
            continue;
        }
        const int id =
            ch.isDigit() ? wp2::skin::kFirstGlyph + ch.digitValue() : wp2::skin::kOtherGlyph;
        const QImage g = wp2::skinBitmap(id);
        blitKeyed(img, x, top + 16, g, wp2::skin::kGlyphKey);
        x += g.width() + 1;
    }
    if (!caption.isEmpty()) {
        QPainter p(&img);
        p.setFont(font(g_arial, 16, true));
        p.setPen(QColor(200, 200, 150));
        p.drawText(QRect(left, top, 40, 18), Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
}

void text(QImage& img, const QRect& r, const QString& s, QColor c, const QFont& f,
          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
    QPainter p(&img);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, flags, s);
}

void skyDots(QImage& img, int cx, int cy) {
    struct Sat {
        double elev, az;
        int snr;
    };
    const Sat sats[] = {{90, 0, 40},   {0, 0, 30},   {45, 60, 35},  {20, 140, 0},
                        {60, 230, 44}, {10, 300, 0}, {35, 200, 25}, {70, 100, 0}};
    for (const Sat& s : sats) {
        const double e = s.elev * kPi / 180, a = s.az * kPi / 180;
        const double radius = std::cos(e) * 40;
        const int x = cx + static_cast<int>(std::cos(a + kPi / 2) * radius);
        const int y = cy - static_cast<int>(std::sin(a + kPi / 2) * radius);
        if (s.snr < 1) {
            blitKeyed(img, x - 4, y - 4, wp2::skinBitmap(423), wp2::skin::kNoSignalDotKey);
        } else {
            blitKeyed(img, x - 4, y - 4, wp2::skinBitmap(422), wp2::skin::kSignalDotKey);
        }
    }
}

// Entry i of the icon table: the i-th 16 x 16 picture of the icon list.
QImage tableIcon(int index) {
    for (int i = 0; i < wp2::pushpinIconCount(); ++i) {
        const QImage icon = wp2::pushpinIcon(i);
        if (icon.width() == 16 && icon.height() == 16 && index-- == 0) {
            return icon;
        }
    }
    return QImage();
}

void buttons(QImage& img, bool mapMode) {
    blit(img, 0, 264, 401);
    blit(img, 60, 264, mapMode ? 461 : 403);
    blit(img, 120, 264, mapMode ? 463 : 405);
    blit(img, 180, 264, 407);
}

void destination(QImage& img, int left, int top) {
    blit(img, left, top, left == 0 ? 469 : 470);
    {
        QPainter p(&img);
        p.drawImage(left + 100, top + 5, tableIcon(16));
    }
    text(img, QRect(left + 8, top + 22, 109, 40), QStringLiteral("Old Mill car park"),
         QColor(255, 220, 120), font(g_tahoma, 16, true),
         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    const QFont f = font(g_tahoma, 16, false);
    text(img, QRect(left + 46, top + 62, 73, 15), QStringLiteral(" 2.4 km"), Qt::white, f);
    text(img, QRect(left + 76, top + 78, 41, 15), QStringLiteral("00:07"), Qt::white, f);
    text(img, QRect(left + 76, top + 94, 41, 15), QStringLiteral("14:32"), Qt::white, f);
}

void position(QImage& img, int left, int top) {
    blit(img, left, top, left == 0 ? 477 : 478);
    const QFont f = font(g_tahoma, 16, true);
    text(img, QRect(left + 25, top + 3, 100, 20), QStringLiteral("Position"), Qt::white, f);
    const QFont rows = font(g_tahoma, 13, true);
    text(img, QRect(left + 8, top + 22, 109, 20), QStringLiteral("Lt N 47 12.3456'"), Qt::white,
         rows);
    text(img, QRect(left + 8, top + 42, 109, 20), QStringLiteral("Ln E 8 31.0078'"), Qt::white,
         rows);
    text(img, QRect(left + 8, top + 62, 109, 20), QStringLiteral("Alt 412 m"), Qt::white, rows);
}

void selectors(QImage& img) {
    for (QPoint at :
         {QPoint(5, 5), QPoint(5, 102), QPoint(220, 102), QPoint(5, 155), QPoint(125, 155)}) {
        blit(img, at.x(), at.y(), wp2::skin::kSelectorClosed);
    }
}

void topExtras(QImage& img, int lamp) {
    blit(img, 66, 128, lamp);
    blit(img, 220, 5, wp2::skin::kQuit);
}

// An open selector list like the dashboard draws it: grey bands with edges from 472.
void openList(QImage& img, int left, int top, int width, const QStringList& items, int current) {
    const QImage edges = wp2::skinBitmap(wp2::skin::kSelectorEdges);
    QPainter p(&img);
    for (int i = 0; i < items.size(); ++i) {
        const int y = top + i * 23;
        const bool cur = i == current;
        const QColor bands[5] = {cur ? QColor(218, 217, 217) : QColor(189, 189, 189),
                                 cur ? QColor(207, 206, 206) : QColor(170, 169, 169),
                                 cur ? QColor(198, 196, 196) : QColor(153, 153, 153),
                                 cur ? QColor(134, 133, 133) : QColor(104, 103, 103),
                                 cur ? QColor(50, 50, 50) : QColor(39, 39, 39)};
        p.fillRect(left, y, width, 1, bands[0]);
        p.fillRect(left, y + 1, width, 1, bands[1]);
        p.fillRect(left, y + 2, width, 19, bands[2]);
        p.fillRect(left, y + 21, width, 1, bands[3]);
        p.fillRect(left, y + 22, width, 1, bands[4]);
        const int sy = cur ? 23 : 0;
        p.drawImage(QPoint(left, y), edges, QRect(0, sy, 2, 23));
        p.drawImage(QPoint(left + width - 2, y), edges, QRect(2, sy, 2, 23));
        if (cur) {
            p.fillRect(left + 4, y + 9, 4, 4, Qt::black);
        }
        p.setFont(font(g_tahoma, 16, false));
        p.setPen(cur ? Qt::black : Qt::white);
        p.drawText(QRect(left + 12, y + 3, width - 14, 20), Qt::AlignLeft | Qt::AlignTop, items[i]);
    }
}

QImage screenCourse() {
    QImage img(240, 320, QImage::Format_RGB32);
    img.fill(Qt::red);
    blit(img, 0, 0, wp2::skin::kCourseDial);
    destination(img, 0, 150);
    blit(img, 120, 150, wp2::skin::kSkyView);
    skyDots(img, 180, 207);
    buttons(img, false);
    dialArrow(img, kPi / 2 - 0.6, kPi / 2 - 0.6);  // target 34 degrees to the right
    topExtras(img, wp2::skin::kLampGreen);
    readout(img, 3, 116, QStringLiteral("12.5"), QStringLiteral("kmh"));
    readout(img, 208, 116, QStringLiteral("245"), QString());
    selectors(img);
    return img;
}

QImage screenSpeed(double kmh) {
    QImage img(240, 320, QImage::Format_RGB32);
    img.fill(Qt::red);
    blit(img, 0, 0, wp2::skin::kSpeedDial);
    blit(img, 0, 150, wp2::skin::kCompassLeft);
    needle(img, 61, 208, 0.35 + kPi / 2, 19, 38);
    position(img, 120, 150);
    buttons(img, false);
    double a = kmh < 20    ? 3.485 - 0.0129 * kmh
               : kmh < 100 ? 3.624 - 0.0199 * kmh
                           : 3.594 - 0.0196 * kmh;
    double shown = a;
    if (shown >= kPi && shown <= 4.71238897875) {
        shown = 4.71238897875;
    } else if (shown > 4.71238897875 || shown < 0) {
        shown = 0;
    }
    dialArrow(img, a, shown);
    topExtras(img, wp2::skin::kLampYellow);
    readout(img, 3, 116, kmh >= 100 ? QString::number(kmh, 'f', 0) : QString::number(kmh, 'f', 1),
            QStringLiteral("kmh"));
    readout(img, 208, 116, QStringLiteral("3.1"), QString());
    selectors(img);
    return img;
}

QImage screenMap() {
    QImage img(240, 320, QImage::Format_RGB32);
    img.fill(Qt::red);
    {
        QPainter p(&img);
        p.fillRect(0, 0, 240, 264, QColor(230, 230, 230));
        p.setPen(QColor(50, 0, 180));
        for (int y = 10; y <= 250; y += 55) {
            p.drawLine(10, y, 229, y);
        }
        for (int x = 10; x <= 230; x += 55) {
            p.drawLine(x, 10, x, 250);
        }
        p.setPen(Qt::red);
        const QPoint track[] = {{120, 132}, {112, 150}, {96, 170}, {90, 200},
                                {70, 215},  {40, 222},  {20, 240}, {10, 262}};
        p.drawPolyline(track, 8);
        p.setFont(font(g_tahoma, 12, false));
        p.setPen(Qt::black);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(QColor(230, 230, 230));
        const struct {
            int x, y, icon;
            const char* name;
        } pins[] = {{160, 80, 15, "Home"},
                    {70, 60, 16, "Car"},
                    {190, 190, 17, "Cache"},
                    {60, 150, 49, "Peak"},
                    {150, 230, 27, "Fuel"}};
        for (const auto& pin : pins) {
            p.drawImage(pin.x - 8, pin.y - 8, tableIcon(pin.icon));
            p.drawText(QRect(pin.x + 10, pin.y - 7, 60, 14), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromLatin1(pin.name));
        }
        p.drawText(QRect(10, 214, 60, 20), Qt::AlignCenter, QStringLiteral("200 m"));
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(QPen(QColor(20, 52, 255), 2));
        p.drawPolyline(
            QPolygon({QPoint(10, 225), QPoint(10, 230), QPoint(65, 230), QPoint(65, 225)}));
    }
    const QImage marker = wp2::skinBitmap(wp2::skin::kMarker);
    blitKeyed(img, 120 - marker.width() / 2, 132 - marker.height() / 2, marker,
              wp2::skin::kMarkerKey);
    needle(img, 37, 37, kPi / 2 + 0.5, 16, 28);
    buttons(img, true);
    topExtras(img, wp2::skin::kLampGreen);
    return img;
}

QImage screenLists() {
    QImage img = screenCourse();
    blit(img, 5, 155, wp2::skin::kSelectorOpen);
    openList(img, 20, 155, 95,
             {QStringLiteral("Compass"), QStringLiteral("Destination"), QStringLiteral("Sky View"),
              QStringLiteral("Position")},
             1);
    return img;
}

// The splash window: the picture and the loading text where the window writes it.
QImage splashWindow() {
    QImage img = wp2::skinBitmap(wp2::skin::kSplash).copy();
    text(img, QRect(10, 218, 120, 17), QStringLiteral("Wayplot2 loading..."), Qt::black,
         font(g_tahoma, 15, false));
    return img;
}

QImage sideBySide(const std::vector<QImage>& screens) {
    QImage out(static_cast<int>(screens.size()) * 250 + 10, 340, QImage::Format_RGB32);
    out.fill(QColor(90, 90, 90));
    QPainter p(&out);
    for (size_t i = 0; i < screens.size(); ++i) {
        p.drawImage(10 + static_cast<int>(i) * 250, 10, screens[i]);
    }
    return out;
}

QImage contactSheet() {
    std::vector<int> ids;
    for (int id : wp2::skinBitmapIds()) {
        if (id < wp2::skin::kFirstPushpinIcon) {
            ids.push_back(id);
        }
    }
    const int width = 760;
    QImage sheet(width, 1400, QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter p(&sheet);
    p.setFont(font(g_tahoma, 11, true));
    int x = 8, y = 8, rowHeight = 0;
    for (int id : ids) {
        const QImage img = wp2::skinBitmap(id);
        const int scale = img.width() <= 20 ? 4 : (img.width() <= 60 && img.height() <= 60 ? 1 : 1);
        const QSize shown = img.size() * scale;
        const int cellW = std::max(shown.width() + (scale > 1 ? img.width() + 6 : 0), 30) + 10;
        if (x + cellW > width) {
            x = 8;
            y += rowHeight + 22;
            rowHeight = 0;
        }
        p.setPen(Qt::white);
        p.drawText(x, y + 10, QString::number(id));
        p.drawImage(QRect(QPoint(x, y + 14), shown), img);
        if (scale > 1) {
            p.drawImage(x + shown.width() + 6, y + 14, img);
        }
        x += cellW;
        rowHeight = std::max(rowHeight, shown.height() + 14);
    }
    p.end();
    return sheet.copy(0, 0, width, y + rowHeight + 30);
}

QImage iconSheet() {
    const int n = wp2::pushpinIconCount();
    const int perRow = 12, cell = 72;
    QImage sheet(perRow * cell + 10, ((n + perRow - 1) / perRow) * cell + 10, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter p(&sheet);
    p.setFont(font(g_tahoma, 10, false));
    int tableIndex = 0;
    for (int i = 0; i < n; ++i) {
        const QImage icon = wp2::pushpinIcon(i);
        const int x = 5 + (i % perRow) * cell, y = 5 + (i / perRow) * cell;
        p.fillRect(x, y, 48, 48, Qt::black);
        p.drawImage(QRect(x, y, icon.width() * 3, icon.height() * 3), icon);
        QImage keyed(icon.size(), QImage::Format_RGB32);
        keyed.fill(QColor(230, 230, 230));
        blitKeyed(keyed, 0, 0, icon, wp2::skin::kPushpinKey);
        p.drawImage(x + 50, y + 2, keyed);
        p.drawImage(x + 50, y + 20, icon);
        p.setPen(Qt::black);
        const bool full = icon.width() == 16 && icon.height() == 16;
        p.drawText(x, y + 58,
                   full ? QStringLiteral("%1 (%2)").arg(i).arg(tableIndex++) : QString::number(i));
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wp2_skin_preview OUTDIR\n");
        return 2;
    }
    loadFonts();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    bool ok = contactSheet().save(dir + QStringLiteral("/contact_sheet.png"));
    ok = iconSheet().save(dir + QStringLiteral("/pushpin_icons.png")) && ok;
    const auto save = [&](const QImage& img, const QString& name) {
        return img.save(dir + QStringLiteral("/%1.png").arg(name)) &&
               img.scaled(img.size() * 3).save(dir + QStringLiteral("/%1_3x.png").arg(name));
    };
    ok = save(splashWindow(), QStringLiteral("splash")) && ok;
    ok = save(screenCourse(), QStringLiteral("screen_course")) && ok;
    ok = save(screenSpeed(100), QStringLiteral("screen_speed")) && ok;
    ok = save(screenMap(), QStringLiteral("screen_map")) && ok;
    ok = save(screenLists(), QStringLiteral("screen_list")) && ok;
    const QImage screens =
        sideBySide({screenCourse(), screenSpeed(100), screenMap(), screenLists()});
    ok = screens.save(dir + QStringLiteral("/screens.png")) && ok;
    ok = screens.scaled(screens.size() * 2).save(dir + QStringLiteral("/screens_2x.png")) && ok;
    ok = sideBySide(
             {screenSpeed(0), screenSpeed(25), screenSpeed(60), screenSpeed(140), screenSpeed(183)})
             .save(dir + QStringLiteral("/speed_sweep.png")) &&
         ok;
    return ok ? 0 : 1;
}
