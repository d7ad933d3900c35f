#include "GoldenFile.h"

#include "TextLines.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

constexpr char HEADER_PREFIX[] = "// ";
constexpr int MAX_SHOWN_LINES = 24;

// A line under two lines of equal length marking the columns that differ, so
// a changed pixel in a row of art is found at a glance.
std::string Marks(const std::string& a, const std::string& b) {
    std::string marks(a.size(), ' ');
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) marks[i] = '^';
    return marks;
}

std::string Difference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> a = TextLines(expected);
    const std::vector<std::string> b = TextLines(actual);
    std::ostringstream out;
    int shown = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) && shown < MAX_SHOWN_LINES; ++i) {
        const std::string* x = i < a.size() ? &a[i] : nullptr;
        const std::string* y = i < b.size() ? &b[i] : nullptr;
        if (x && y && *x == *y) continue;
        out << "line " << i + 1 << ":\n  golden: " << (x ? *x : "<none>")
            << "\n  actual: " << (y ? *y : "<none>") << "\n";
        if (x && y && x->size() == y->size()) out << "          " << Marks(*x, *y) << "\n";
        ++shown;
    }
    return out.str();
}

std::string RunningTestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) return "a test";
    return std::string(test->test_suite_name()) + "." + test->name();
}

bool UpdateRequested() {
    const char* update = std::getenv("ORX_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

} // namespace

std::string GoldenContent(const std::string& file) {
    std::size_t start = 0;
    while (file.compare(start, sizeof HEADER_PREFIX - 1, HEADER_PREFIX) == 0) {
        const std::size_t end = file.find('\n', start);
        if (end == std::string::npos) return {};
        start = end + 1;
    }
    return file.substr(start);
}

::testing::AssertionResult MatchesGoldenFile(const std::filesystem::path& golden, const std::string& actual) {
    std::filesystem::path actualPath = golden;
    actualPath += ".actual";
    if (UpdateRequested()) {
        std::ofstream out(golden, std::ios::binary);
        out << HEADER_PREFIX << "Written by the test " << RunningTestName()
            << "; ORX_UPDATE_GOLDEN=1 rewrites it.\n"
            << actual;
        if (!out.flush()) return ::testing::AssertionFailure() << "cannot write " << golden;
        return ::testing::AssertionSuccess();
    }
    std::ifstream file(golden, std::ios::binary);
    if (!file)
        return ::testing::AssertionFailure()
               << golden << " is missing; run with ORX_UPDATE_GOLDEN=1 to create it";
    const std::string expected =
        GoldenContent(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    std::error_code ignored;
    if (expected == actual) {
        std::filesystem::remove(actualPath, ignored);
        return ::testing::AssertionSuccess();
    }
    std::ofstream(actualPath, std::ios::binary) << actual;
    return ::testing::AssertionFailure() << golden.filename().string() << " differs; the output is in "
                                         << actualPath << " (ORX_UPDATE_GOLDEN=1 accepts it):\n"
                                         << Difference(expected, actual);
}
