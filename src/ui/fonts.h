// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two typefaces the dashboard names. "Tahoma" is the real Tahoma shipped
// with Wine (outside fontconfig's path, so it is registered by file) and
// "Arial" is the metric-compatible Liberation Sans; DejaVu Sans stands in for
// either when it is missing. Heights are cell heights in pixels (ascent plus
// descent), so a height-16 font fits a 16-pixel line.

#include <QFont>
#include <QString>

namespace wp2 {

enum class Typeface { Tahoma, Arial };

// Registers the font files once. Needs a QGuiApplication.
void registerDashboardFonts();

// The family actually used for a typeface after registration.
QString typefaceFamily(Typeface face);

// A font of the given cell height in pixels.
QFont dashboardFont(Typeface face, int cellHeight, bool bold);

// The font of at most that cell height (down to 9) in which text is no wider
// than width: long texts shrink to fit their rectangle instead of being cut.
QFont fittingFont(Typeface face, int cellHeight, bool bold, const QString& text, int width);
// The same for a font already chosen: smaller pixel sizes (down to 9) until
// text is no wider than width.
QFont shrunkToFit(QFont font, const QString& text, int width);

// shrunkToFit() for an element that draws the same text again and again (a
// read-out's caption, redrawn with each new value): the fit is measured only
// when the text, the font or the width changes, since measuring shapes the text.
class FontFit {
public:
    const QFont& fit(const QFont& font, const QString& text, int width);

private:
    QFont from_;
    QString text_;
    int width_ = -1;
    QFont fitted_;
};

}  // namespace wp2
