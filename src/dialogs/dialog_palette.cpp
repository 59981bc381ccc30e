// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_palette.h"

#include <QApplication>
#include <optional>

#include "ui/surface.h"

namespace wp2 {

namespace {

QColor night(int grey) {
    return QColor::fromRgb(nightColour(rgb(grey, grey, grey)));
}

}  // namespace

QPalette nightDialogPalette() {
    QPalette p;
    const QColor text = night(230);
    const QColor dimText = night(120);
    p.setColor(QPalette::Window, night(24));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, night(8));
    p.setColor(QPalette::AlternateBase, night(30));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::PlaceholderText, dimText);
    p.setColor(QPalette::Button, night(44));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, night(255));
    p.setColor(QPalette::Highlight, QColor::fromRgb(nightColour(rgb(150, 0, 0))));
    p.setColor(QPalette::HighlightedText, night(255));
    p.setColor(QPalette::ToolTipBase, night(30));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Link, QColor::fromRgb(nightColour(rgb(255, 200, 0))));
    p.setColor(QPalette::LinkVisited, QColor::fromRgb(nightColour(rgb(255, 120, 0))));
    p.setColor(QPalette::Light, night(80));
    p.setColor(QPalette::Midlight, night(60));
    p.setColor(QPalette::Mid, night(36));
    p.setColor(QPalette::Dark, night(16));
    p.setColor(QPalette::Shadow, night(0));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, dimText);
    }
    return p;
}

void applyDialogPalette(Palette palette) {
    static std::optional<QPalette> dayPalette;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return;  // no widgets in this process
    }
    if (!dayPalette) {
        dayPalette = QApplication::palette();
    }
    QApplication::setPalette(palette == Palette::Night ? nightDialogPalette() : *dayPalette);
}

}  // namespace wp2
