// The measurement database at the sizes a user reaches: a transfer of the
// instrument's whole capacity (500 readings), opening a database of 10,000
// readings on its tree and first point, and a point's trend of 1,000
// readings. Each goes beside a reference in the same run: writing the same
// bytes to a plain file and syncing it, the cost below which no database
// can go.
#include "pcdata/MeasurementDb.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string BenchPath(const std::string& name) {
    return (fs::temp_directory_path() / ("orx-bench-" + std::to_string(getpid()) + "-" + name)).string();
}

void Remove(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
    fs::remove(path + "-journal", ignored);
}

// count readings of 13 route points, `round` rounds into the year.
std::vector<TStoreReading> Readings(int count, int round) {
    std::vector<TStoreReading> readings;
    uint32_t x = 12345u + static_cast<uint32_t>(round);
    for (int i = 0; i < count; ++i) {
        TStoreReading r;
        const int point = i % 13 + 1;
        r.PointKey = std::to_string(point);
        r.MachineKey = "machine" + std::to_string(point <= 5 ? 1 : point <= 8 ? 2 : 3);
        r.MachineName = "machine";
        r.Label = "point " + r.PointKey;
        r.Kind = static_cast<int16_t>(point & 1);
        r.Time = 46023.0 + round + i / 1440.0;
        r.Condition = "good";
        r.Samples.resize(8192);
        for (int16_t& s : r.Samples) {
            x = x * 1664525u + 1013904223u;
            s = static_cast<int16_t>(x >> 16);
        }
        readings.push_back(std::move(r));
    }
    return readings;
}

void BM_Transfer500(benchmark::State& state) {
    const auto readings = Readings(500, 0);
    const std::string path = BenchPath("transfer.sqlite");
    for (auto _ : state) {
        state.PauseTiming();
        Remove(path);
        std::string error;
        auto db = TMeasurementDb::Open(path, error);
        state.ResumeTiming();
        benchmark::DoNotOptimize(db->AddReadings(readings, error));
    }
    Remove(path);
}
BENCHMARK(BM_Transfer500)->Unit(benchmark::kMillisecond);

// The reference: the same samples into a plain file, synced once.
void BM_Transfer500Reference(benchmark::State& state) {
    const auto readings = Readings(500, 0);
    const std::string path = BenchPath("transfer.bin");
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        for (const TStoreReading& r : readings)
            benchmark::DoNotOptimize(write(fd, r.Samples.data(), r.Samples.size() * 2));
        fsync(fd);
        close(fd);
    }
    Remove(path);
}
BENCHMARK(BM_Transfer500Reference)->Unit(benchmark::kMillisecond);

// A database of 10,000 readings (20 transfers of 500), made once.
const std::string& BigDatabase() {
    static const std::string path = [] {
        const std::string p = BenchPath("big.sqlite");
        Remove(p);
        std::string error;
        auto db = TMeasurementDb::Open(p, error);
        for (int round = 0; round < 20; ++round)
            db->AddReadings(Readings(500, round), error);
        std::atexit([] { Remove(BenchPath("big.sqlite")); });
        return p;
    }();
    return path;
}

// What the Measurements window needs to show: the tree and the first
// point's table of readings.
void BM_OpenWindowData10000(benchmark::State& state) {
    const std::string& path = BigDatabase();
    for (auto _ : state) {
        std::string error;
        auto db = TMeasurementDb::Open(path, error);
        const auto machines = db->Machines();
        TDbSelection first;
        first.PointKey = machines.at(0).Points.at(0).Key;
        benchmark::DoNotOptimize(db->Readings(first, false).size());
    }
}
BENCHMARK(BM_OpenWindowData10000)->Unit(benchmark::kMillisecond);

// A trend of 1,000 readings of one point: levels and times, no samples.
void BM_Trend1000(benchmark::State& state) {
    const std::string path = BenchPath("trend.sqlite");
    Remove(path);
    std::string error;
    auto db = TMeasurementDb::Open(path, error);
    for (int round = 0; round < 1000; round += 50) {
        std::vector<TStoreReading> batch;
        for (int i = 0; i < 50; ++i) {
            auto one = Readings(1, round + i);
            batch.push_back(std::move(one[0]));
        }
        db->AddReadings(batch, error);
    }
    TDbSelection point;
    point.PointKey = "1";
    for (auto _ : state)
        benchmark::DoNotOptimize(db->Readings(point, false).size());
    state.counters["readings"] = static_cast<double>(db->Readings(point, false).size());
    db.reset();
    Remove(path);
}
BENCHMARK(BM_Trend1000)->Unit(benchmark::kMillisecond);

} // namespace
