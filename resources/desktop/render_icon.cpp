// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the scalable program icon at the fixed sizes that desktops and
// launchers look for: OUTDIR/<n>x<n>/apps/NAME.png for each size given.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: wp2-render-icon ICON.svg NAME OUTDIR SIZE...\n");
        return 2;
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromStdString(args[0]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "wp2-render-icon: cannot read %s\n", args[0].c_str());
        return 1;
    }
    for (std::size_t i = 3; i < args.size(); ++i) {
        const int size = std::atoi(args[i].c_str());
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "wp2-render-icon: bad size %s\n", args[i].c_str());
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString dir = QString::fromStdString(args[2]) + QString("/%1x%1/apps").arg(size);
        const QString file = dir + "/" + QString::fromStdString(args[1]) + ".png";
        if (!QDir().mkpath(dir) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "wp2-render-icon: cannot write %s\n", file.toLocal8Bit().data());
            return 1;
        }
    }
    return 0;
}
