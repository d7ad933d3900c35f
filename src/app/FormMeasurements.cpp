#include "app/FormMeasurements.h"

#include "app/DialogSeam.h"
#include "app/SignalPlot.h"
#include "app/TrendPlot.h"
#include "pcdata/DbPlace.h"
#include "pcdata/Exports.h"
#include "pcdata/TrendLimits.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "signals/SeverityZone.h"
#include "state/ProgramPlaces.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace {

constexpr int kMachineKeyRole = Qt::UserRole;
constexpr int kPointIdRole = Qt::UserRole + 1;
constexpr int kPointKeyRole = Qt::UserRole + 2;
constexpr int kZooms[] = {1, 2, 4, 8, 16};
constexpr int kFiner[] = {1, 2, 4, 8};
constexpr int kGroupTexts[] = {TEXT_PC_GROUP_2_RIGID, TEXT_PC_GROUP_2_FLEXIBLE, TEXT_PC_GROUP_1_RIGID,
                               TEXT_PC_GROUP_1_FLEXIBLE};
constexpr double kLimitMax = 1000.0;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

int ZoneText(TTrendZone zone) {
    return zone == TTrendZone::Danger  ? TEXT_PC_ZONE_DANGER
           : zone == TTrendZone::Alert ? TEXT_PC_ZONE_ALERT
                                       : TEXT_PC_ZONE_NORMAL;
}

} // namespace

std::string DesktopMeasurementDbPath() {
    std::string path = MeasurementDbPath(SystemPlaceProbes());
    if (path.empty())
        path = (std::filesystem::path(ProgramPlaces().IniPath).parent_path() / MEASUREMENT_DB_NAME).string();
    return path;
}

std::unique_ptr<TMeasurementDb> OpenDesktopMeasurementDb(QWidget* parent, const std::string& path,
                                                         std::string& error) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    TDbRefusal refusal = TDbRefusal::None;
    auto db = TMeasurementDb::Open(path, error, &refusal);
    if (db || refusal == TDbRefusal::Failed) return db;
    // Not ours or damaged: the user's file is kept, under another name.
    const std::string aside = KeepAside(path);
    if (aside.empty()) return nullptr;
    DialogSeam().ShowMessage(parent, Text(TEXT_PC_KEPT_ASIDE).arg(Utf8(error), Utf8(aside)));
    return TMeasurementDb::Open(path, error);
}

TFormMeasurements::TFormMeasurements(QWidget* parent, std::string dbPath)
    : QWidget(parent, Qt::Window), FDbPath(std::move(dbPath)) {
    setObjectName(QStringLiteral("FormMeasurements"));
    FFilling = true; // no handler runs on controls still being made
    CreateControls();
    FFilling = false;
    // Fits a 1366 x 768 laptop beside the task bar.
    resize(1280, 700);
    if (const QScreen* desktop = screen()) {
        const QRect free = desktop->availableGeometry();
        resize(std::min(width(), free.width()), std::min(height(), free.height() - 40));
    }
    LoadTexts();
    Reload();
}

TFormMeasurements::~TFormMeasurements() = default;

void TFormMeasurements::CreateControls() {
    TreeMeasurements = new QTreeWidget(this);
    TreeMeasurements->setObjectName(QStringLiteral("TreeMeasurements"));
    TreeMeasurements->setHeaderHidden(true);
    connect(TreeMeasurements, &QTreeWidget::itemSelectionChanged, this, [this] { TreeSelectionChange(); });

    TableReadings = new QTableWidget(0, 5, this);
    TableReadings->setObjectName(QStringLiteral("TableReadings"));
    TableReadings->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableReadings->setSelectionMode(QAbstractItemView::SingleSelection);
    TableReadings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableReadings->verticalHeader()->hide();
    TableReadings->verticalHeader()->setDefaultSectionSize(TableReadings->fontMetrics().height() + 6);
    TableReadings->horizontalHeader()->setStretchLastSection(true);
    connect(TableReadings, &QTableWidget::itemSelectionChanged, this, [this] { TableSelectionChange(); });

    PlotTrend = new TTrendPlot(this);
    PlotSignal = new TSignalPlot(this, "PlotSignal");
    PlotSignal->installEventFilter(this);
    PlotSignal->setCursor(Qt::CrossCursor);

    ComboGroup = new QComboBox(this);
    ComboGroup->setObjectName(QStringLiteral("ComboGroup"));
    connect(ComboGroup, &QComboBox::activated, this, [this] { ComboGroupChange(); });
    auto spin = [this](const char* name) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(0.01, kLimitMax);
        box->setDecimals(2);
        box->setSingleStep(0.1);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { LimitsEdited(); });
        return box;
    };
    SpinAlert = spin("SpinAlert");
    SpinDanger = spin("SpinDanger");
    ComboSignal = new QComboBox(this);
    ComboSignal->setObjectName(QStringLiteral("ComboSignal"));
    connect(ComboSignal, &QComboBox::currentIndexChanged, this, [this] {
        if (!FFilling) FCursorX = -1; // a frequency means nothing on a waveform
        ShowSignal();
    });
    auto viewCombo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowSignal(); });
        return box;
    };
    ComboLines = viewCombo("ComboLines");
    ComboAxis = viewCombo("ComboAxis");
    ComboZoom = viewCombo("ComboZoom");
    for (const int zoom : kZooms)
        ComboZoom->addItem(QStringLiteral("%1 x").arg(zoom), zoom);
    ComboCompare = viewCombo("ComboCompare");
    CheckHarmonics = new QCheckBox(this);
    CheckHarmonics->setObjectName(QStringLiteral("CheckHarmonics"));
    connect(CheckHarmonics, &QCheckBox::toggled, this, [this] { ShowCursor(); });
    TableHarmonics = new QTableWidget(0, 4, this);
    TableHarmonics->setObjectName(QStringLiteral("TableHarmonics"));
    TableHarmonics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableHarmonics->setSelectionMode(QAbstractItemView::NoSelection);
    TableHarmonics->verticalHeader()->hide();
    TableHarmonics->verticalHeader()->setDefaultSectionSize(TableHarmonics->fontMetrics().height() + 4);
    TableHarmonics->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableHarmonics->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    auto* setBaseline = new QAction(this);
    setBaseline->setObjectName(QStringLiteral("ActionSetBaseline"));
    connect(setBaseline, &QAction::triggered, this, [this] { SetBaselineClick(); });
    TableReadings->addAction(setBaseline);
    TableReadings->setContextMenuPolicy(Qt::ActionsContextMenu);
    ComboExportFormat = new QComboBox(this);
    ComboExportFormat->setObjectName(QStringLiteral("ComboExportFormat"));
    ComboExportFormat->addItems({QStringLiteral("CSV"), QStringLiteral("UFF 58"), QStringLiteral("WAV")});
    auto button = [this](const char* name, void (TFormMeasurements::*handler)()) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };
    ButtonExport = button("ButtonExport", &TFormMeasurements::ButtonExportClick);
    ButtonSaveDb = button("ButtonSaveDb", &TFormMeasurements::ButtonSaveDbClick);
    ButtonImportDb = button("ButtonImportDb", &TFormMeasurements::ButtonImportDbClick);
    ButtonBaseline = button("ButtonBaseline", &TFormMeasurements::SetBaselineClick);
    CheckDates = new QCheckBox(this);
    CheckDates->setObjectName(QStringLiteral("CheckDates"));
    auto date = [this](const char* name) {
        auto* edit = new QDateEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd")); // as the exports print dates
        edit->setEnabled(false);
        return edit;
    };
    DateFrom = date("DateFrom");
    DateTo = date("DateTo");
    LabelDatesTo = new QLabel(this);
    connect(CheckDates, &QCheckBox::toggled, this, [this](bool on) {
        DateFrom->setEnabled(on);
        DateTo->setEnabled(on);
    });
    LabelGroup = new QLabel(this);
    LabelAlert = new QLabel(this);
    LabelDanger = new QLabel(this);
    LabelZoom = new QLabel(this);
    LabelCursor = new QLabel(this);
    LabelCursor->setObjectName(QStringLiteral("LabelCursor"));
    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->setWordWrap(true);

    auto* limits = new QHBoxLayout;
    limits->addWidget(LabelGroup);
    limits->addWidget(ComboGroup, 1);
    limits->addWidget(LabelAlert);
    limits->addWidget(SpinAlert);
    limits->addWidget(LabelDanger);
    limits->addWidget(SpinDanger);
    limits->addSpacing(12);
    limits->addWidget(ButtonBaseline);
    auto* signalBar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboSignal, ComboLines, ComboAxis, LabelZoom,
                                                      ComboZoom, CheckHarmonics, ComboCompare})
        signalBar->addWidget(w);
    signalBar->addWidget(LabelCursor, 1);
    // The harmonics' levels beside the plot, while they are marked.
    TableHarmonics->setFixedWidth(TableHarmonics->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 34);
    TableHarmonics->hide();
    auto* signalRow = new QHBoxLayout;
    signalRow->addWidget(PlotSignal, 1);
    signalRow->addWidget(TableHarmonics);

    auto* upper = new QWidget(this);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addWidget(TableReadings, 1);
    upperLayout->addLayout(limits);
    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(signalBar);
    lowerLayout->addLayout(signalRow, 1);

    auto* right = new QSplitter(Qt::Vertical, this);
    right->setObjectName(QStringLiteral("SplitterReadings"));
    right->setChildrenCollapsible(false);
    right->addWidget(upper);
    right->addWidget(PlotTrend);
    right->addWidget(lower);
    right->setSizes({170, 200, 260});
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("SplitterMeasurements"));
    split->setChildrenCollapsible(false);
    split->addWidget(TreeMeasurements);
    split->addWidget(right);
    split->setSizes({250, 850});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComboExportFormat);
    buttons->addWidget(CheckDates);
    buttons->addWidget(DateFrom);
    buttons->addWidget(LabelDatesTo);
    buttons->addWidget(DateTo);
    buttons->addWidget(ButtonExport);
    buttons->addSpacing(16);
    buttons->addWidget(ButtonSaveDb);
    buttons->addWidget(ButtonImportDb);
    buttons->addWidget(LabelStatus, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

void TFormMeasurements::LoadTexts() {
    FFilling = true;
    setWindowTitle(Text(TEXT_PC_MEASUREMENTS));
    TableReadings->setHorizontalHeaderLabels({Text(TEXT_PC_COL_TIME), Text(TEXT_PC_COL_KIND),
                                              Text(TrendKind() == 1 ? TEXT_PC_CREST : TEXT_PC_VEL_RMS),
                                              Text(TEXT_PC_COL_ZONE), QString()});
    const int group = ComboGroup->currentIndex();
    ComboGroup->clear();
    for (const int id : kGroupTexts)
        ComboGroup->addItem(Text(id));
    ComboGroup->setCurrentIndex(std::max(group, 0));
    const int signal = ComboSignal->currentIndex();
    ComboSignal->clear();
    ComboSignal->addItems({Text(TEXT_PC_SPECTRUM), Text(TEXT_PC_WAVEFORM)});
    ComboSignal->setCurrentIndex(std::max(signal, 0));
    const int lines = ComboLines->currentIndex();
    ComboLines->clear();
    for (const int finer : kFiner)
        ComboLines->addItem(
            finer == 1 ? Text(TEXT_PC_LINES_INSTRUMENT) : Text(TEXT_PC_LINES_PADDED).arg(finer), finer);
    ComboLines->setCurrentIndex(std::max(lines, 0));
    ComboLines->setToolTip(Text(TEXT_PC_LINES_HINT));
    const int axis = ComboAxis->currentIndex();
    ComboAxis->clear();
    ComboAxis->addItems({Text(TEXT_PC_UNIT_HZ), Text(TEXT_PC_AXIS_ORDERS)});
    ComboAxis->setCurrentIndex(std::max(axis, 0));
    const int compare = ComboCompare->currentIndex();
    ComboCompare->clear();
    ComboCompare->addItems(
        {Text(TEXT_PC_COMPARE_NONE), Text(TEXT_PC_COMPARE_OVERLAY), Text(TEXT_PC_COMPARE_DIFFERENCE)});
    ComboCompare->setCurrentIndex(std::max(compare, 0));
    CheckHarmonics->setText(Text(TEXT_PC_HARMONICS));
    CheckHarmonics->setToolTip(Text(TEXT_PC_HARMONICS_HINT));
    ButtonBaseline->setText(Text(TEXT_PC_SET_BASELINE));
    ButtonBaseline->setToolTip(Text(TEXT_PC_BASELINE_HINT));
    TableReadings->actions().front()->setText(Text(TEXT_PC_SET_BASELINE));
    CheckDates->setText(Text(TEXT_PC_DATES));
    CheckDates->setToolTip(Text(TEXT_PC_DATES_HINT));
    LabelDatesTo->setText(Text(TEXT_PC_DATES_TO));
    LabelGroup->setText(Text(TEXT_PC_GROUP));
    LabelAlert->setText(Text(TEXT_PC_ALERT));
    LabelDanger->setText(Text(TEXT_PC_DANGER));
    LabelZoom->setText(Text(TEXT_PC_ZOOM));
    ButtonExport->setText(Text(TEXT_PC_EXPORT));
    ButtonSaveDb->setText(Text(TEXT_PC_SAVE_DB));
    ButtonImportDb->setText(Text(TEXT_PC_IMPORT_DB));
    FFilling = false;
    if (FDb) {
        FillReadings();
        ShowSignal();
    }
}

void TFormMeasurements::Reload() {
    FDb.reset(); // a transfer wrote through a connection of its own
    std::string error;
    FDb = OpenDesktopMeasurementDb(this, FDbPath, error);
    if (!FDb) LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
    FillTree();
}

void TFormMeasurements::FillTree() {
    const QString selected = TreeMeasurements->currentItem()
                                 ? TreeMeasurements->currentItem()->data(0, kPointKeyRole).toString()
                                 : QString();
    FFilling = true;
    TreeMeasurements->clear();
    QTreeWidgetItem* select = nullptr;
    for (const TDbMachine& machine : FDb ? FDb->Machines() : std::vector<TDbMachine>{}) {
        auto* top = new QTreeWidgetItem(TreeMeasurements, {Utf8(machine.Name)});
        top->setData(0, kMachineKeyRole, Utf8(machine.Key));
        for (const TDbPoint& point : machine.Points) {
            auto* item = new QTreeWidgetItem(
                top, {QStringLiteral("%1  (%2)").arg(Utf8(point.Label)).arg(point.ReadingCount)});
            item->setData(0, kPointIdRole, QVariant::fromValue<qlonglong>(point.Id));
            item->setData(0, kPointKeyRole, Utf8(point.Key));
            if (!select || Utf8(point.Key) == selected) select = item;
        }
        top->setExpanded(true);
    }
    FFilling = false;
    if (select) {
        TreeMeasurements->setCurrentItem(select);
    } else {
        FReadings.clear();
        FillReadings();
        LabelStatus->setText(Text(TEXT_PC_NO_READINGS));
    }
}

int64_t TFormMeasurements::SelectedPointId() const {
    const QTreeWidgetItem* item = TreeMeasurements->currentItem();
    return item ? item->data(0, kPointIdRole).toLongLong() : 0;
}

TDbSelection TFormMeasurements::Selection() const {
    TDbSelection selection;
    if (const QTreeWidgetItem* item = TreeMeasurements->currentItem()) {
        if (item->parent())
            selection.PointKey = item->data(0, kPointKeyRole).toString().toStdString();
        else
            selection.MachineKey = item->data(0, kMachineKeyRole).toString().toStdString();
    }
    return selection;
}

// The trend follows the kind of the point's latest reading.
int16_t TFormMeasurements::TrendKind() const {
    return FReadings.empty() ? 0 : FReadings.back().Kind;
}

void TFormMeasurements::TreeSelectionChange() {
    if (FFilling || !FDb) return;
    FReadings = FDb->Readings(Selection(), false);
    FillReadings();
}

void TFormMeasurements::FillReadings() {
    FFilling = true;
    const int16_t kind = TrendKind();
    const TPointLimits limits =
        FDb && SelectedPointId() != 0 ? PointLimits(*FDb, SelectedPointId(), kind) : DefaultLimits(kind, 0);
    TableReadings->setRowCount(static_cast<int>(FReadings.size()));
    if (auto* header = TableReadings->horizontalHeaderItem(2))
        header->setText(Text(kind == 1 ? TEXT_PC_CREST : TEXT_PC_VEL_RMS));
    std::vector<TTrendPlot::TPoint> trend;
    for (std::size_t i = 0; i < FReadings.size(); ++i) {
        const TDbReading& r = FReadings[i];
        const int row = static_cast<int>(i);
        const double level = TrendLevel(r);
        const TTrendZone zone = TrendZone(level, limits);
        TableReadings->setItem(row, 0, new QTableWidgetItem(Utf8(ReadingTimeText(r.Time))));
        TableReadings->setItem(row, 1, new QTableWidgetItem(QString::number(r.Kind)));
        auto* value = new QTableWidgetItem(QString::number(level, 'f', r.Kind == 1 ? 2 : 3));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        TableReadings->setItem(row, 2, value);
        auto* zoneItem = new QTableWidgetItem(Text(ZoneText(zone)));
        zoneItem->setForeground(TTrendPlot::ZoneColor(zone));
        TableReadings->setItem(row, 3, zoneItem);
        if (r.Kind == kind) trend.push_back({r.Time, level});
    }
    MarkBaselines();
    ShowDateRange();
    TableReadings->resizeColumnsToContents();
    PlotTrend->SetTrend(std::move(trend), limits, Text(kind == 1 ? TEXT_PC_CREST : TEXT_PC_VEL_RMS));
    ShowLimits();
    FFilling = false;
    // The newest reading; the same row of another point changes no selection,
    // so the plots are filled here rather than by the table's signal.
    if (!FReadings.empty()) {
        const QSignalBlocker quiet(TableReadings);
        TableReadings->selectRow(static_cast<int>(FReadings.size()) - 1);
        TableReadings->scrollToBottom();
    }
    TableSelectionChange();
}

void TFormMeasurements::ShowLimits() {
    const int64_t point = SelectedPointId();
    const bool enabled = FDb && point != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboGroup, SpinAlert, SpinDanger})
        w->setEnabled(enabled);
    if (!enabled) return;
    const TPointLimits limits = PointLimits(*FDb, point, TrendKind());
    const bool filling = FFilling;
    FFilling = true;
    ComboGroup->setCurrentIndex(std::clamp(limits.MachineGroup, 0, MACHINE_GROUP_COUNT - 1));
    SpinAlert->setValue(limits.Alert);
    SpinDanger->setValue(limits.Danger);
    FFilling = filling;
}

void TFormMeasurements::ComboGroupChange() {
    const int64_t point = SelectedPointId();
    if (FFilling || !FDb || point == 0) return;
    std::string error;
    if (!FDb->SetLimits(point, DefaultLimits(TrendKind(), ComboGroup->currentIndex()), error))
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
    FillReadings();
}

void TFormMeasurements::LimitsEdited() {
    const int64_t point = SelectedPointId();
    if (FFilling || !FDb || point == 0) return;
    // The danger limit never lies below the alert limit.
    TPointLimits limits{ComboGroup->currentIndex(), SpinAlert->value(),
                        std::max(SpinAlert->value(), SpinDanger->value()), true};
    std::string error;
    if (!FDb->SetLimits(point, limits, error)) LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
    FillReadings();
}

void TFormMeasurements::TableSelectionChange() {
    if (FFilling) return;
    const int row = TableReadings->currentRow();
    FShown.reset();
    if (FDb && row >= 0 && row < static_cast<int>(FReadings.size()))
        FShown = FDb->Reading(FReadings[static_cast<std::size_t>(row)].Id);
    int trendIndex = -1;
    for (std::size_t i = 0, index = 0; FShown && i < FReadings.size(); ++i) {
        if (FReadings[i].Kind != TrendKind()) continue;
        if (FReadings[i].Id == FShown->Id) trendIndex = static_cast<int>(index);
        ++index;
    }
    PlotTrend->SetSelected(trendIndex);
    ShowSignal();
}
