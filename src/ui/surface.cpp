// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

#include "ui/night_palette.h"

namespace wp2 {

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// A painter on the image with the surface's clip and no antialiasing.
void preparePainter(QPainter& p, const Rect& clip) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setClipRect(toQRect(clip));
}

int qtTextFlags(int flags) {
    int qtFlags = Qt::AlignTop;
    qtFlags |= (flags & TextFlag::Centre) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (flags & TextFlag::VCentre) {
        qtFlags = (qtFlags & ~Qt::AlignTop) | Qt::AlignVCenter;
    }
    if (flags & TextFlag::WordBreak) {
        qtFlags |= Qt::TextWordWrap;
    }
    if (flags & TextFlag::NoClip) {
        qtFlags |= Qt::TextDontClip;
    }
    return qtFlags;
}

Rect fromQRect(const QRect& r) {
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

QVarLengthArray<QPoint, 64> toQPoints(const Point* points, int count) {
    QVarLengthArray<QPoint, 64> q;
    q.reserve(count);
    for (int i = 0; i < count; ++i) {
        q.append(QPoint(points[i].x, points[i].y));
    }
    return q;
}

QPen solidPen(QRgb colour, int width) {
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidth(width);
    pen.setCapStyle(width > 1 ? Qt::SquareCap : Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

}  // namespace

Surface::Surface(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::black);
}

QRgb Surface::pixel(int x, int y) const {
    if (!bounds().contains(x, y)) {
        return 0;
    }
    return image_.pixel(x, y);
}

Rect Surface::clipped(const Rect& r) const {
    Rect c = r.intersected(bounds());
    if (clip_) {
        c = c.intersected(*clip_);
    }
    return c;
}

void Surface::fill(QRgb colour) {
    image_.fill(shade(colour));
}

void Surface::fillRect(const Rect& r, QRgb colour) {
    const Rect c = clipped(r);
    const QRgb shaded = shade(colour);
    for (int y = c.top; y < c.bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + c.left, line + c.right, shaded);
    }
}

bool Surface::transferArea(int x, int y, const QImage& src, const Rect& srcRect,
                           Transfer& t) const {
    if (src.isNull() || src.depth() != 32) {
        return false;
    }
    const Rect s = srcRect.intersected(Rect{0, 0, src.width(), src.height()});
    if (s.isEmpty()) {
        return false;
    }
    // Keep the part of the source that lands inside the clipped destination.
    const int dx = x + (s.left - srcRect.left);
    const int dy = y + (s.top - srcRect.top);
    t.dest = clipped(Rect{dx, dy, dx + s.width(), dy + s.height()});
    t.sx = s.left + (t.dest.left - dx);
    t.sy = s.top + (t.dest.top - dy);
    return !t.dest.isEmpty();
}

void Surface::blit(int x, int y, const QImage& src, const Rect& srcRect) {
    Transfer t;
    if (!transferArea(x, y, src, srcRect, t)) {
        return;
    }
    const Rect& d = t.dest;
    for (int row = 0; row < d.height(); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(t.sy + row)) + t.sx;
        auto* to = reinterpret_cast<QRgb*>(image_.scanLine(d.top + row)) + d.left;
        if (src.format() == QImage::Format_RGB32) {
            std::memcpy(to, from, sizeof(QRgb) * static_cast<std::size_t>(d.width()));
        } else {
            for (int i = 0; i < d.width(); ++i) {
                to[i] = from[i] | 0xff000000u;
            }
        }
    }
}

void Surface::blit(int x, int y, const QImage& src) {
    blit(x, y, src, Rect{0, 0, src.width(), src.height()});
}

void Surface::copyFrom(const Surface& src, const Rect& r) {
    blit(r.left, r.top, src.image_, r);
}

void Surface::copyFrom(const Surface& src, const Rect& srcRect, int x, int y) {
    blit(x, y, src.image_, srcRect);
}

void Surface::blitKeyed(int x, int y, const QImage& src, const Rect& srcRect, QRgb key) {
    Transfer t;
    if (!transferArea(x, y, src, srcRect, t)) {
        return;
    }
    const Rect& d = t.dest;
    const QRgb keyRgb = key & 0x00ffffffu;
    for (int row = 0; row < d.height(); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(t.sy + row)) + t.sx;
        auto* to = reinterpret_cast<QRgb*>(image_.scanLine(d.top + row)) + d.left;
        for (int i = 0; i < d.width(); ++i) {
            const QRgb p = from[i] & 0x00ffffffu;
            if (p != keyRgb) {
                to[i] = p | 0xff000000u;
            }
        }
    }
}

void Surface::polygon(const Point* points, int count, QRgb fillColour, QRgb outlineColour) {
    if (count < 2) {
        return;
    }
    const auto q = toQPoints(points, count);
    QPainter p(&image_);
    preparePainter(p, clipped(bounds()));
    p.setPen(solidPen(shade(outlineColour), 1));
    p.setBrush(QColor::fromRgb(shade(fillColour)));
    p.drawPolygon(q.data(), static_cast<int>(q.size()));
}

void Surface::line(Point from, Point to, QRgb colour, int penWidth) {
    const Point pts[2] = {from, to};
    polyline(pts, 2, colour, penWidth);
}

void Surface::polyline(const Point* points, int count, QRgb colour, int penWidth) {
    if (count < 2) {
        return;
    }
    const auto q = toQPoints(points, count);
    QPainter p(&image_);
    preparePainter(p, clipped(bounds()));
    p.setPen(solidPen(shade(colour), penWidth));
    p.drawPolyline(q.data(), static_cast<int>(q.size()));
}

void Surface::textAgain(TextMemo& memo, const Rect& r, const QString& s, const QFont& font,
                        QRgb colour, int flags, std::optional<QRgb> background) {
    const Rect area = clipped(r);
    if (area.isEmpty() || s.isEmpty()) {
        return;
    }
    const QRgb shaded = shade(colour);
    const std::optional<QRgb> fill = background ? std::optional(shade(*background)) : std::nullopt;
    const bool sameText = area == memo.area && s == memo.text && font == memo.font &&
                          flags == memo.flags && fill.has_value() == memo.fill.has_value();
    if (!sameText) {
        // The line's box as text() lays it out (and fills it, given a
        // background), and the glyphs' outlines from its baseline with a
        // margin for antialiasing.
        const QFontMetrics metrics(font, &image_);
        const QRect line = metrics.boundingRect(toQRect(r), qtTextFlags(flags), s);
        const QRect outline = metrics.tightBoundingRect(s)
                                  .translated(line.left(), line.top() + metrics.ascent())
                                  .adjusted(-2, -2, 2, 2);
        memo.ink = fromQRect(fill ? outline.united(line) : outline).intersected(area);
        memo.filled = fill ? fromQRect(line).intersected(memo.ink) : Rect{};
    }
    const Rect ink = memo.ink;
    // What lies under the filled box does not matter: the fill covers it.
    QImage under = image_.copy(toQRect(ink));
    for (int y = memo.filled.top; y < memo.filled.bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(under.scanLine(y - ink.top));
        std::fill(row + memo.filled.left - ink.left, row + memo.filled.right - ink.left, 0u);
    }
    if (sameText && shaded == memo.colour && fill == memo.fill && under == memo.under) {
        blit(ink.left, ink.top, memo.drawn);
        return;
    }
    text(r, s, font, colour, flags, background);
    const Rect filled = memo.filled;
    memo = {area, s, font, flags, shaded, fill, ink, filled, under, image_.copy(toQRect(ink))};
}

void Surface::haloText(const Rect& r, const QString& s, const QFont& font, QRgb colour, QRgb halo,
                       int flags) {
    if (s.isEmpty()) {
        return;
    }
    // The glyphs as one outline, stroked wide in the halo colour and filled.
    QPainterPath glyphs;
    glyphs.addText(r.left, r.top + QFontMetrics(font).ascent(), font, s);
    QPainter p(&image_);
    preparePainter(p, (flags & TextFlag::NoClip) ? clipped(bounds()) : clipped(r));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.strokePath(glyphs, QPen(QColor::fromRgb(shade(halo)), 2.5));
    p.fillPath(glyphs, QColor::fromRgb(shade(colour)));
}

void Surface::paint(const std::function<void(QPainter&)>& draw) {
    QPainter p(&image_);
    preparePainter(p, clipped(bounds()));
    draw(p);
}

void Surface::text(const Rect& r, const QString& s, const QFont& font, QRgb colour, int flags,
                   std::optional<QRgb> background) {
    if (s.isEmpty()) {
        return;
    }
    const int qtFlags = qtTextFlags(flags);
    const bool clipToRect = !(flags & TextFlag::NoClip);
    QPainter p(&image_);
    preparePainter(p, clipToRect ? clipped(r) : clipped(bounds()));
    p.setFont(font);
    const QRect area = toQRect(r);
    if (background) {
        p.fillRect(p.boundingRect(area, qtFlags, s), QColor::fromRgb(shade(*background)));
    }
    p.setPen(QColor::fromRgb(shade(colour)));
    p.drawText(area, qtFlags, s);
}

}  // namespace wp2
