#pragma once
// orx700-dsp export: readings of a measurement database to CSV, UFF58 or WAV.
#include <iosfwd>
#include <string>
#include <vector>

// args without the program name, args[0] == "export". Returns the exit status:
// 0 written, 1 the database refused or the export not written (one line on
// err, the database untouched), 2 a bad command line.
int RunDspExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
