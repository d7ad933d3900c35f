// The session's signals end the real program as Exit does: its state is
// saved. The program runs as a child process on the offscreen platform, from
// a folder of its own so that it keeps its ini file there.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether the process has a handler of its own for signal (SigCgt in its
// status): the program is then far enough to save its state when asked.
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (signal - 1) & 1u) != 0;
    }
    return false;
}

class QuitSignalTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("orx700-quit-" + std::to_string(getpid()) + "-" + std::to_string(GetParam()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(ORX_DEMO_PATH, folder / "orx700-demo");
    }
    void TearDown() override {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        fs::remove_all(folder);
    }

    // Starts the program in the Russian locale, its output into a log.
    void Start() {
        const auto chosenHere = [](const std::string& var) {
            for (const char* prefix :
                 {"QT_QPA_PLATFORM=", "LANG=", "LC_", "LANGUAGE=", "DISPLAY=", "WAYLAND"})
                if (var.rfind(prefix, 0) == 0) return true;
            return false;
        };
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e)
            if (!chosenHere(*e)) env.emplace_back(*e);
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
        env.emplace_back("LC_ALL=ru_RU.UTF-8");
        std::vector<char*> envp;
        for (std::string& var : env)
            envp.push_back(var.data());
        envp.push_back(nullptr);
        const std::string program = (folder / "orx700-demo").string();
        const std::string log = (folder / "output.log").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // The child's wait status once it has ended, within limit; -1 if it has not.
    int WaitForEnd(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                return status;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    fs::path folder;
    pid_t pid = 0;
};

TEST_P(QuitSignalTest, EndsTheProgramAsExitDoesWithItsStateSaved) {
    const int signal = GetParam();
    const fs::path ini = folder / "orx700-demo.ini";
    std::ofstream(ini) << "[Notes]\nkept=yes\n";
    Start();
    ASSERT_GT(pid, 0);
    // Started from the user's locale, the program chooses Russian: a change
    // of the state that only a save can bring into the file.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!Catches(pid, signal)) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline)
            << "the program never handles " << strsignal(signal) << "\n"
            << ReadText(folder / "output.log");
        ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "ended early:\n" << ReadText(folder / "output.log");
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(kill(pid, signal), 0);
    const int status = WaitForEnd(30s);
    ASSERT_NE(status, -1) << "still running 30 s after " << strsignal(signal);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "wait status " << status << "\n"
                                                                   << ReadText(folder / "output.log");
    const std::string text = ReadText(ini);
    EXPECT_NE(text.find("[Language]\nName=RUS\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[DeviceState]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Notes]\nkept=yes\n"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& s) {
                             return std::string(sigabbrev_np(s.param));
                         });

} // namespace
