// The Machines window from the tool bar: a trainer gives a point a machine
// condition, sees its preview and zone, and the instrument measures it.
#include "MainWindowFixture.h"
#include "app/FormMachines.h"
#include "app/MachinePresets.h"
#include "app/SignalPlot.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class MachinesWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ClearConditions();
        Open();
        dynamic_cast<QToolButton*>(Child("ToolButtonMachines"))->click();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("FormMachines"))
                form = dynamic_cast<TFormMachines*>(widget);
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(form->isVisible());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ClearConditions();
    }
    template <class T> T* Get(const char* name) {
        T* child = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void ChoosePreset(int nameId) {
        auto* box = Get<QComboBox>("ComboPreset");
        const int index = box->findText(QString::fromStdString(LoadStr(nameId)));
        ASSERT_GT(index, 0);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // A short press of an instrument key from the keyboard.
    void Press(Qt::Key key) {
        KeyDown(key);
        host.Advance(100);
        KeyUp(key);
        host.RunUntilIdle();
    }
    const TSignalPlot::TMarker* Marker(const char* label) {
        for (const auto& marker : Get<TSignalPlot>("PlotSpectrum")->Markers())
            if (marker.Label == QLatin1String(label)) return &marker;
        ADD_FAILURE() << "no marker " << label;
        return nullptr;
    }
    // The spectrum's value at x, the largest within one line of it, over the
    // median of the lines shown.
    double PeakOverMedian(double x) {
        const TSignalPlot* plot = Get<TSignalPlot>("PlotSpectrum");
        const auto& lines = plot->Series();
        const auto k = static_cast<std::size_t>(std::lround(x / plot->Dx()));
        const double peak = std::max({lines.at(k - 1), lines.at(k), lines.at(k + 1)});
        std::vector<double> shown(lines.begin() + 30, lines.begin() + 3200);
        std::nth_element(shown.begin(), shown.begin() + shown.size() / 2, shown.end());
        return peak / shown[shown.size() / 2];
    }

    TFormMachines* form = nullptr;
};

// The done-when of the window: machine 2, point 3 (route point 8) gets an
// outer race defect at 1480 rpm in zone C, and the instrument measures it.
TEST_F(MachinesWindowTest, APresetSetsAPointThePreviewMarksItsLinesAndTheInstrumentMeasuresIt) {
    form->SelectSource(8);
    auto* tree = Get<QTreeWidget>("TreeMachines");
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->parent()->text(0).toStdString(), LoadStr(TEXT_MACHINE_2));
    EXPECT_TRUE(tree->currentItem()->text(0).startsWith(QLatin1String("3 ")));

    ChoosePreset(TEXT_PRESET_PUMP_OUTER);
    const TCondition assigned = AssignedCondition(8);
    EXPECT_EQ(assigned.Kind, TConditionKind::BearingOuter);
    EXPECT_EQ(assigned.Rpm, 1480.0);
    EXPECT_EQ(tree->currentItem()->text(1).toStdString(), LoadStr(TEXT_CONDITION_BEARING_OUTER));
    EXPECT_TRUE(Get<QGroupBox>("GroupBearing")->isEnabled());
    EXPECT_FALSE(Get<QSpinBox>("SpinTeeth")->isEnabled());
    EXPECT_TRUE(Get<QLabel>("LabelSeverity")->text().contains(QLatin1String("zone C")))
        << "3.6 mm/s, group 2 rigid";

    // The defect's lines are marked where they are and stand out of the spectrum.
    const double bpfo = BearingFrequencies(assigned.Bearing, 1480.0 / 60.0).Bpfo;
    for (const auto& [label, hz] :
         {std::pair{"1x", 1480.0 / 60.0}, std::pair{"BPFO", bpfo}, std::pair{"2xBPFO", 2 * bpfo}}) {
        const auto* marker = Marker(label);
        ASSERT_NE(marker, nullptr);
        EXPECT_NEAR(marker->X, hz, 1e-9) << label;
    }
    EXPECT_GT(PeakOverMedian(bpfo), 10.0);
    Get<QComboBox>("ComboFrequencyUnit")->setCurrentIndex(1); // RPM
    EXPECT_NEAR(Marker("BPFO")->X, bpfo * 60.0, 1e-6);
    EXPECT_GT(PeakOverMedian(bpfo * 60.0), 10.0);

    PowerOn();
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left})
        Press(key); // machine 2, its points, point 3, measure
    host.Advance(5900);
    TPointRecord record{};
    RouteGetPoint(8, record);
    EXPECT_EQ(record.Status, REC_MEASURED);
    EXPECT_NEAR(record.Results.Value[RESULT_VEL_RMS], 3.6f, 0.03f * 3.6f);
    EXPECT_EQ(MeasuredCondition(8), assigned);
}

TEST_F(MachinesWindowTest, EditsAssignAtOnceMarkTheMeshAndFollowTheLanguage) {
    form->SelectSource(SOURCE_WATCH);
    Get<QComboBox>("ComboCondition")->setCurrentIndex(static_cast<int>(TConditionKind::Gear));
    Get<QDoubleSpinBox>("SpinRpm")->setValue(1200);
    Get<QSpinBox>("SpinTeeth")->setValue(31);
    const TCondition watch = AssignedCondition(SOURCE_WATCH);
    EXPECT_EQ(watch.Kind, TConditionKind::Gear);
    EXPECT_EQ(watch.Rpm, 1200.0);
    EXPECT_EQ(watch.Teeth, 31);
    EXPECT_FALSE(Get<QGroupBox>("GroupBearing")->isEnabled());
    for (const auto& [label, hz] :
         {std::pair{"GMF", 620.0}, std::pair{"GMF-1x", 600.0}, std::pair{"GMF+1x", 640.0}}) {
        const auto* marker = Marker(label);
        ASSERT_NE(marker, nullptr);
        EXPECT_NEAR(marker->X, hz, 1e-9) << label;
        EXPECT_GT(PeakOverMedian(hz), 10.0) << label;
    }
    EXPECT_EQ(AssignedCondition(8), TCondition{}) << "only the selected source changes";

    Get<QComboBox>("ComboCondition")->setCurrentIndex(static_cast<int>(TConditionKind::Stored));
    EXPECT_EQ(AssignedConditions().count(SOURCE_WATCH), 0u) << "stored clears the assignment";
    EXPECT_TRUE(Get<TSignalPlot>("PlotSpectrum")->Markers().empty());

    // Figures the ini file may hold beyond the spin boxes' steps survive an
    // edit of another figure.
    std::string error;
    TCondition odd = *ParseCondition(
        "bearing-ball rpm=2975.5 velocity=0.375 noise=0.125 seed=4000000000 bearing=13,7.94,46.5,15", error);
    AssignCondition(4, odd);
    form->SelectSource(4);
    Get<QSpinBox>("SpinElements")->setValue(14);
    odd.Bearing.Elements = 14;
    EXPECT_EQ(AssignedCondition(4), odd) << FormatCondition(AssignedCondition(4));

    form->SelectSource(3);
    Get<QComboBox>("ComboCondition")->setCurrentIndex(static_cast<int>(TConditionKind::Imbalance));
    auto* language = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    language->setCurrentIndex(language->findText(QStringLiteral("RUS")));
    host.RunUntilIdle();
    EXPECT_EQ(form->windowTitle().toStdString(), TextIn(LANG_RUSSIAN, TEXT_MACHINES_TITLE));
    EXPECT_EQ(form->SelectedSource(), 3) << "the selection survives the language";
    EXPECT_EQ(Get<QTreeWidget>("TreeMachines")->currentItem()->text(1).toStdString(),
              TextIn(LANG_RUSSIAN, TEXT_CONDITION_IMBALANCE));
    EXPECT_EQ(AssignedCondition(3).Kind, TConditionKind::Imbalance) << "relabelling assigns nothing";
}

TEST_F(MachinesWindowTest, TheSeverityZoneFollowsTheVelocityAndTheMachineGroup) {
    form->SelectSource(2);
    Get<QComboBox>("ComboCondition")->setCurrentIndex(static_cast<int>(TConditionKind::Imbalance));
    auto* label = Get<QLabel>("LabelSeverity");
    auto* group = Get<QComboBox>("ComboGroup");
    struct TCase {
        double Velocity;
        TMachineGroup Group;
        const char* Zone;
    };
    for (const TCase& c :
         {TCase{1.0, TMachineGroup::Group2Rigid, "zone A"}, TCase{2.0, TMachineGroup::Group2Rigid, "zone B"},
          TCase{2.0, TMachineGroup::Group1Flexible, "zone A"},
          TCase{5.0, TMachineGroup::Group2Flexible, "zone C"},
          TCase{12.0, TMachineGroup::Group1Flexible, "zone D"}}) {
        group->setCurrentIndex(static_cast<int>(c.Group));
        Get<QDoubleSpinBox>("SpinVelocity")->setValue(c.Velocity);
        EXPECT_TRUE(label->text().contains(QLatin1String(c.Zone))) << label->text().toStdString();
        // The figure shown is the preview's own band RMS, which the synthesis
        // makes the asked severity.
        const QString figure =
            label->text().section(QLatin1Char(':'), 1).section(QLatin1String("mm/s"), 0, 0);
        EXPECT_NEAR(figure.trimmed().toDouble(), c.Velocity, 0.02 * c.Velocity + 0.005)
            << label->text().toStdString();
    }
    // Every preset's name states the zone its machine group gives it.
    for (const TMachinePreset& preset : MachinePresets()) {
        ChoosePreset(preset.NameId);
        const std::string name = LoadStr(preset.NameId);
        const std::string zone = name.substr(name.size() - 6);
        EXPECT_TRUE(label->text().contains(QString::fromStdString(zone)))
            << name << ": " << label->text().toStdString();
        EXPECT_EQ(AssignedCondition(2), preset.Condition) << name;
    }
}

} // namespace
