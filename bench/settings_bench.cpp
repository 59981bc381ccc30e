// SPDX-License-Identifier: GPL-3.0-or-later
// Settings lookups from the file store with a 20 MB value in it, as a start-up
// reads its few dozen settings: the store must be read once, not per lookup.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/diagnostics.h"
#include "core/settings/reg_values.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"

namespace {

void BM_LookupsWithALargeValue(benchmark::State& state) {
    char tmpl[] = "/tmp/wp2bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    wp2::Diagnostics diagnostics;
    wp2::StderrMessageBoxes boxes;
    {
        wp2::FileRegistry writer(diagnostics, boxes, dir);
        const wp2::RegValue large{wp2::RegType::Sz, std::vector<std::uint8_t>(20 << 20, 'x')};
        if (!writer.setValue(wp2::RegRoot::LocalMachine, wp2::kSettingsKeyPath, "Large", large)) {
            state.SkipWithError("cannot write the settings");
            return;
        }
    }
    for (auto _ : state) {
        wp2::FileRegistry reg(diagnostics, boxes, dir);  // one program start
        for (int i = 0; i < state.range(0); ++i) {
            benchmark::DoNotOptimize(
                reg.queryValue(wp2::RegRoot::LocalMachine, wp2::kSettingsKeyPath, "UnitSystem"));
        }
        state.counters["file reads"] = reg.reads();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LookupsWithALargeValue)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
