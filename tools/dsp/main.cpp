// orx700-dsp: the instrument's level and spectrum arithmetic on the command
// line, for analysts and scripts. See --help for the contract.
#include "DspCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunDspCommand(args, std::cout, std::cerr);
}
