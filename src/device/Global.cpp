#include "device/Global.h"

#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <cmath>
#include <cstdint>

std::vector<std::string> LevelNames;
std::vector<std::string> UnitNames;

float MeasGain = 1.0f;
float MeasSensitivity[3] = {10.0f, 2.0f, 2.0f};

namespace {

constexpr int LEVEL_NAMES_COUNT = 4;
constexpr int UNIT_NAMES_COUNT = 6;

void LoadTexts(std::vector<std::string>& names, int firstId, int count) {
    names.clear();
    for (int i = 0; i < count; ++i)
        names.push_back(LoadStr(firstId + i));
}

// Callers pass values from 0 up to a few digits. Anything else (negative, NaN,
// 10^9 and beyond) is brought into that range first so that the conversions
// below stay defined; the text is then meaningless but safe.
float FormattableValue(float value) {
    constexpr float largest = 1.0e9f;
    if (!(value >= 0.0f)) return 0.0f;
    return value > largest ? largest : value;
}

} // namespace

void LoadDeviceTexts() {
    LoadTexts(LevelNames, TEXT_LEVEL_PEAK, LEVEL_NAMES_COUNT);
    LoadTexts(UnitNames, TEXT_UNIT_M_S2, UNIT_NAMES_COUNT);
}

// Single-precision arithmetic throughout, as the instrument computes it: the
// digits of values close to a rounding step depend on it.
void FormatFixed(float value, short n, char* buffer) {
    value = FormattableValue(value);

    int16_t intDigits = 1;
    int64_t limit = 10;
    float w = value;
    while (w >= 10.0f) {
        w = w * 0.1f;
        intDigits = static_cast<int16_t>(intDigits + 1);
        limit *= 10;
    }

    auto fracDigits = static_cast<int16_t>(n - intDigits);
    w = value;
    for (int16_t i = 0; i < fracDigits; i = static_cast<int16_t>(i + 1)) {
        w = w * 10.0f;
        limit *= 10;
    }

    auto c = static_cast<int64_t>(w);
    if (w - static_cast<float>(c) >= 0.5f) {
        ++c;
        if (c >= limit) { // rounding carried into a new integer digit
            fracDigits = static_cast<int16_t>(fracDigits - 1);
            if (fracDigits >= 0) c /= 10;
        }
    }

    for (int16_t j = 0; j <= n; j = static_cast<int16_t>(j + 1)) {
        if (j == fracDigits) {
            buffer[n - j] = '.';
        } else {
            buffer[n - j] = static_cast<char>('0' + c % 10);
            c /= 10;
        }
    }
    buffer[n + 1] = '\0';
}

void SetMeasurementDefaults() {
    MeasSensitivity[0] = 10.0f;
    MeasGain = 1.0f;
    MeasSensitivity[1] = 2.0f;
    MeasSensitivity[2] = 2.0f;
}
