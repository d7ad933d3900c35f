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
#include "platform/Strings.h"
#include "state/Inifile.h"
#include "state/ProgramPlaces.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>
#include <string_view>

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
            std::printf("usage: orx700-demo [Qt options]\n\n"
                        "Shows the ORX-700 instrument in a window. Keys: Right arrow or the right mouse\n"
                        "button is K1, Left arrow or the left mouse button is K2; Ctrl+C copies and\n"
                        "Ctrl+S saves the LCD picture. The state is kept in %s.\n",
                        ProgramPlaces().IniPath.c_str());
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

} // namespace

int main(int argc, char** argv) {
    if (const int status = HandleInformationOptions(argc, argv); status >= 0) return status;
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
        window.show();
        result = QApplication::exec();
        // After a quit signal the window is still open: closed as Exit closes
        // it. After Exit this does nothing.
        window.close();
        quitSignal = quitSignals.Received();
        // The window has deleted the device by now, and the firmware has put
        // its state back into SavedState. A session that is ending gets no box.
        SaveIniFileAtExit(quitSignal == 0);
    }
    if (quitSignal != 0) EndBySignal(quitSignal);
    return result;
}
