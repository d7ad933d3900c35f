// orx700-demo: the emulated instrument in a window.
#include "app/Artwork.h"
#include "app/AuxWindows.h"
#include "app/ExitSave.h"
#include "app/FormAbout.h"
#include "app/KeyboardRepeat.h"
#include "app/Languages.h"
#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "app/QuitSignals.h"
#include "platform/Resources.h"
#include "platform/Strings.h"
#include "recording/Kiosk.h"
#include "recording/RecordingPlan.h"
#include "state/IniSections.h"
#include "state/Inifile.h"
#include "state/ProgramPlaces.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// The main window opens the real auxiliary windows.
class TProgramAuxWindows : public TAuxWindowSeam {
  public:
    void ShowOverview(QWidget* owner) override { ::ShowOverview(owner); }
    void ShowAbout(QWidget* owner) override { ::ShowAbout(owner); }
    void ShowQuickStart(QWidget* owner) override { ::ShowQuickStart(owner); }
    void OpenUserManual(QWidget* owner) override { ::OpenUserManual(owner); }
};

// --help and --version answer without a screen.
int HandleInformationOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: orx700-demo [--kiosk TOUR [--kiosk-idle MINUTES]] [Qt options]\n\n"
                        "Shows the ORX-700 instrument in a window. Keys: Right arrow or the right mouse\n"
                        "button is K1, Left arrow or the left mouse button is K2; Ctrl+C copies and\n"
                        "Ctrl+S saves the LCD picture. The state is kept in %s.\n\n"
                        "--kiosk TOUR       a trade-show kiosk: the recording TOUR (an orx700-sim\n"
                        "                   script, or 'tour' for the one that comes with the program)\n"
                        "                   plays in a loop; any key, click, touch or pointer move\n"
                        "                   hands the instrument over; after the idle time it goes\n"
                        "                   back to the tour. Nothing of the session is saved. Exit is\n"
                        "                   hidden: Ctrl+Shift+Q ends the kiosk.\n"
                        "--kiosk-idle MIN   the idle time, %d to %d minutes (default %d, or the ini's\n"
                        "                   [Presenter] KioskIdleMinutes).\n",
                        ProgramPlaces().IniPath.c_str(), KIOSK_IDLE_MIN_MINUTES, KIOSK_IDLE_MAX_MINUTES,
                        KIOSK_IDLE_DEFAULT_MINUTES);
            return 0;
        }
        if (arg == "--version") {
            std::printf("orx700-demo %s\n", qPrintable(ProgramVersion()));
            return 0;
        }
    }
    return -1;
}

// What is left after Qt has taken its own options (-platform and the like)
// is not an option of this program.
bool HasUnknownArguments(const QStringList& args) {
    if (args.size() <= 1) return false;
    std::fprintf(stderr, "orx700-demo: unknown option %s (see --help)\n", qPrintable(args[1]));
    return true;
}

struct TKioskOptions {
    std::optional<std::string> Tour; // a path, or "tour"
    std::optional<std::string> IdleMinutes;
};

// Takes the kiosk's options out of argv, leaving Qt's and any unknown ones.
// False with a message for an option without its value.
bool TakeKioskOptions(int& argc, char** argv, TKioskOptions& options) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--kiosk" || arg == "--kiosk-idle") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "orx700-demo: %s needs a value (see --help)\n", argv[i]);
                return false;
            }
            (arg == "--kiosk" ? options.Tour : options.IdleMinutes) = argv[++i];
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

// The tour and the idle time, or a message on standard error.
bool ReadKiosk(const TKioskOptions& options, TRecordingPlan& tour, int& idleMinutes) {
    std::string error;
    std::string text;
    if (*options.Tour == "tour") {
        const auto bundled = FindResource("KIOSK_TOUR");
        if (bundled) text.assign(bundled->begin(), bundled->end());
    } else {
        std::ifstream file(*options.Tour, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "orx700-demo: cannot read the tour %s\n", options.Tour->c_str());
            return false;
        }
        std::ostringstream content;
        content << file.rdbuf();
        text = content.str();
    }
    if (!ParseRecordingPlan(text, tour, error)) {
        std::fprintf(stderr, "orx700-demo: the tour %s: %s\n", options.Tour->c_str(), error.c_str());
        return false;
    }
    if (tour.Steps.empty()) {
        std::fprintf(stderr, "orx700-demo: the tour %s presses no key\n", options.Tour->c_str());
        return false;
    }
    idleMinutes = KIOSK_IDLE_DEFAULT_MINUTES;
    std::optional<std::string> idle = options.IdleMinutes;
    if (!idle && g_IniFile) idle = g_IniFile->ReadString(IniSection::PRESENTER, "KioskIdleMinutes");
    if (idle && !ParseKioskIdleMinutes(*idle, idleMinutes, error)) {
        std::fprintf(stderr, "orx700-demo: %s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = HandleInformationOptions(argc, argv); status >= 0) return status;
    TKioskOptions kiosk;
    if (!TakeKioskOptions(argc, argv, kiosk)) return 2;
    if (kiosk.IdleMinutes && !kiosk.Tour) {
        std::fprintf(stderr, "orx700-demo: --kiosk-idle goes with --kiosk (see --help)\n");
        return 2;
    }
    int result = 0;
    int quitSignal = 0;
    {
        QApplication app(argc, argv);
        if (HasUnknownArguments(QApplication::arguments())) return 2;
        QApplication::setDesktopFileName(QStringLiteral("orx700-demo"));
        UseDetectableKeyRepeat();
        KeepWindowTitlesExact();
        QIcon icon;
        for (const int size : {16, 32, 48, 64, 128, 256})
            icon.addPixmap(
                QPixmap::fromImage(RenderArtwork(QStringLiteral("orx700-demo"), QSize(size, size))));
        QApplication::setWindowIcon(icon);

        LoadIniFile(ProgramPlaces().IniPath, ProgramPlaces().FormerIniPath);
        TRecordingPlan tour;
        int idleMinutes = 0;
        if (kiosk.Tour && !ReadKiosk(kiosk, tour, idleMinutes)) return 2;
        // Ends every event loop, a modal window's too: closing the main
        // window from inside one (a message box the worker waits for) could
        // not stop the worker.
        TQuitSignals quitSignals([] { QCoreApplication::exit(0); });
        TQtHost host;
        THostInstall install(host);
        // The GUI thread starts in the user's language; the window keeps it
        // unless a saved choice says otherwise.
        SetThreadLanguage(SystemLanguage());
        TProgramAuxWindows auxWindows;
        TFormORX700DemoMain window(auxWindows);
        if (kiosk.Tour) window.StartKiosk(std::move(tour), idleMinutes);
        window.show();
        result = QApplication::exec();
        // After a quit signal the window is still open: closed as Exit closes
        // it. After Exit this does nothing.
        window.EndKiosk();
        window.close();
        quitSignal = quitSignals.Received();
        // The window has deleted the device by now, and the firmware has put
        // its state back into SavedState. A session that is ending gets no box.
        // A kiosk's session is thrown away, and the user's file left alone.
        if (!kiosk.Tour) SaveIniFileAtExit(quitSignal == 0);
    }
    if (quitSignal != 0) EndBySignal(quitSignal);
    return result;
}
