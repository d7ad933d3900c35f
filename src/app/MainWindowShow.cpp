// The Show menu's recordings, playback, animations and state links, after
// the captions and the presenter sizes.
#include "app/CaptionStrip.h"
#include "app/ExerciseControl.h"
#include "app/MainWindow.h"
#include "app/MainWindowLayout.h"
#include "app/ShowControl.h"
#include "device/Deviceioemulation.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

void TFormORX700DemoMain::AddShowActions() {
    QMenu* menu = ToolButtonShow->menu();
    const auto add = [this, menu](const char* name, void (TFormORX700DemoMain::*handler)()) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    ShowFileActions.push_back(menu->addSeparator());
    ActionRecord = add("ActionRecord", &TFormORX700DemoMain::ActionRecordClick);
    ActionPlay = add("ActionPlay", &TFormORX700DemoMain::ActionPlayClick);
    ActionRecordAnimation = add("ActionRecordAnimation", &TFormORX700DemoMain::ActionRecordAnimationClick);
    ActionAnimateWhole = add("ActionAnimateWhole", &TFormORX700DemoMain::ActionAnimateWholeClick);
    ActionAnimateWhole->setCheckable(true);
    ShowFileActions.push_back(menu->addSeparator());
    ActionImportState = add("ActionImportState", &TFormORX700DemoMain::ActionImportStateClick);
    ActionOwnState = add("ActionOwnState", &TFormORX700DemoMain::ActionOwnStateClick);
    for (QAction* action : {ActionRecord, ActionPlay, ActionRecordAnimation, ActionAnimateWhole,
                            ActionImportState, ActionOwnState})
        ShowFileActions.push_back(action);
    // What each item does now: Record and Stop, and what another state allows.
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateShowMenu(); });
}

void TFormORX700DemoMain::UpdateShowMenu() {
    const bool recording = FShow && FShow->Recording();
    // An exercise holds its own state: nothing else comes in over it.
    const bool free = !recording && !FExercise->Run().IsOpen();
    ActionRecord->setText(Text(recording ? TEXT_SHOW_STOP_RECORDING : TEXT_SHOW_RECORD));
    ActionRecord->setEnabled(recording || free);
    ActionPlay->setEnabled(free);
    ActionImportState->setEnabled(free);
    ActionOwnState->setEnabled(free && FShow && FShow->OnOtherState());
    ActionRecordAnimation->setText(
        Text(FShow && FShow->Animating() ? TEXT_SHOW_STOP_ANIMATION : TEXT_SHOW_RECORD_ANIMATION));
    // The state may have changed under it (another state, an exercise).
    ActionAnimateWhole->setChecked(SavedState.AnimateWholeInstrument != 0);
}

void TFormORX700DemoMain::LoadShowActionTexts() {
    ActionPlay->setText(Text(TEXT_SHOW_PLAY));
    ActionImportState->setText(Text(TEXT_SHOW_IMPORT_STATE));
    ActionOwnState->setText(Text(TEXT_SHOW_OWN_STATE));
    ActionAnimateWhole->setText(Text(TEXT_GIFINST_WINDOW_WHOLE));
    ActionAnimateWhole->setToolTip(Text(TEXT_GIFINST_WINDOW_WHOLE_TIP));
    UpdateShowMenu();
}

void TFormORX700DemoMain::CreateShowControl() {
    // The recorder's checks read the state the worker published at its last
    // key wait.
    g_Device->OnKeyWait = PublishCurrentDeviceState;
    FShow = std::make_unique<TShowControl>(
        *g_Device,
        TShowControl::TWindow{this, [this](const QString& text) { ShowStatus(text); },
                              [this](const std::string& language) { KioskLanguage(language); },
                              [this] { ExerciseStateChange(); }, [this] { return InstrumentImage(); }});
    CaptionStrip->OnChanged = [this] {
        if (FShow) FShow->CaptionsChanged();
    };
}

// An empty text puts the window's own line back.
void TFormORX700DemoMain::ShowStatus(const QString& text) {
    if (text.isEmpty())
        KioskPhaseChange();
    else
        StatusText->setText(text);
}

void TFormORX700DemoMain::ActionRecordClick() {
    FShow->ToggleRecording();
    ClearActiveControl();
}

void TFormORX700DemoMain::ActionPlayClick() {
    FShow->Play();
    ClearActiveControl();
}

void TFormORX700DemoMain::ActionRecordAnimationClick() {
    FShow->ToggleAnimation();
    ClearActiveControl();
}

// Kept in the state's presenter section; a capture under way keeps what it
// began with.
void TFormORX700DemoMain::ActionAnimateWholeClick() {
    SavedState.AnimateWholeInstrument = ActionAnimateWhole->isChecked() ? 1 : 0;
    ClearActiveControl();
}

QImage TFormORX700DemoMain::InstrumentImage() {
    const QRect area(0, MainWindowLayout::kToolBarHeight, width(),
                     height() - MainWindowLayout::kToolBarHeight - MainWindowLayout::kStatusBarHeight);
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(palette().color(QPalette::Window));
    render(&image, QPoint(), QRegion(area), QWidget::DrawChildren | QWidget::DrawWindowBackground);
    return image;
}

void TFormORX700DemoMain::ActionImportStateClick() {
    FShow->ImportState();
    ClearActiveControl();
}

void TFormORX700DemoMain::ActionOwnStateClick() {
    FShow->OwnState();
    ClearActiveControl();
}

// In the kiosk these go: they write files or change the setup.
void TFormORX700DemoMain::HideShowFileActions() {
    for (QAction* action : ShowFileActions)
        action->setVisible(false);
}
