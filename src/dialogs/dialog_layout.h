// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog geometry for the 240 x 320 screen. Layouts are written in dialog
// units, as the handheld's dialog templates were: a horizontal unit is a
// quarter of the dialog font's average character width and a vertical unit an
// eighth of its height. The dialogs use a font cell of 6 x 13 pixels, so a
// unit is 1.5 pixels across and 1.625 pixels down.
//
// On a large screen the dialogs are shown enlarged by the same whole factor as
// the dashboard (--scale): every pixel of the handheld becomes scale x scale
// pixels, fonts included. The constants below are the handheld's pixels.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace wp2 {

inline constexpr int kScreenWidth = 240;
inline constexpr int kScreenHeight = 320;
// The handheld shows the active dialog's title in the bar across the top of
// the screen; a dialog has the rest.
inline constexpr int kTitleBarHeight = 26;
inline constexpr int kDialogMaxWidth = kScreenWidth;
inline constexpr int kDialogMaxHeight = kScreenHeight - kTitleBarHeight;

// The factor the program sets once, before it opens a dialog (1 by default).
void setDialogScale(int scale);
int dialogScale();
// Handheld pixels as shown: pixels x the dialog scale.
int scaled(int pixels);

// Pixels of a rectangle or size in dialog units, as shown.
QRect dluRect(int x, int y, int w, int h);
QSize dluSize(int w, int h);
int dluX(int x);
int dluY(int y);

// The dialogs' font: 11-pixel Tahoma (8 points on the handheld), or the
// stand-in the dashboard uses when Tahoma is missing; enlarged by the scale.
QFont dialogFont();
// The smallest size fitTexts shrinks a text to, at scale 1.
inline constexpr int kSmallestTextPixels = 8;

// Puts a window on top of the program's others and gives it the keyboard
// (nothing on the offscreen platform of headless runs, which has no window
// order).
void bringToFront(QWidget& window);

// Program texts (UTF-8, "\r\n" line ends) as Qt shows them, and back.
QString uiText(std::string_view text);
std::string utf8(const QString& text);

// True when the widget's text is drawn whole inside it with its current font:
// labels, buttons, check boxes, radio buttons, group box titles and the
// entries of drop-down lists. Widgets without text always fit.
// Widgets with the property kElidesTextProperty set shorten their text on
// purpose and always count as fitting.
bool textFits(const QWidget* widget);
inline constexpr const char* kElidesTextProperty = "wp2ElidesText";
// Shrinks the font of every child whose text does not fit, a pixel at a time
// down to kSmallestTextPixels, so that a wider fallback font still shows the
// whole text.
void fitTexts(QWidget* root);

}  // namespace wp2
