// orx700-demo: the emulated instrument in a window.
#include "app/LcdWindow.h"
#include "app/QtHost.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "state/Inifile.h"

#include <QApplication>

int main(int argc, char** argv) {
    LoadIniFile(DefaultIniPath());
    QApplication app(argc, argv);
    TQtHost host;
    THostInstall install(host);
    QApplication::setApplicationDisplayName(QString::fromStdString(LoadStr(300)));

    g_Device = new TDevice(FirmwareMain, &MenuState.Backlight);
    int result = 0;
    {
        TLcdWindow window(*g_Device);
        g_Device->OnRefresh = [&window] { window.update(); };
        window.show();
        result = QApplication::exec();
        g_Device->OnRefresh = nullptr;
    }
    delete g_Device;
    g_Device = nullptr;
    SaveIniFile();
    return result;
}
