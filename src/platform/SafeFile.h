#pragma once
// Reading and replacing the files the programs keep, in folders other users
// or programs may also touch. A read never blocks and takes only a regular
// file; a write never follows a link planted at a temporary name, never
// replaces anything but a regular file, and never leaves half a file.
#include <cstddef>
#include <string>

enum class TFileRead {
    Read,    // content holds the whole file
    Missing, // nothing at the path: the caller may create it
    Refused, // not a regular file, too big, or not readable: leave it as it is
};

// Reads the regular file at path (following links), at most maxBytes of it;
// a larger file is refused without reading it.
TFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content);

// Replaces the file at path with content. A link at path is kept and its
// target is replaced, through a temporary file beside the target with an
// unpredictable name, created exclusively, synced and renamed over it. A
// rewritten file keeps its mode and owner; a file its owner made read-only,
// or anything other than a regular file, is left untouched. Temporary files
// of an earlier save that was killed are removed; they carry a mark of the
// programs' own in their names, and no other file is touched. False with a
// message when nothing was replaced; the old file is then as it was.
bool ReplaceFile(const std::string& path, const std::string& content, std::string& error);
