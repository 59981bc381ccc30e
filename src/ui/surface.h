// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Off-screen drawing surfaces: a 32-bit RGB image with the handful of
// operations the dashboard draws with (block copies, filled rectangles,
// polygons, lines, text in a rectangle), all honouring an optional clip
// rectangle. Drawing is never antialiased: the dashboard is pixel art.
// Every colour given is drawn in the current palette (shade(), night_palette.h);
// pictures are copied as they are, so they come in the palette already.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRgb>
#include <QString>
#include <functional>
#include <optional>

#include "ui/rect.h"

namespace wp2 {

// An opaque 24-bit colour as the surfaces store it.
constexpr QRgb rgb(int r, int g, int b) {
    return 0xff000000u | (static_cast<unsigned>(r & 0xff) << 16) |
           (static_cast<unsigned>(g & 0xff) << 8) | static_cast<unsigned>(b & 0xff);
}

// Flags for Surface::text.
namespace TextFlag {
inline constexpr int Left = 0;
inline constexpr int Centre = 0x01;     // horizontally centred
inline constexpr int WordBreak = 0x02;  // wrap at word boundaries
inline constexpr int NoClip = 0x04;     // may draw outside the rectangle
inline constexpr int VCentre = 0x08;    // vertically centred (one line)
}  // namespace TextFlag

class Surface {
public:
    Surface(int width, int height);
    virtual ~Surface() = default;

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    Rect bounds() const { return {0, 0, width(), height()}; }
    const QImage& image() const { return image_; }
    QRgb pixel(int x, int y) const;

    // Clip rectangle for every later drawing operation (none: the whole surface).
    void setClip(const Rect& r) { clip_ = r; }
    void clearClip() { clip_.reset(); }

    void fill(QRgb colour);
    void fillRect(const Rect& r, QRgb colour);

    // Plain source-copy block transfers.
    // Copies srcRect of the image to (x, y).
    void blit(int x, int y, const QImage& src, const Rect& srcRect);
    void blit(int x, int y, const QImage& src);
    // Copies rectangle r of another surface to the same place here.
    void copyFrom(const Surface& src, const Rect& r);
    // Copies srcRect of another surface to (x, y).
    void copyFrom(const Surface& src, const Rect& srcRect, int x, int y);

    // Copies the pixels of srcRect of the image to (x, y), except those whose
    // colour equals key, which leave the surface unchanged.
    void blitKeyed(int x, int y, const QImage& src, const Rect& srcRect, QRgb key);

    // A filled polygon outlined with a one-pixel pen.
    void polygon(const Point* points, int count, QRgb fillColour, QRgb outlineColour);
    void line(Point from, Point to, QRgb colour, int penWidth = 1);
    // Connected line segments through the points.
    void polyline(const Point* points, int count, QRgb colour, int penWidth = 1);

    // Text in a rectangle, top-left aligned unless flags say otherwise. With a
    // background colour the area behind the text is filled first (opaque);
    // without one only the glyphs are drawn.
    void text(const Rect& r, const QString& s, const QFont& font, QRgb colour, int flags = 0,
              std::optional<QRgb> background = std::nullopt);
    // What textAgain() drew last, to draw the same again by copying.
    struct TextMemo {
        Rect area;
        QString text;
        QFont font;
        int flags = 0;
        QRgb colour = 0;
        std::optional<QRgb> fill;
        Rect ink;      // the only part the text can change
        Rect filled;   // the part its background covers
        QImage under;  // the pixels before the text (the filled part blank)
        QImage drawn;  // and after
    };
    // text() for one line, clipped to r (flags may only align it), drawn at
    // one place again and again (a read-out's caption over each new value,
    // the map's scale label): the same text over the same pixels leaves the
    // same pixels, which are copied from the memo instead of shaping and
    // rasterising the text again. Only the pixels the text can change and its
    // background does not cover are compared, so a new value drawn just below
    // it does not count.
    void textAgain(TextMemo& memo, const Rect& r, const QString& s, const QFont& font, QRgb colour,
                   int flags = 0, std::optional<QRgb> background = std::nullopt);
    // Text with an outline of the halo colour round its glyphs, so that it
    // stays legible on any picture (left and top aligned: flags may only add
    // NoClip).
    void haloText(const Rect& r, const QString& s, const QFont& font, QRgb colour, QRgb halo,
                  int flags = 0);
    // Free drawing with a painter clipped like the operations above (the
    // base map's scaled and turned tiles).
    void paint(const std::function<void(QPainter&)>& draw);

protected:
    // The destination area of a drawing operation after clipping.
    Rect clipped(const Rect& r) const;

private:
    // Where a block transfer of srcRect of src to (x, y) lands after both
    // images' edges and the clip rectangle: the destination rectangle and the
    // source pixel that goes to its top-left corner. False when nothing does.
    struct Transfer {
        Rect dest;
        int sx = 0;
        int sy = 0;
    };
    bool transferArea(int x, int y, const QImage& src, const Rect& srcRect, Transfer& t) const;

    QImage image_;
    std::optional<Rect> clip_;
};

// The composed frame that is copied to the window.
class FrameSurface : public Surface {
public:
    FrameSurface() : Surface(240, 320) {}
};

// The current static picture without sprites; sprites are erased from it.
class BackgroundSurface : public Surface {
public:
    BackgroundSurface() : Surface(240, 320) {}
};

// Keeps the part of the track map under the map-mode compass.
class ScratchSurface : public Surface {
public:
    ScratchSurface() : Surface(60, 60) {}
};

// The three surfaces the elements draw on. The main window owns one set and
// hands it to its screen, which gives it to every element it draws.
struct DrawingSurfaces {
    FrameSurface frame;
    BackgroundSurface background;
    ScratchSurface scratch;

    // A picture that belongs to the static screen: on the frame and in the
    // background that sprites are erased from.
    void blitStatic(int x, int y, const QImage& image) {
        frame.blit(x, y, image);
        background.blit(x, y, image);
    }
};

}  // namespace wp2
