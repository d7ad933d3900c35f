// orx700-demo: the emulated instrument in a window.
#include "app/AuxWindows.h"
#include "app/Languages.h"
#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "platform/Strings.h"
#include "state/Inifile.h"
#include "state/ProgramPlaces.h"

#include <QApplication>

namespace {

// The main window opens the real auxiliary windows.
class TProgramAuxWindows : public TAuxWindowSeam {
  public:
    void ShowOverview(QWidget* owner) override { ::ShowOverview(owner); }
    void ShowAbout(QWidget* owner) override { ::ShowAbout(owner); }
    void ShowQuickStart(QWidget* owner) override { ::ShowQuickStart(owner); }
    void OpenUserManual(QWidget* owner) override { ::OpenUserManual(owner); }
};

} // namespace

int main(int argc, char** argv) {
    LoadIniFile(ProgramPlaces().IniPath);
    int result = 0;
    {
        QApplication app(argc, argv);
        TQtHost host;
        THostInstall install(host);
        // The GUI thread starts in the user's language; the window keeps it
        // unless a saved choice says otherwise.
        SetThreadLanguage(SystemLanguage());
        TProgramAuxWindows auxWindows;
        TFormORX700DemoMain window(auxWindows, host);
        window.show();
        result = QApplication::exec();
    }
    // The window has deleted the device by now, and the firmware has put its
    // state back into SavedState.
    SaveIniFile();
    return result;
}
