// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every dashboard benchmark program runs under: the offscreen platform
// (unless told otherwise), the dashboard's fonts, and a scratch folder as the
// program's data root.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <functional>

#include "core/base/paths.h"
#include "ui/fonts.h"

namespace wp2::bench {

// Runs the registered benchmarks. `before` prepares with the scratch folder
// (false: the run ends with status 1, its message printed); `after` reports.
inline int runUiBenchmarks(int argc, char** argv,
                           const std::function<bool(const QTemporaryDir&)>& before = {},
                           const std::function<void()>& after = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTemporaryDir scratch;
    Paths::setRoot(scratch.path().toStdString());
    registerDashboardFonts();
    benchmark::Initialize(&argc, argv);
    if (before && !before(scratch)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (after) {
        after();
    }
    return 0;
}

}  // namespace wp2::bench
