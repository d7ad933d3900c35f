#include "app/ExitSave.h"

#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "state/Inifile.h"

#include <QString>

#include <cstdio>

void SaveIniFileAtExit(bool showMessage) {
    TIniSave result;
    if (SaveIniFile(&result) || result != TIniSave::TooLarge) return;
    const QString text = QString::fromStdString(LoadStr(TEXT_STATE_TOO_LARGE))
                             .arg(QString::fromStdString(IniFilePath()))
                             .arg(MAX_INI_FILE_BYTES / (1024 * 1024));
    std::fprintf(stderr, "orx700-demo: %s\n", qPrintable(text));
    if (showMessage) Host().ShowErrorMessage(text.toStdString());
}
