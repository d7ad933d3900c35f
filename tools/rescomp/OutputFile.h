#pragma once
#include <string>

// Every file the resource compiler writes goes through here, so that a failed
// write reads the same whatever the command: "cannot write PATH".

// Writes `bytes` to `path`, replacing it.
bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& error);

// As WriteOutputFile, but leaves `path` untouched when it already holds
// `bytes`: a generated header that did not change then does not make every
// source that includes it build again.
bool WriteOutputFileIfChanged(const std::string& path, const std::string& bytes, std::string& error);
