#pragma once
// orx700-dsp import: the readings of another measurement database file (one
// the web page downloaded, another PC's) added to the database DB, as the
// desktop's Import database does.
#include <iosfwd>
#include <string>
#include <vector>

// args without the program name, args[0] == "import". Returns the exit status:
// 0 imported (one line 'imported N new readings'), 1 either file refused or
// the import not done (one line on err, both files untouched), 2 a bad
// command line.
int RunDspImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
