// Transfer to PC and the Measurements window, driven as a user does: measure
// on the instrument, transfer, look at the point's trend and reading, set
// its limits, export.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"
#include "app/FormMeasurements.h"
#include "app/SignalPlot.h"
#include "app/TrendPlot.h"
#include "measure/PointConditions.h"
#include "pcdata/Exports.h"
#include "pcdata/ReadingSignal.h"
#include "pcdata/SpectrumCursors.h"
#include "pcdata/TrendLimits.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class MeasurementsWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("orx-measurements-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        Open();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(folder);
    }
    void Press(Qt::Key key) {
        KeyDown(key);
        host.Advance(100);
        KeyUp(key);
        host.RunUntilIdle();
    }
    // A measurement at the point the route screen shows (Left is K2).
    void Measure(bool again = false) {
        Press(Qt::Key_Left);
        if (again) Press(Qt::Key_Left); // yes, replace it
        host.Advance(5900);
    }
    QString Transfer() {
        dynamic_cast<QToolButton*>(Child("ToolButtonTransfer"))->click();
        QApplication::processEvents();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("FormMeasurements"))
                form = dynamic_cast<TFormMeasurements*>(widget);
        return dynamic_cast<QLabel*>(Child("StatusText"))->text();
    }
    template <class T> T* Get(const char* name) {
        T* child = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QString Text(int id) { return QString::fromStdString(LoadStr(id)); }
    // Point 2 measured and transferred twice, in condition first and then
    // second, and chosen in the window: the readings' table, newest first.
    QTableWidget* TwoReadingsOfPoint2(const char* first, const char* second) {
        std::string error;
        AssignCondition(2, ParseCondition(first, error).value());
        PowerOn();
        Press(Qt::Key_Left);
        Press(Qt::Key_Right); // point 2 (kind 0)
        Measure();
        EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(1));
        AssignCondition(2, ParseCondition(second, error).value());
        Measure(true);
        EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(1));
        auto* tree = Get<QTreeWidget>("TreeMeasurements");
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        return Get<QTableWidget>("TableReadings");
    }

    std::filesystem::path folder;
    TFakeDialogSeam dialogs;
    TDialogSeamInstall install{dialogs};
    TFormMeasurements* form = nullptr;
};

TEST_F(MeasurementsWindowTest, MeasuredTransferredTrendedLimitedAndExported) {
    EXPECT_EQ(Transfer(), Text(TEXT_PC_NOTHING_MEASURED));
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    auto* tree = Get<QTreeWidget>("TreeMeasurements");
    EXPECT_EQ(tree->topLevelItemCount(), 0);

    PowerOn();
    Press(Qt::Key_Left); // the point line, point 1
    Measure();
    Press(Qt::Key_Right); // point 2 (kind 0)
    Measure();
    EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(2));
    EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(0));
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);

    // Point 2 again: a new reading, with a time of its own.
    Measure(true);
    EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(1));
    tree->setCurrentItem(tree->topLevelItem(0)->child(1));
    auto* table = Get<QTableWidget>("TableReadings");
    ASSERT_EQ(table->rowCount(), 2);

    // The trend's points are the database's levels, in time order.
    std::string error;
    auto db = TMeasurementDb::Open(DesktopMeasurementDbPath(), error);
    ASSERT_TRUE(db) << error;
    TDbSelection point2;
    point2.PointKey = "2";
    const auto readings = db->Readings(point2, false);
    ASSERT_EQ(readings.size(), 2u);
    const auto& trend = form->findChild<TTrendPlot*>(QStringLiteral("PlotTrend"))->Points();
    ASSERT_EQ(trend.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(trend[i].Level, TrendLevel(readings[i]));
        EXPECT_EQ(trend[i].Time, readings[i].Time);
    }
    // The newest reading is shown: its spectrum up to 1000 Hz at 0.3125 Hz.
    const auto* plot = form->findChild<TSignalPlot*>(QStringLiteral("PlotSignal"));
    EXPECT_EQ(plot->Series().size(), 4096u);
    EXPECT_EQ(plot->Dx(), 0.3125);

    // Limits: a machine group's, then the alert typed at the reading's own
    // level, which puts it in the alert zone; kept in the database.
    auto* group = Get<QComboBox>("ComboGroup");
    group->setCurrentIndex(3);
    emit group->activated(3);
    EXPECT_EQ(Get<QDoubleSpinBox>("SpinAlert")->value(), 7.1);
    const double level = TrendLevel(readings[1]);
    Get<QDoubleSpinBox>("SpinDanger")->setValue(100);
    Get<QDoubleSpinBox>("SpinAlert")->setValue(level);
    const double shownAlert = Get<QDoubleSpinBox>("SpinAlert")->value(); // two decimals
    const TPointLimits kept = db->Limits(readings[1].PointId);
    EXPECT_TRUE(kept.Stored);
    EXPECT_EQ(kept.Alert, shownAlert);
    EXPECT_EQ(kept.Danger, 100.0);
    EXPECT_EQ(table->item(1, 3)->text(),
              Text(level >= shownAlert ? TEXT_PC_ZONE_ALERT : TEXT_PC_ZONE_NORMAL));

    // Export of the selected point, as CSV.
    const std::string csv = (folder / "point2.csv").string();
    dialogs.SaveAnswers.push_back(QString::fromStdString(csv));
    Get<QComboBox>("ComboExportFormat")->setCurrentIndex(0);
    Get<QPushButton>("ButtonExport")->click();
    std::ifstream in(csv);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    EXPECT_EQ(lines, 3);

    // The window follows the language.
    SetThreadLanguage(LANG_RUSSIAN);
    form->LoadTexts();
    EXPECT_EQ(form->windowTitle(), Text(TEXT_PC_MEASUREMENTS));
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), Text(TEXT_PC_VEL_RMS));
}

// An analyst's session on one point: today's spectrum over and minus the
// baseline, another baseline picked, harmonic cursors on an orders axis at
// a finer line spacing, and an export within dates.
TEST_F(MeasurementsWindowTest, BaselineOverlayDifferenceHarmonicsOrdersAndDates) {
    std::string error;
    auto* table = TwoReadingsOfPoint2("imbalance rpm=1500 velocity=2", "imbalance rpm=1500 velocity=5");
    ASSERT_EQ(table->rowCount(), 2);
    auto db = TMeasurementDb::Open(DesktopMeasurementDbPath(), error);
    ASSERT_TRUE(db) << error;
    const auto readings = db->Readings({}, true);
    ASSERT_EQ(readings.size(), 2u);
    const auto today = ReadingSpectrum(0, readings[1].Samples).Amplitude;
    const auto first = ReadingSpectrum(0, readings[0].Samples).Amplitude;
    auto* plot = form->findChild<TSignalPlot*>(QStringLiteral("PlotSignal"));
    auto* compare = Get<QComboBox>("ComboCompare");
    auto dates = [&] {
        QStringList texts;
        for (const auto& entry : plot->Legend())
            texts << entry.Text;
        return texts.join(QLatin1Char('|'));
    };
    const QString todayText = QString::fromStdString(ReadingTimeText(readings[1].Time)).left(16);
    const QString firstText = QString::fromStdString(ReadingTimeText(readings[0].Time)).left(16);

    // Until one is picked, the point's first reading is its baseline.
    EXPECT_EQ(table->item(0, 4)->text(), Text(TEXT_PC_BASELINE));
    compare->setCurrentIndex(1);
    EXPECT_EQ(plot->Series(), today);
    EXPECT_EQ(plot->Overlay(), first);
    EXPECT_EQ(dates(), Text(TEXT_PC_LEGEND_READING).arg(todayText) + QLatin1Char('|') +
                           Text(TEXT_PC_LEGEND_BASELINE).arg(firstText));
    compare->setCurrentIndex(2);
    ASSERT_EQ(plot->Series().size(), today.size());
    for (std::size_t i = 0; i < today.size(); ++i)
        ASSERT_EQ(plot->Series()[i], today[i] - first[i]) << "line " << i;
    EXPECT_TRUE(plot->Overlay().empty());
    EXPECT_EQ(dates(), Text(TEXT_PC_LEGEND_DIFFERENCE).arg(todayText, firstText));
    // The newest reading made the baseline: nothing has changed against it.
    Get<QPushButton>("ButtonBaseline")->click();
    EXPECT_EQ(table->item(0, 4)->text(), QString());
    EXPECT_EQ(table->item(1, 4)->text(), Text(TEXT_PC_BASELINE));
    EXPECT_EQ(plot->Series(), std::vector<double>(today.size(), 0.0));
    compare->setCurrentIndex(0);
    EXPECT_TRUE(plot->Legend().empty());

    // Orders of the 25 Hz running speed, lines interpolated 4 x; a click
    // near 1x marks 1x..10x where the reading's harmonics are.
    Get<QComboBox>("ComboAxis")->setCurrentIndex(1);
    Get<QComboBox>("ComboLines")->setCurrentIndex(2);
    const TReadingSpectrum finer = ReadingSpectrum(0, readings[1].Samples, 4);
    EXPECT_EQ(plot->Series(), finer.Amplitude);
    EXPECT_DOUBLE_EQ(plot->Dx(), finer.LineSpacing / 25.0);
    Get<QCheckBox>("CheckHarmonics")->setChecked(true);
    Get<QComboBox>("ComboZoom")->setCurrentIndex(4); // 16 x: a pixel is a fraction of a line
    const QPointF near1x(std::round(plot->XToPixel(1.01)), plot->height() / 2.0);
    QMouseEvent click(QEvent::MouseButtonPress, near1x, plot->mapToGlobal(near1x), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &click);
    const std::size_t peak =
        PeakLineNear(finer.Amplitude, static_cast<std::size_t>(25.0 / finer.LineSpacing), 12);
    const auto expected = HarmonicCursors(finer.Amplitude, finer.LineSpacing, peak, 10, 4);
    ASSERT_EQ(expected.size(), 10u);
    ASSERT_EQ(plot->Markers().size(), 10u);
    auto* harmonics = Get<QTableWidget>("TableHarmonics");
    ASSERT_EQ(harmonics->rowCount(), 10);
    for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_NEAR(plot->Markers()[k].X, static_cast<double>(k + 1), 0.002) << k;
        EXPECT_EQ(plot->Markers()[k].Y, finer.Amplitude[expected[k].Line]);
        EXPECT_EQ(harmonics->item(static_cast<int>(k), 2)->text(),
                  QString::number(expected[k].Amplitude, 'f', 3));
    }

    // An export within dates: the readings' own day takes both, the next none.
    const QDate day = Get<QDateEdit>("DateFrom")->date();
    Get<QCheckBox>("CheckDates")->setChecked(true);
    for (const auto& [from, rows] : {std::pair{day, 3}, std::pair{day.addDays(1), 1}}) {
        Get<QDateEdit>("DateFrom")->setDate(from);
        Get<QDateEdit>("DateTo")->setDate(from);
        const std::string csv = (folder / "dated.csv").string();
        dialogs.SaveAnswers.push_back(QString::fromStdString(csv));
        Get<QPushButton>("ButtonExport")->click();
        std::ifstream in(csv);
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        EXPECT_EQ(lines, rows) << from.toString().toStdString();
    }
}

// A baseline taken at 1200 rpm against today at 1500 rpm: in orders both 1x
// lines stand at order 1; the baseline set in the window is the database's,
// there after the window closes and opens on a new connection.
TEST_F(MeasurementsWindowTest, ABaselineAtAnotherSpeedLinesUpInOrdersAndIsKept) {
    std::string error;
    auto* table = TwoReadingsOfPoint2("imbalance rpm=1200 velocity=2", "imbalance rpm=1500 velocity=5");
    ASSERT_EQ(table->rowCount(), 2);
    table->selectRow(0); // the 1200 rpm reading becomes the baseline
    Get<QPushButton>("ButtonBaseline")->click();
    table->selectRow(1);
    Get<QComboBox>("ComboCompare")->setCurrentIndex(1);
    Get<QComboBox>("ComboAxis")->setCurrentIndex(1);
    auto* plot = form->findChild<TSignalPlot*>(QStringLiteral("PlotSignal"));
    const std::vector<double>& today = plot->Series();
    const std::vector<double>& baseline = plot->Overlay();
    ASSERT_EQ(baseline.size(), today.size());
    const auto order1 = static_cast<std::size_t>(std::lround(1.0 / plot->Dx()));
    const std::size_t todayPeak = PeakLineNear(today, order1, 6);
    const std::size_t basePeak = PeakLineNear(baseline, order1, 6);
    EXPECT_NEAR(static_cast<double>(todayPeak) * plot->Dx(), 1.0, 0.02);
    EXPECT_NEAR(static_cast<double>(basePeak) * plot->Dx(), 1.0, 0.02);
    EXPECT_GT(baseline[basePeak], 1.0); // the 2 mm/s imbalance, not the floor

    form->close();
    Measure(true);
    EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(1));
    auto* tree = Get<QTreeWidget>("TreeMeasurements");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    table = Get<QTableWidget>("TableReadings");
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 4)->text(), Text(TEXT_PC_BASELINE));
    EXPECT_EQ(table->item(2, 4)->text(), QString());
    auto db = TMeasurementDb::Open(DesktopMeasurementDbPath(), error);
    ASSERT_TRUE(db) << error;
    const auto readings = db->Readings({}, false);
    EXPECT_EQ(db->Baseline(readings[0].PointId), readings[0].Id);
}

TEST_F(MeasurementsWindowTest, ADamagedDatabaseIsKeptAsideAndTheUserTold) {
    const std::string path = DesktopMeasurementDbPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "these are not readings";
    PowerOn();
    Press(Qt::Key_Left);
    Measure();
    EXPECT_EQ(Transfer(), Text(TEXT_PC_TRANSFERRED).arg(1));
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_TRUE(dialogs.Messages[0].contains(QString::fromStdString(path + ".refused")));
    std::ifstream aside(path + ".refused");
    std::string kept;
    std::getline(aside, kept);
    EXPECT_EQ(kept, "these are not readings");
}

} // namespace
