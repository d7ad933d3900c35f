#pragma once
// What the measurement database tests share: a fresh folder per test and
// made-up readings that need no instrument.
#include "pcdata/StoreReadings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("orx-pcdata-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// count readings of route points 1.., measured `day` days into 2026, with
// samples drawn from seed.
inline std::vector<TStoreReading> MadeUpReadings(int count, int day, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> code(-30000, 30000);
    std::vector<TStoreReading> readings;
    for (int i = 1; i <= count; ++i) {
        TStoreReading r;
        r.PointKey = std::to_string(i);
        r.MachineKey = "machine" + std::to_string((i - 1) / 5 + 1);
        r.MachineName = "machine " + std::to_string((i - 1) / 5 + 1);
        r.Label = "point " + std::to_string(i);
        r.Orientation = static_cast<int16_t>(i % 4);
        r.Kind = static_cast<int16_t>(i & 1);
        r.Time = 46023.0 + day + i / 1440.0;
        for (std::size_t k = 0; k < r.Results.Value.size(); ++k)
            r.Results.Value[k] = static_cast<float>(code(random)) / 997.0f;
        r.Condition = "good rpm=1480";
        r.Samples.resize(8192);
        for (int16_t& s : r.Samples)
            s = static_cast<int16_t>(code(random));
        readings.push_back(std::move(r));
    }
    return readings;
}
