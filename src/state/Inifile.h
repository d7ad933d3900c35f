#pragma once
// The saved state's file: read once before the instrument starts, written
// once after it has stopped. Failures are silent: a file that cannot be read
// gives the defaults, one that cannot be written keeps its old content.
#include "firmware/Offlinemode.h"
#include "state/IniDocument.h"

#include <memory>
#include <string>

// Fills SavedState from the file at path (the defaults for what is missing
// or not a number) and keeps the file's content for SaveIniFile. While there
// is nothing at path, the file at formerPath (when given) is read instead;
// SaveIniFile then writes its content to path and leaves formerPath alone.
void LoadIniFile(const std::string& path, const std::string& formerPath = {});
// Writes SavedState into the content read by LoadIniFile and replaces the
// file with it. False when the file was left as it was; result (when given)
// says why.
bool SaveIniFile(TIniSave* result = nullptr);
// The file LoadIniFile read and SaveIniFile writes.
const std::string& IniFilePath();

// The state's fields as the file holds them, and back. Reading fills every
// field of s (the defaults for what is missing or not a number) and sets the
// machine conditions; writing changes only the program's own keys and
// sections, and leaves every other line of ini as it is.
void ReadIniState(const TIniDocument& ini, TDeviceState& s);
void WriteIniState(TIniDocument& ini, const TDeviceState& s);

// The ini content between LoadIniFile and SaveIniFile.
extern std::unique_ptr<TIniDocument> g_IniFile;
