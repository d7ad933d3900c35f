#pragma once
// The device's small shared texts and its number formatter.
#include <string>
#include <vector>

// Level labels (PK, RMS, P-P, CF) and unit labels (metric then inch-based,
// acceleration, velocity, displacement), four-character texts whose blanks are
// part of the LCD layout. UTF-8, as loaded; reloaded in the device's language.
extern std::vector<std::string> LevelNames;
extern std::vector<std::string> UnitNames;

// Calibration read by the level and spectrum computation; set at each
// firmware start by SetMeasurementDefaults.
extern float MeasGain;
extern float MeasSensitivity[3]; // per measurement kind

// Loads LevelNames (texts 183..186) and UnitNames (169..174) in the calling
// thread's language.
void LoadDeviceTexts();

// Writes value (not below 0) as n + 1 characters with a decimal point, then a
// terminating zero: buffer needs n + 2 bytes. n is 1..4.
void FormatFixed(float value, short n, char* buffer);

void SetMeasurementDefaults();
