// The fixed-point levels and spectrum against the independent double model.
// The floors are the instrument's: levels within 1 %, spectrum at least 40 dB
// above its error.
#include "Computing1TestSignals.h"
#include "DoubleReference.h"

#include "device/Global.h"
#include "measure/Computing1.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <iostream>
#include <string>

namespace {

constexpr double LEVEL_TOLERANCE = 0.01;
constexpr double SPECTRUM_FLOOR_DB = 40.0;

struct SignalCase {
    std::string name;
    std::vector<signals::Tone> tones;
};

std::ostream& operator<<(std::ostream& out, const SignalCase& c) {
    return out << c.name;
}

double CodeScaleOfKind0() {
    return reference::CODE_K / (MeasGain * MeasSensitivity[KIND_MEAS]);
}

double RelativeError(double value, double expected) {
    return std::abs(value / expected - 1.0);
}

void Report(const std::string& what, double error) {
    std::cout << "[ accuracy ] " << what << ": " << error * 100.0 << " %\n";
}

class AccuracyTest : public ::testing::TestWithParam<SignalCase> {
  protected:
    void SetUp() override {
        SetMeasurementDefaults();
        signals::Write(GetParam().tones, 32768.0);
    }
};

TEST_P(AccuracyTest, RmsLevelsAreWithinOnePercentOfTheReference) {
    const auto expected = reference::Levels(SampleBuffer, CodeScaleOfKind0());
    TMeasResults results;
    ComputeVibrationResults(results);
    const struct {
        const char* what;
        float value;
        double expected;
    } levels[] = {{"velocity RMS", results.Value[RESULT_VEL_RMS], expected.velocityRms},
                  {"displacement RMS", results.Value[RESULT_DISP_RMS], expected.displacementRms},
                  {"acceleration RMS", results.Value[RESULT_ACC_RMS], expected.accelerationRms}};
    for (const auto& level : levels) {
        const double error = RelativeError(level.value, level.expected);
        Report(GetParam().name + " " + level.what, error);
        EXPECT_LT(error, LEVEL_TOLERANCE) << level.what << " " << level.value << " vs " << level.expected;
    }
}

TEST_P(AccuracyTest, WindowedSpectrumIsFortyDecibelsAboveItsError) {
    const auto expected = reference::WindowedLines(SampleBuffer, false, CodeScaleOfKind0());
    float scale = 0.0f;
    ComputeSpectrum(32, 3200, true, KIND_MEAS, scale);
    double signal = 0.0;
    double error = 0.0;
    for (int k = 32; k <= 3200; ++k) {
        signal += expected[k] * expected[k];
        error += std::pow(SpecRe[k] * static_cast<double>(scale) - expected[k], 2);
    }
    const double snr = 10.0 * std::log10(signal / error);
    std::cout << "[ accuracy ] " << GetParam().name << " spectrum SNR: " << snr << " dB\n";
    EXPECT_GE(snr, SPECTRUM_FLOOR_DB);
}

// Peaks of a pure sine: PK = sqrt 2 x RMS and P-P = 2 x PK, in each quantity.
class SinePeakTest : public AccuracyTest {};

TEST_P(SinePeakTest, PeaksFollowFromTheRms) {
    const auto expected = reference::Levels(SampleBuffer, CodeScaleOfKind0());
    TMeasResults r;
    ComputeVibrationResults(r);
    const struct {
        const char* what;
        float pk;
        float pp;
        double rms;
    } quantities[] = {
        {"velocity", r.Value[RESULT_VEL_PK], r.Value[RESULT_VEL_PP], expected.velocityRms},
        {"displacement", r.Value[RESULT_DISP_PK], r.Value[RESULT_DISP_PP], expected.displacementRms},
        {"acceleration", r.Value[RESULT_ACC_PK], r.Value[RESULT_ACC_PP], expected.accelerationRms}};
    for (const auto& q : quantities) {
        const double pkError = RelativeError(q.pk, std::sqrt(2.0) * q.rms);
        const double ppError = RelativeError(q.pp, 2.0 * q.pk);
        Report(GetParam().name + " " + q.what + " PK", pkError);
        Report(GetParam().name + " " + q.what + " P-P", ppError);
        EXPECT_LT(pkError, LEVEL_TOLERANCE) << q.what << " PK " << q.pk;
        EXPECT_LT(ppError, LEVEL_TOLERANCE) << q.what << " P-P " << q.pp;
    }
}

const std::vector<SignalCase> SINES{
    {"sine 23.1 Hz x 150", {{23.1, 150.0}}},        {"sine 69.7 Hz x 600", {{69.7, 600.0, 0.5}}},
    {"sine 100 Hz x 2000", {{100.0, 2000.0, 1.0}}}, {"sine 315.6 Hz x 12000", {{315.6, 12000.0, 2.0}}},
    {"sine 500 Hz x 30000", {{500.0, 30000.0}}},    {"sine 11 Hz x 5000", {{11.0, 5000.0, 0.7}}},
};

const std::vector<SignalCase> MIXTURES{
    {"sine 900 Hz x 400", {{900.0, 400.0}}},
    {"four tones", {{23.1, 300.0}, {69.7, 500.0, 1.0}, {250.0, 200.0, 2.0}, {777.0, 100.0, 3.0}}},
    {"noise 15-900 Hz rms 300", signals::BandNoise(1, 15.0, 900.0, 300.0)},
    {"noise 40-990 Hz rms 3000", signals::BandNoise(2, 40.0, 990.0, 3000.0)},
};

std::string CaseName(const ::testing::TestParamInfo<SignalCase>& info) {
    std::string name;
    for (char c : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sines, AccuracyTest, ::testing::ValuesIn(SINES), CaseName);
INSTANTIATE_TEST_SUITE_P(Mixtures, AccuracyTest, ::testing::ValuesIn(MIXTURES), CaseName);
INSTANTIATE_TEST_SUITE_P(Sines, SinePeakTest, ::testing::ValuesIn(SINES), CaseName);

} // namespace
