#include "app/FormSaveExercise.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QStringList Lines(int id) {
    return Text(id).split(QLatin1Char('\n'));
}

// Asked choices in the order of TEXT_ASK_CHOICES: not asked, then TAsk's.
constexpr int kNotAsked = 0;

} // namespace

TFormSaveExercise::TFormSaveExercise(QWidget* parent, TMachineGroup group) : QDialog(parent) {
    setObjectName(QStringLiteral("FormSaveExercise"));
    setWindowTitle(Text(TEXT_SAVE_AS_EXERCISE).remove(QStringLiteral("...")));
    auto* form = new QFormLayout;
    EditTitle = new QLineEdit(this);
    EditTitle->setObjectName(QStringLiteral("EditTitle"));
    form->addRow(Text(TEXT_EXERCISE_TITLE_FIELD), EditTitle);
    EditInstructions = new QPlainTextEdit(this);
    EditInstructions->setObjectName(QStringLiteral("EditInstructions"));
    EditInstructions->setTabChangesFocus(true);
    EditInstructions->setFixedHeight(90);
    form->addRow(Text(TEXT_EXERCISE_INSTRUCTIONS_FIELD), EditInstructions);
    SpinTimeLimit = new QSpinBox(this);
    SpinTimeLimit->setObjectName(QStringLiteral("SpinTimeLimit"));
    SpinTimeLimit->setRange(0, static_cast<int>(EXERCISE_TIME_LIMIT_MAX / 60));
    form->addRow(Text(TEXT_EXERCISE_TIME_LIMIT_FIELD), SpinTimeLimit);
    for (int m = 0; m < EXERCISE_MACHINES; ++m) {
        auto* box = ComboGroups[static_cast<std::size_t>(m)] = new QComboBox(this);
        box->setObjectName(QStringLiteral("ComboGroup%1").arg(m + 1));
        for (int id = TEXT_GROUP2_RIGID; id <= TEXT_GROUP1_FLEXIBLE; ++id)
            box->addItem(Text(id));
        box->setCurrentIndex(static_cast<int>(group));
        int16_t first = 1;
        while (first < ROUTE_POINT_COUNT && ExerciseMachineOf(first) != m + 1)
            ++first;
        form->addRow(QString::fromStdString(RoutePointMachineText(first)) + QLatin1Char(':'), box);
    }

    TableAsked = new QTableWidget(ROUTE_POINT_COUNT, 3, this);
    TableAsked->setObjectName(QStringLiteral("TableAsked"));
    TableAsked->setHorizontalHeaderLabels(Lines(TEXT_EXERCISE_COLUMNS));
    TableAsked->verticalHeader()->hide();
    TableAsked->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    TableAsked->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    TableAsked->horizontalHeader()->setStretchLastSection(true);
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point) {
        const int row = point - 1;
        const TCondition condition = AssignedCondition(point);
        // The trainer sees what each point hides; a point that plays the
        // stored waveform has no condition to ask for.
        auto* label = new QTableWidgetItem(
            QString::fromStdString(RoutePointLabel(point)) + QStringLiteral("  (") +
            Text(TEXT_CONDITION_STORED + static_cast<int>(condition.Kind)) + QLatin1Char(')'));
        label->setFlags(Qt::ItemIsEnabled);
        TableAsked->setItem(row, 0, label);
        auto* asks = new QComboBox(TableAsked);
        asks->setObjectName(QStringLiteral("ComboAsks%1").arg(point));
        asks->addItems(Lines(TEXT_ASK_CHOICES));
        asks->addItem(QString()); // the visit question, named by UpdateAskChoices
        asks->setEnabled(condition.Kind != TConditionKind::Stored);
        TableAsked->setCellWidget(row, 1, asks);
        TableAsked->setItem(row, 2, new QTableWidgetItem);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonsSaveExercise"));
    ButtonSave = buttons->button(QDialogButtonBox::Save);
    ButtonSave->setObjectName(QStringLiteral("ButtonSave"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    // The asked points and the visits each take the dialog's height, so
    // that both are read whole on a laptop's screen.
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("TabsSaveExercise"));
    pages->addTab(TableAsked, Text(TEXT_EXERCISE_TAB_POINTS));
    pages->addTab(CreateVisits(), Text(TEXT_EXERCISE_TAB_VISITS));
    layout->addWidget(pages, 1);
    layout->addWidget(buttons);
    UpdateAskChoices();
    const QScreen* shown = screen();
    resize(900, std::min(760, shown ? shown->availableGeometry().height() - 40 : 760));
}

TExercise TFormSaveExercise::Exercise() const {
    TExercise e;
    e.Title = EditTitle->text().toStdString();
    e.Instructions = EditInstructions->toPlainText().toStdString();
    e.TimeLimitSeconds = static_cast<uint32_t>(SpinTimeLimit->value()) * 60u;
    for (std::size_t m = 0; m < ComboGroups.size(); ++m)
        e.Groups[m] = static_cast<TMachineGroup>(
            std::clamp(ComboGroups[m]->currentIndex(), 0, MACHINE_GROUP_COUNT - 1));
    e.Conditions = AssignedConditions();
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point) {
        const int row = point - 1;
        const int choice = dynamic_cast<QComboBox*>(TableAsked->cellWidget(row, 1))->currentIndex();
        if (choice <= kNotAsked) continue;
        e.Asked.push_back(
            {point, static_cast<TAsk>(choice - 1), TableAsked->item(row, 2)->text().toStdString()});
    }
    QString ignored;
    ReadVisits(e, ignored);
    return e;
}

QString TFormSaveExercise::VisitsError() const {
    TExercise e;
    QString error;
    ReadVisits(e, error);
    return error;
}
