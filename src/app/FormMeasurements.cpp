#include "app/FormMeasurements.h"

#include "app/DialogSeam.h"
#include "app/SignalPlot.h"
#include "app/TrendPlot.h"
#include "pcdata/DbPlace.h"
#include "pcdata/Exports.h"
#include "pcdata/ReadingSignal.h"
#include "pcdata/TrendLimits.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "signals/SeverityZone.h"
#include "state/ProgramPlaces.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
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
    CreateControls();
    // Fits a 1366 x 768 laptop beside the task bar.
    resize(1100, 680);
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
    connect(ComboSignal, &QComboBox::currentIndexChanged, this, [this] { ShowSignal(); });
    ComboZoom = new QComboBox(this);
    ComboZoom->setObjectName(QStringLiteral("ComboZoom"));
    for (const int zoom : kZooms)
        ComboZoom->addItem(QStringLiteral("%1 x").arg(zoom), zoom);
    connect(ComboZoom, &QComboBox::currentIndexChanged, this, [this] { ShowSignal(); });
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
    auto* signalBar = new QHBoxLayout;
    signalBar->addWidget(ComboSignal);
    signalBar->addWidget(LabelZoom);
    signalBar->addWidget(ComboZoom);
    signalBar->addWidget(LabelCursor, 1);

    auto* upper = new QWidget(this);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addWidget(TableReadings, 1);
    upperLayout->addLayout(limits);
    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(signalBar);
    lowerLayout->addWidget(PlotSignal, 1);

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
        TableReadings->setItem(row, 4, new QTableWidgetItem(r.Overload ? Text(TEXT_PC_OVERLOAD) : QString()));
        if (r.Kind == kind) trend.push_back({r.Time, level});
    }
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

void TFormMeasurements::ShowSignal() {
    if (FFilling) return;
    LabelCursor->clear();
    PlotSignal->SetMarkers({});
    if (!FShown) {
        PlotSignal->SetSeries({}, 1.0, 1.0, false);
        return;
    }
    const int zoom = ComboZoom->currentData().toInt() > 0 ? ComboZoom->currentData().toInt() : 1;
    const QString amplitude = Text(FShown->Kind == 1 ? TEXT_PC_ENVELOPE_MM_S : TEXT_PC_VELOCITY_MM_S);
    if (ComboSignal->currentIndex() == 1) {
        std::vector<double> wave = ReadingWaveform(FShown->Kind, FShown->Samples);
        const double dt = 1.0 / READING_RATE;
        PlotSignal->SetSeries(std::move(wave), dt, FShown->Samples.size() * dt / zoom, true);
        PlotSignal->SetTitles(Text(TEXT_PC_TIME_S), amplitude);
    } else {
        TReadingSpectrum spectrum = ReadingSpectrum(FShown->Kind, FShown->Samples);
        // The instrument's band ends at 1000 Hz.
        PlotSignal->SetSeries(std::move(spectrum.Amplitude), spectrum.LineSpacing, 1000.0 / zoom, false);
        PlotSignal->SetTitles(Text(TEXT_PC_FREQ_HZ), amplitude);
    }
}

bool TFormMeasurements::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PlotSignal && event->type() == QEvent::MouseButtonPress)
        PlotSignalClick(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QWidget::eventFilter(watched, event);
}

// The cursor sits on the value nearest the click; a spectrum's cursor on the
// highest line within three lines, as an analyst means the peak.
void TFormMeasurements::PlotSignalClick(QPoint pos) {
    const std::vector<double>& y = PlotSignal->Series();
    if (y.empty()) return;
    const double x = PlotSignal->PixelToX(pos.x());
    auto i = static_cast<std::ptrdiff_t>(std::llround(x / PlotSignal->Dx()));
    i = std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(y.size()) - 1);
    const bool spectrum = ComboSignal->currentIndex() == 0;
    if (spectrum) {
        const auto from = std::max<std::ptrdiff_t>(0, i - 3);
        const auto to = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(y.size()) - 1, i + 3);
        for (auto k = from; k <= to; ++k)
            if (y[static_cast<std::size_t>(k)] > y[static_cast<std::size_t>(i)]) i = k;
    }
    const double at = static_cast<double>(i) * PlotSignal->Dx();
    const double value = y[static_cast<std::size_t>(i)];
    const QString place = QString::number(at, 'f', spectrum ? 4 : 5);
    LabelCursor->setText(
        Text(TEXT_PC_CURSOR)
            .arg(place, Text(spectrum ? TEXT_PC_UNIT_HZ : TEXT_PC_UNIT_S), QString::number(value, 'g', 5)));
    PlotSignal->SetMarkers({{at, place, palette().highlight().color(), 0}});
}

void TFormMeasurements::ButtonExportClick() {
    if (!FDb) return;
    const int format = ComboExportFormat->currentIndex();
    static constexpr int FILTERS[] = {TEXT_PC_FILTER_CSV, TEXT_PC_FILTER_UFF, TEXT_PC_FILTER_WAV};
    static constexpr const char* NAMES[] = {"readings.csv", "readings.uff", "readings-wav"};
    const QString out =
        DialogSeam().GetSaveFileName(this, QLatin1String(NAMES[format]), Text(FILTERS[format]));
    if (out.isEmpty()) return;
    const auto readings = FDb->Readings(Selection(), format != 0);
    std::string error;
    const auto kind = format == 0   ? TExportFormat::Csv
                      : format == 1 ? TExportFormat::Uff58
                                    : TExportFormat::Wav;
    if (ExportReadings(readings, kind, out.toStdString(), error))
        LabelStatus->setText(Text(TEXT_PC_EXPORTED).arg(readings.size()).arg(out));
    else
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
}

void TFormMeasurements::ButtonSaveDbClick() {
    if (!FDb) return;
    const QString out =
        DialogSeam().GetSaveFileName(this, QLatin1String(MEASUREMENT_DB_NAME), Text(TEXT_PC_FILTER_DB));
    if (out.isEmpty()) return;
    std::string error;
    if (FDb->SaveCopy(out.toStdString(), error))
        LabelStatus->setText(Text(TEXT_PC_SAVED_DB).arg(out));
    else
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
}

void TFormMeasurements::ButtonImportDbClick() {
    if (!FDb) return;
    const QString from = DialogSeam().GetOpenFileName(this, QString(), Text(TEXT_PC_FILTER_DB));
    if (from.isEmpty()) return;
    std::string error;
    const int added = FDb->ImportFrom(from.toStdString(), error);
    if (added < 0) {
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
        return;
    }
    FillTree();
    LabelStatus->setText(Text(TEXT_PC_IMPORTED).arg(added).arg(from));
}
