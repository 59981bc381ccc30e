// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_palette.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProxyStyle>
#include <optional>

#include "ui/surface.h"

namespace wp2 {

namespace {

QColor night(int grey) {
    return QColor::fromRgb(nightColour(rgb(grey, grey, grey)));
}

bool gNight = false;

// The style's own pictures (message box signs, folders, arrows) in night
// colours while the night palette is on.
class NightIconStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        const QIcon icon = QProxyStyle::standardIcon(which, option, widget);
        return gNight ? nightIcon(icon) : icon;
    }

private:
    static QIcon nightIcon(const QIcon& icon) {
        QList<QSize> sizes = icon.availableSizes();
        if (sizes.isEmpty()) {
            sizes = {QSize(16, 16), QSize(32, 32), QSize(64, 64)};
        }
        QIcon out;
        for (const QSize& size : sizes) {
            QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c =
                        nightColour(qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
                    line[x] = qRgba(qRed(c), qGreen(c), qBlue(c), qAlpha(line[x]));
                }
            }
            out.addPixmap(QPixmap::fromImage(image));
        }
        return out;
    }
};

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
        QApplication::setStyle(new NightIconStyle(QApplication::style()->name()));
    }
    gNight = palette == Palette::Night;
    QApplication::setPalette(gNight ? nightDialogPalette() : *dayPalette);
}

}  // namespace wp2
