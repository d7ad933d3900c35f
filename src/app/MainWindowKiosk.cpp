// The window as a trade-show kiosk: the tour in a loop, a visitor's input
// hands the instrument over, the tour comes back after the idle time. The
// operator ends it with Ctrl+Shift+Q (or a quit signal); visitors find no
// way out and nothing that writes files or changes the setup.
#include "app/MainWindow.h"

#include "app/CaptionStrip.h"
#include "app/UserInputWatch.h"
#include "device/Deviceioemulation.h"
#include "platform/Strings.h"
#include "recording/Kiosk.h"
#include "resources/StringIds.h"

#include <QActionGroup>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

void TFormORX700DemoMain::StartKiosk(TRecordingPlan tour, int idleMinutes) {
    if (FKiosk || !g_Device) return;
    // A widget on a tool bar shows and hides through its action.
    for (QToolButton* button : {ToolButtonExit, ToolButtonMachines, ToolButtonExercise, ToolButtonTransfer})
        for (QAction* action : ToolBar->actions())
            if (ToolBar->widgetForAction(action) == button) action->setVisible(false);
    // Nor a separator with nothing after it.
    bool separated = true;
    const QList<QAction*> actions = ToolBar->actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        if ((*it)->isSeparator()) {
            (*it)->setVisible(!separated);
            separated = true;
        } else if ((*it)->isVisible()) {
            separated = false;
        }
    }
    // Changing a flag hides a shown window.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    if (shown) show();
    // The operator sets the window's size for the stand before the kiosk
    // starts; visitors keep it.
    ActionGroupSize->setEnabled(false);
    // The audience follows the tour's keys by their captions.
    HideShowFileActions();
    ActionCaptions->setChecked(true);
    CaptionStrip->setVisible(true);
    FKiosk = std::make_unique<TKiosk>(*g_Device, std::move(tour), idleMinutes);
    FKiosk->OnLanguage() = [this](const std::string& language) { KioskLanguage(language); };
    FKiosk->OnPhaseChange = [this] { KioskPhaseChange(); };
    FKioskInput = std::make_unique<TUserInputWatch>([this] { FKiosk->UserInput(); });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), this);
    quit->setObjectName(QStringLiteral("ShortcutEndKiosk"));
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, [this] {
        EndKiosk();
        close();
    });
    FKiosk->Start();
}

void TFormORX700DemoMain::EndKiosk() {
    FKioskEnding = true;
}

// The tour's language changes go through the language box, as a user's
// choice would: the window's texts follow.
void TFormORX700DemoMain::KioskLanguage(const std::string& language) {
    const LANGID id = language == "RUS" ? LANG_RUSSIAN : LANG_ENGLISH;
    const int index = ComboBoxLanguage->findData(QVariant::fromValue(id));
    if (index >= 0 && index != ComboBoxLanguage->currentIndex())
        ComboBoxLanguage->setCurrentIndex(index);
    else if (index < 0 && g_Device)
        g_Device->SetLanguage(id);
}

void TFormORX700DemoMain::KioskPhaseChange() {
    const bool touring = FKiosk && FKiosk->Phase() != TKiosk::TPhase::Live;
    StatusText->setText(QString::fromStdString(LoadStr(touring ? TEXT_KIOSK_TOURING : TEXT_USAGE)));
}
