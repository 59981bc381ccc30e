// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>
#include <algorithm>

#include "ui/fonts.h"

namespace wp2 {

namespace {

int scaleFactor = 1;

// Pixels per dialog unit, in halves and eighths: 6 / 4 across, 13 / 8 down;
// rounded on the handheld's grid, then enlarged, so that a dialog at scale 2
// is exactly twice its size at scale 1.
int acrossPixels(int units) {
    return scaled((units * 3 + 1) / 2);
}

int downPixels(int units) {
    return scaled((units * 13 + 4) / 8);
}

// Room a push button's frame leaves for its text.
constexpr int kButtonTextMargin = 4;
// Room a group box's frame leaves beside its title.
constexpr int kGroupTitleMargin = 8;

bool labelFits(const QLabel& label) {
    if (label.text().isEmpty()) {
        return true;
    }
    const QRect room = label.contentsRect();
    int flags = static_cast<int>(label.alignment());
    if (label.wordWrap()) {
        flags |= Qt::TextWordWrap;
    }
    const QRect needed = label.fontMetrics().boundingRect(room, flags, label.text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}

bool pushButtonFits(const QPushButton& button) {
    const QFontMetrics fm = button.fontMetrics();
    return fm.horizontalAdvance(button.text()) + 2 * kButtonTextMargin <= button.width() &&
           fm.height() <= button.height();
}

bool checkFits(const QAbstractButton& button) {
    return button.sizeHint().width() <= button.width() &&
           button.fontMetrics().height() <= button.height();
}

bool groupFits(const QGroupBox& group) {
    return group.fontMetrics().horizontalAdvance(group.title()) + 2 * kGroupTitleMargin <=
           group.width();
}

bool comboFits(const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    option.frame = combo.hasFrame();
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    const QFontMetrics fm = combo.fontMetrics();
    if (fm.height() > field.height()) {
        return false;
    }
    for (int i = 0; i < combo.count(); ++i) {
        if (fm.horizontalAdvance(combo.itemText(i)) > field.width()) {
            return false;
        }
    }
    return true;
}

}  // namespace

void setDialogScale(int scale) {
    scaleFactor = std::max(1, scale);
}

int dialogScale() {
    return scaleFactor;
}

int scaled(int pixels) {
    return pixels * scaleFactor;
}

QRect dluRect(int x, int y, int w, int h) {
    return {acrossPixels(x), downPixels(y), acrossPixels(w), downPixels(h)};
}

QSize dluSize(int w, int h) {
    return {acrossPixels(w), downPixels(h)};
}

int dluX(int x) {
    return acrossPixels(x);
}

int dluY(int y) {
    return downPixels(y);
}

QFont dialogFont() {
    registerDashboardFonts();
    QFont font(typefaceFamily(Typeface::Tahoma));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(scaled(11));
    return font;
}

void bringToFront(QWidget& window) {
    if (QGuiApplication::platformName() != "offscreen") {
        window.raise();
        window.activateWindow();
    }
}

QString uiText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

bool textFits(const QWidget* widget) {
    if (widget->property(kElidesTextProperty).toBool()) {
        return true;
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return labelFits(*label);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return pushButtonFits(*button);
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
        return checkFits(*check);
    }
    if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) {
        return checkFits(*radio);
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return groupFits(*group);
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return comboFits(*combo);
    }
    return true;
}

void fitTexts(QWidget* root) {
    for (QWidget* child : root->findChildren<QWidget*>()) {
        QFont font = child->font();
        int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
        while (!textFits(child) && pixels > scaled(kSmallestTextPixels)) {
            font.setPixelSize(--pixels);
            child->setFont(font);
        }
    }
}

}  // namespace wp2
