// The emulated acquisition: which table lands in the sample buffer, which
// status word is marked, and how long the worker is held, in virtual time.
#include "measure/Samplingimp.h"
#include "LambdaThread.h"
#include "VirtualHostFixture.h"
#include "measure/PointConditions.h"
#include "platform/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

namespace {

std::vector<int16_t> Buffer() {
    return {SampleBuffer, SampleBuffer + SAMPLE_COUNT};
}

void FillBuffer(int16_t value) {
    std::fill(SampleBuffer, SampleBuffer + SAMPLE_COUNT, value);
}

std::vector<int16_t> Table(int16_t kind) {
    int16_t samples[SAMPLE_COUNT];
    EXPECT_TRUE(ReadWaveformTable(kind, samples));
    return {samples, samples + SAMPLE_COUNT};
}

using AcquisitionTest = VirtualHostTest;

TEST_F(AcquisitionTest, EachKindCopiesItsOwnTableTheSameEveryTime) {
    std::vector<std::vector<int16_t>> seen;
    for (const int16_t kind : {KIND_MEAS, KIND_MEAS_E, KIND_HF}) {
        FillBuffer(0x5A5A);
        EXPECT_EQ(AcquireWaveform(kind, nullptr, false), 0);
        const auto first = Buffer();
        FillBuffer(-1);
        AcquireWaveform(kind, nullptr, false);
        EXPECT_EQ(Buffer(), first) << "kind " << kind;
        EXPECT_EQ(first, Table(kind)) << "kind " << kind;
        seen.push_back(first);
    }
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_NE(seen[1], seen[2]);
    EXPECT_NE(seen[0], seen[2]);
}

TEST_F(AcquisitionTest, UnknownKindLeavesTheBufferAsItWas) {
    for (const int16_t kind : {int16_t{3}, int16_t{-1}, int16_t{0x7FFF}}) {
        FillBuffer(1234);
        uint16_t status = 0x0004;
        EXPECT_EQ(AcquireWaveform(kind, &status, false), 0);
        EXPECT_EQ(Buffer(), std::vector<int16_t>(SAMPLE_COUNT, 1234)) << "kind " << kind;
        EXPECT_EQ(status, 0x0004);
    }
}

TEST_F(AcquisitionTest, RecomputationReturnsAtOnceAndLeavesTheStatus) {
    uint16_t status = 0x0006;
    std::atomic<bool> done{false};
    LambdaThread worker([&] {
        AcquireWaveform(KIND_MEAS_E, &status, false);
        done = true;
    });
    host.RunUntilIdle();
    EXPECT_TRUE(done);
    EXPECT_EQ(host.Elapsed(), 0u);
    EXPECT_EQ(status, 0x0006);
    EXPECT_EQ(Buffer(), Table(KIND_MEAS_E));
}

TEST_F(AcquisitionTest, RealMeasurementMarksTheStatusAndHoldsTheWorkerFiveSeconds) {
    uint16_t status = 0xFFFF;
    std::atomic<bool> done{false};
    uint64_t returnedAt = 0;
    LambdaThread worker([&] {
        AcquireWaveform(KIND_MEAS, &status, true);
        returnedAt = host.Elapsed();
        done = true;
    });
    host.RunUntilIdle();
    EXPECT_FALSE(done);
    EXPECT_EQ(status, 0xAAAA) << "marked before the wait";
    host.Advance(ACQUISITION_MS - 1);
    EXPECT_FALSE(done);
    host.Advance(1);
    EXPECT_TRUE(done);
    EXPECT_EQ(returnedAt, 5000u);
    EXPECT_EQ(Buffer(), Table(KIND_MEAS));
}

TEST_F(AcquisitionTest, HighFrequencyMeasurementWaitsWithoutAStatusToMark) {
    std::atomic<bool> done{false};
    LambdaThread worker([&] {
        EXPECT_EQ(AcquireWaveform(KIND_HF, nullptr, true), 0);
        done = true;
    });
    host.Advance(4999);
    EXPECT_FALSE(done);
    host.Advance(1);
    EXPECT_TRUE(done);
    EXPECT_EQ(Buffer(), Table(KIND_HF));
}

// Two machines in one condition without a seed each draw their own noise;
// a seed makes them alike; a measurement records the seed it used, so that
// its record rebuilds to the same numbers.
TEST_F(AcquisitionTest, APointWithoutASeedDrawsItsOwnNoise) {
    TCondition c;
    c.Kind = TConditionKind::Imbalance;
    const auto at = [](int16_t point) {
        AcquireWaveform(KIND_MEAS, nullptr, false, point);
        return Buffer();
    };
    RecordMeasuredCondition(2, c);
    RecordMeasuredCondition(3, c);
    const std::vector<int16_t> two = at(2);
    EXPECT_NE(two, at(3));
    EXPECT_EQ(two, at(2));
    c.Seed = 5;
    RecordMeasuredCondition(2, c);
    RecordMeasuredCondition(3, c);
    EXPECT_EQ(at(2), at(3));

    c.Seed.reset();
    AssignCondition(4, c);
    LambdaThread worker([] { AcquireWaveform(KIND_MEAS, nullptr, true, 4); });
    host.Advance(ACQUISITION_MS);
    worker.WaitFor();
    EXPECT_EQ(MeasuredCondition(4).Seed, PointSeed(4));
    ClearConditions();
}

// Measuring a point again with speed jitter takes the machine at another
// speed each time, and records it, so that a reading rebuilds to its own
// waveform; without jitter every reading is the same.
TEST_F(AcquisitionTest, EachReadingOfAJitteringMachineHasItsOwnSpeed) {
    TCondition c;
    c.Kind = TConditionKind::Imbalance;
    c.SpeedJitter = 5.0;
    AssignCondition(4, c);
    std::vector<double> speeds;
    for (int reading = 0; reading < 3; ++reading) {
        LambdaThread worker([] { AcquireWaveform(KIND_MEAS, nullptr, true, 4); });
        host.Advance(ACQUISITION_MS);
        worker.WaitFor();
        const std::vector<int16_t> measured = Buffer();
        const TCondition recorded = MeasuredCondition(4);
        EXPECT_EQ(recorded.SpeedJitter, 0.0);
        EXPECT_NEAR(recorded.Rpm, c.Rpm, 0.05 * c.Rpm);
        speeds.push_back(recorded.Rpm);
        AcquireWaveform(KIND_MEAS, nullptr, false, 4);
        EXPECT_EQ(Buffer(), measured) << "the reading rebuilds to its own waveform";
    }
    EXPECT_NE(speeds[0], speeds[1]);
    EXPECT_NE(speeds[1], speeds[2]);
    c.SpeedJitter = 0.0;
    AssignCondition(4, c);
    for (int reading = 0; reading < 2; ++reading) {
        LambdaThread worker([] { AcquireWaveform(KIND_MEAS, nullptr, true, 4); });
        host.Advance(ACQUISITION_MS);
        worker.WaitFor();
        EXPECT_EQ(MeasuredCondition(4).Rpm, c.Rpm);
    }
    ClearConditions();
}

} // namespace
