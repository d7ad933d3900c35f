// The main window's exercise button: a menu of opening an exercise, copying
// an exercise's link for the web edition, its answer sheet, closing it, the
// class results, and in an exercise of visits the next visit and the trend.
#include "app/Artwork.h"
#include "app/ExerciseControl.h"
#include "app/FormMachines.h"
#include "app/FormMeasurements.h"
#include "app/MainWindow.h"
#include "app/ShowControl.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// The menu's actions, by object name, in order.
const std::pair<const char*, int> kActions[] = {
    {"ActionOpenExercise", TEXT_EXERCISE_OPEN}, {"ActionCopyExerciseLink", TEXT_COPY_EXERCISE_LINK},
    {"ActionAnswerSheet", TEXT_EXERCISE_SHEET}, {"ActionCloseExercise", TEXT_EXERCISE_CLOSE},
    {"ActionClassResults", TEXT_CLASS_RESULTS}, {"ActionNextVisit", TEXT_VISIT_NEXT},
    {"ActionVisitTrend", TEXT_VISIT_TREND}};

} // namespace

void TFormORX700DemoMain::CreateExerciseButton() {
    auto* button = ToolButtonExercise = new QToolButton(ToolBar);
    button->setObjectName(QStringLiteral("ToolButtonExercise"));
    button->setFixedSize(ToolButtonMachines->size());
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIcon(ArtworkIcon(QStringLiteral("tool-exercise"), ToolButtonMachines->iconSize()));
    button->setIconSize(ToolButtonMachines->iconSize());
    button->setFocusPolicy(Qt::NoFocus);
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("MenuExercise"));
    for (const auto& [name, id] : kActions)
        menu->addAction(QString())->setObjectName(QLatin1String(name));
    const QList<QAction*> actions = menu->actions();
    // A recording or a playback gives the instrument up first.
    connect(actions[0], &QAction::triggered, this,
            [this] { FShow->FreeForExercise([this] { FExercise->OpenExercise(); }); });
    connect(actions[1], &QAction::triggered, this, [this] { FExercise->CopyExerciseLink(); });
    connect(actions[2], &QAction::triggered, this, [this] { FExercise->ShowSheet(); });
    connect(actions[3], &QAction::triggered, this, [this] { FExercise->CloseExercise(); });
    connect(actions[4], &QAction::triggered, this, [this] { FExercise->ShowClassResults(); });
    connect(actions[5], &QAction::triggered, this, [this] { FExercise->NextVisit(); });
    connect(actions[6], &QAction::triggered, this, [this] { FExercise->ShowTrend(); });
    // The sheet and closing belong to an exercise under way; the visits to
    // one that has them, and there is no visit after the last.
    connect(menu, &QMenu::aboutToShow, this, [this, actions] {
        const bool open = FExercise->Run().IsOpen();
        actions[2]->setEnabled(open);
        actions[3]->setEnabled(open);
        actions[5]->setEnabled(FExercise->HasVisits() && !FExercise->Run().IsLastVisit());
        actions[6]->setEnabled(FExercise->HasVisits());
    });
    button->setMenu(menu);
    ToolBar->addWidget(button);
}

void TFormORX700DemoMain::LoadExerciseTexts() {
    ToolButtonExercise->setText(Text(TEXT_EXERCISE));
    const QList<QAction*> actions = ToolButtonExercise->menu()->actions();
    for (std::size_t i = 0; i < std::size(kActions); ++i)
        actions[static_cast<int>(i)]->setText(Text(kActions[i].second));
    if (FExercise) FExercise->LoadTexts();
}

void TFormORX700DemoMain::ExerciseStateChange() {
    if (FormMachines) FormMachines->LoadTexts();
    // The user's own measurements step aside while an exercise runs: its
    // transfers show in a window of the exercise's.
    if (FormMeasurements && FExercise && FExercise->Run().IsOpen()) FormMeasurements->hide();
    // The language the state names: the trainee's own, back from an exercise.
    const int index = ComboBoxLanguage->findText(QString::fromStdString(SavedState.LanguageName));
    if (index >= 0 && index != ComboBoxLanguage->currentIndex()) ComboBoxLanguage->setCurrentIndex(index);
}

void TFormORX700DemoMain::ShowPointInMachines(int16_t point) {
    ToolButtonMachinesClick();
    FormMachines->SelectSource(point);
}
