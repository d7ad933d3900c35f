// Loading and saving the ini file with many keys: the cost per key stays the
// same from 10,000 to 100,000 keys (no step looks at every earlier line).
// The reference is reading the same file's bytes, measured in the same run.
#include "firmware/Offlinemode.h"
#include "state/Inifile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string IniPath(const char* name) {
    return (fs::temp_directory_path() / ("orx-bench-" + std::to_string(getpid()) + "-" + name + ".ini"))
        .string();
}

// An ini with count off-route keys.
std::string OffRouteFile(int count) {
    const std::string path = IniPath("offroute");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[UnroutePoints]\n";
    for (int n = 1; n <= count; ++n)
        out << n << "=6\n";
    return path;
}

void BM_ReadTheBytes(benchmark::State& state) {
    const std::string path = OffRouteFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        benchmark::DoNotOptimize(text.str().size());
    }
    state.SetComplexityN(state.range(0));
    fs::remove(path);
}
BENCHMARK(BM_ReadTheBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadOffRouteKeys(benchmark::State& state) {
    const std::string path = OffRouteFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        LoadIniFile(path);
        benchmark::DoNotOptimize(SavedState.UnroutePoints.size());
    }
    state.SetComplexityN(state.range(0));
    g_IniFile.reset();
    fs::remove(path);
}
BENCHMARK(BM_LoadOffRouteKeys)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SaveUserManualKeys(benchmark::State& state) {
    const std::string path = IniPath("manuals");
    std::vector<std::string> manuals;
    for (int n = 1; n <= state.range(0); ++n) {
        // Appended rather than "L" + std::to_string(n): GCC 12 at -O3 reports
        // that insert-at-front as an overlapping memcpy (-Wrestrict), a known
        // false positive of that compiler.
        std::string key(1, 'L');
        key += std::to_string(n);
        key += "=manuals/m";
        key += std::to_string(n);
        key += ".pdf";
        manuals.push_back(std::move(key));
    }
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(path);
        LoadIniFile(path);
        SavedState.UserManuals = manuals;
        state.ResumeTiming();
        benchmark::DoNotOptimize(SaveIniFile());
    }
    state.SetComplexityN(state.range(0));
    fs::remove(path);
}
BENCHMARK(BM_SaveUserManualKeys)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
