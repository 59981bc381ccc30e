// SPDX-License-Identifier: GPL-3.0-or-later
// Import of an N-waypoint CSV file into a collection of N pushpins, then
// saving the collection and loading it again, for N = 10,000 and 100,000.
// Half of the imported waypoints lie within 5 m of an existing pushpin (and
// are skipped), half are new. The whole cycle should stay well under a second
// at 100,000 and grow about linearly (10x the input, at most 12x the time).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpins.h"

namespace {

using namespace wp2;

// Pushpin i sits on a grid of about 110 m.
double gridLat(int i) {
    return 40.0 + (i % 1000) * 0.001;
}
double gridLon(int i) {
    return 8.0 + (i / 1000) * 0.001;
}

void fillCollection(Pushpins& pins, int n) {
    for (int i = 0; i < n; ++i) {
        Pushpin* p = pins.addNew();
        p->latitude = gridLat(i) * kDegToRad;
        p->longitude = gridLon(i) * kDegToRad;
        p->name = cformat("Existing_%d", i);
        p->note = "a pushpin that was there before";
    }
}

// Even lines lie 0.1 m from an existing pushpin, odd lines about 55 m away.
std::string writeCsv(const std::string& dir, int n) {
    std::string path = dir + cformat("/import_%d.csv", n);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (int i = 0; i < n; ++i) {
        double offset = (i % 2 == 0) ? 0.000001 : 0.0005;
        std::fprintf(f, "%.7f,%.7f,Imported_%d,%d,note %d\r\n", gridLat(i) + offset, gridLon(i), i,
                     i % 500, i);
    }
    std::fclose(f);
    return path;
}

std::string benchDir() {
    std::string dir =
        (std::filesystem::temp_directory_path() / ("wp2bench-" + std::to_string(::getpid())))
            .string();
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_ImportSaveReload(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string dir = benchDir();
    const std::string csv = writeCsv(dir, n);
    const std::string kpp = dir + "/Pushpins.kpp";
    for (auto _ : state) {
        state.PauseTiming();
        auto pins = std::make_unique<Pushpins>();
        fillCollection(*pins, n);
        state.ResumeTiming();

        ImportResult r = importPushpins(*pins, csv);
        bool saved = pins->saveFile(kpp).has_value();
        auto back = std::make_unique<Pushpins>();
        PushpinLoadResult loaded = back->loadFile(kpp);

        state.PauseTiming();
        if (r.added != n / 2 || !saved || loaded.added != n + n / 2) {
            state.SkipWithError("unexpected result");
            break;
        }
        // Releasing the collections belongs to the program's exit, not to the cycle.
        pins.reset();
        back.reset();
        // Hand the freed memory back to the system, so that every cycle, at
        // either size, starts on a cold heap as the program's one import does.
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImportSaveReload)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The three phases on their own.
void BM_ImportOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string dir = benchDir();
    const std::string csv = writeCsv(dir, n);
    for (auto _ : state) {
        state.PauseTiming();
        auto pins = std::make_unique<Pushpins>();
        fillCollection(*pins, n);
        state.ResumeTiming();
        benchmark::DoNotOptimize(importPushpins(*pins, csv));
        state.PauseTiming();
        pins.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImportOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SaveOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string dir = benchDir();
    Pushpins pins;
    fillCollection(pins, n + n / 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pins.saveFile(dir + "/Pushpins.kpp"));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string dir = benchDir();
    {
        Pushpins pins;
        fillCollection(pins, n + n / 2);
        (void)pins.saveFile(dir + "/Pushpins.kpp");
    }
    for (auto _ : state) {
        auto back = std::make_unique<Pushpins>();
        benchmark::DoNotOptimize(back->loadFile(dir + "/Pushpins.kpp"));
        state.PauseTiming();
        back.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Loading a damaged file: (0) 150,000 pushpins with the name length of the
// first record changed and 1 MB of random bytes between two records, all but
// one record read; (1) the same number of bytes all random, nothing read.
// Both should take time in proportion to the file (about 20 MB): well under
// a second at this size.
void BM_LoadDamaged(benchmark::State& state) {
    const int n = 100000;
    const std::string dir = benchDir();
    const std::string path = dir + "/Pushpins.kpp";
    {
        Pushpins pins;
        fillCollection(pins, n + n / 2);
        (void)pins.saveFile(path);
    }
    std::string bytes;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        char chunk[65536];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
            bytes.append(chunk, got);
        }
        std::fclose(f);
    }
    std::uint64_t x = 88172645463325252ull;
    auto random = [&x] {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return static_cast<char>(x);
    };
    const bool allRandom = state.range(0) == 1;
    if (allRandom) {
        for (char& c : bytes) {
            c = random();
        }
    } else {
        bytes[4 + 8 + 3] ^= 0x20;  // the first record's name length
        std::string noise(1 << 20, '\0');
        for (char& c : noise) {
            c = random();
        }
        // A record's start: 8 bytes and the name's mark and length before its name.
        const std::string name("E\0x\0i\0s\0", 8);
        const std::size_t middle = bytes.find(name, bytes.size() / 2) - 8 - 4;
        bytes.insert(middle, noise);
    }
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        auto back = std::make_unique<Pushpins>();
        const PushpinLoadResult r = back->loadFile(path);
        if (r.added != (allRandom ? 0 : n + n / 2 - 1)) {
            state.SkipWithError(cformat("%d read", r.added).c_str());
            break;
        }
        state.PauseTiming();
        back.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadDamaged)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Stepping through the collection by index, as the dialogs' list fill does.
void BM_GetAtByIndex(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Pushpins pins;
    fillCollection(pins, n);
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            sum += pins.at(i)->latitude;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_GetAtByIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
