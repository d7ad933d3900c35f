// The device's labels and measurement calibration.
#include "device/Global.h"

#include "platform/Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DeviceTextsTest : public ::testing::Test {
  protected:
    void TearDown() override { SetThreadLanguage(LANG_ENGLISH); }
};

TEST_F(DeviceTextsTest, EnglishLabelsAreTheFourCharacterTexts) {
    SetThreadLanguage(LANG_ENGLISH);
    LoadDeviceTexts();
    EXPECT_EQ(LevelNames, (std::vector<std::string>{"PK  ", "RMS ", "P-P ", " CF"}));
    EXPECT_EQ(UnitNames, (std::vector<std::string>{"m/s2", "mm/s", "um  ", "g   ", "in/s", "mil "}));
}

TEST_F(DeviceTextsTest, ReloadingInAnotherLanguageReplacesTheLabels) {
    SetThreadLanguage(LANG_ENGLISH);
    LoadDeviceTexts();
    SetThreadLanguage(LANG_RUSSIAN);
    LoadDeviceTexts();
    EXPECT_EQ(LevelNames, (std::vector<std::string>{"ПИК ", "СКЗ ", "П-П ", " ПФ"}));
    EXPECT_EQ(UnitNames, (std::vector<std::string>{"м/с2", "мм/с", "мкм ", "g   ", "д/с ", "мил "}));
}

TEST(MeasurementDefaultsTest, RestoreTheCalibration) {
    MeasGain = 3.0f;
    MeasSensitivity[0] = MeasSensitivity[1] = MeasSensitivity[2] = 0.0f;
    SetMeasurementDefaults();
    EXPECT_EQ(MeasGain, 1.0f);
    EXPECT_EQ(MeasSensitivity[0], 10.0f);
    EXPECT_EQ(MeasSensitivity[1], 2.0f);
    EXPECT_EQ(MeasSensitivity[2], 2.0f);
}

} // namespace
