// Transfer to PC and the Measurements window, driven as a user does: measure
// on the instrument, transfer, look at the point's trend and reading, set
// its limits, export.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"
#include "app/FormMeasurements.h"
#include "app/SignalPlot.h"
#include "app/TrendPlot.h"
#include "pcdata/TrendLimits.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
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
