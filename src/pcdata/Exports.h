#pragma once
// Readings out of the database, for the tools analysts already use: CSV of
// the levels for a spreadsheet, UFF dataset 58 (text) of the spectra and
// waveforms for vibration analysis software, WAV of the waveform to listen
// to. The texts are plain C-locale: dot decimals whatever the user's locale.
#include "pcdata/MeasurementDb.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TExportFormat { Csv, Uff58, Wav };

std::optional<TExportFormat> ParseExportFormat(std::string_view name);

// UTF-8, a header row naming each column and its unit, one row a reading.
std::string CsvText(const std::vector<TDbReading>& readings);
// Per reading (samples needed) its spectrum against Hz at the instrument's
// resolution, then its waveform against seconds, as separate datasets.
std::string Uff58Text(const std::vector<TDbReading>& readings);
// A mono 16-bit PCM file at the reading's sample rate, its identity in the
// LIST/INFO chunk.
std::string WavBytes(const TDbReading& reading);
// The file name a reading's WAV takes in an export folder: point, time, id.
std::string WavFileName(const TDbReading& reading);

// Writes the export: csv and uff58 into the file out, wav one file a reading
// into the folder out (created when missing). Each file is replaced whole or
// left as it was. False with a one-line reason.
bool ExportReadings(const std::vector<TDbReading>& readings, TExportFormat format, const std::string& out,
                    std::string& error);

// "YYYY-MM-DD HH:MM:SS" of a day count; empty for 0 (time unknown).
std::string ReadingTimeText(double time);
