#include "Golden.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Difference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> a = Lines(expected);
    const std::vector<std::string> b = Lines(actual);
    std::ostringstream out;
    int shown = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) && shown < 24; ++i) {
        const std::string* x = i < a.size() ? &a[i] : nullptr;
        const std::string* y = i < b.size() ? &b[i] : nullptr;
        if (x && y && *x == *y) continue;
        out << "line " << i + 1 << ":\n  golden: " << (x ? *x : "<none>")
            << "\n  actual: " << (y ? *y : "<none>") << "\n";
        ++shown;
    }
    return out.str();
}

} // namespace

std::filesystem::path ScenarioDir() {
    return ORX_SCENARIO_DIR;
}

void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = ScenarioDir() / (name + ".golden");
    const char* update = std::getenv("ORX_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(path) << actual;
        return;
    }
    std::ifstream file(path);
    ASSERT_TRUE(file) << path << " is missing; run with ORX_UPDATE_GOLDEN=1 to create it";
    const std::string golden((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(golden == actual) << name << " differs from its golden file:\n" << Difference(golden, actual);
}
