// The Machines window from the tool bar: a trainer gives a point a machine
// condition, sees its preview and zone, and the instrument measures it.
#include "MainWindowFixture.h"
#include "app/FormMachines.h"
#include "app/SignalPlot.h"
#include "measure/MachinePresets.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

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
    void PressBoth() {
        KeyDown(Qt::Key_Right);
        KeyDown(Qt::Key_Left);
        host.Advance(100);
        KeyUp(Qt::Key_Right);
        KeyUp(Qt::Key_Left);
        host.RunUntilIdle();
    }
    // Types text into a figure's field as a user does and ends the edit with Enter.
    void Type(const char* spin, const char* text) {
        auto* edit = Get<QDoubleSpinBox>(spin)->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, QLatin1String(text));
        QTest::keyClick(edit, Qt::Key_Return);
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
    EXPECT_EQ(Get<QComboBox>("ComboPreset")->currentText().toStdString(), LoadStr(TEXT_PRESET_PUMP_OUTER))
        << "the chosen machine stays in sight";
    const TCondition assigned = AssignedCondition(8);
    EXPECT_EQ(assigned.Kind, TConditionKind::BearingOuter);
    EXPECT_EQ(assigned.Rpm, 1480.0);
    EXPECT_EQ(tree->currentItem()->text(1).toStdString(), LoadStr(TEXT_CONDITION_BEARING_OUTER));
    EXPECT_TRUE(Get<QGroupBox>("GroupBearing")->isEnabled());
    EXPECT_FALSE(Get<QDoubleSpinBox>("SpinTeeth")->isEnabled());
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
    EXPECT_EQ(MeasuredCondition(8), SeededCondition(assigned, 8));
}

TEST_F(MachinesWindowTest, EditsAssignAtOnceMarkTheMeshAndFollowTheLanguage) {
    form->SelectSource(SOURCE_WATCH);
    Get<QComboBox>("ComboCondition")->setCurrentIndex(static_cast<int>(TConditionKind::Gear));
    Get<QDoubleSpinBox>("SpinRpm")->setValue(1200);
    Get<QDoubleSpinBox>("SpinTeeth")->setValue(31);
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
    Get<QDoubleSpinBox>("SpinElements")->setValue(14);
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
    // Every single preset's name states the zone its machine group gives it.
    for (const TMachinePreset& preset : MachinePresets()) {
        if (preset.WholeMachine()) continue;
        ChoosePreset(preset.NameId);
        const std::string name = LoadStr(preset.NameId);
        const std::string zone = name.substr(name.size() - 6);
        EXPECT_TRUE(label->text().contains(QString::fromStdString(zone)))
            << name << ": " << label->text().toStdString();
        EXPECT_EQ(AssignedCondition(2), preset.Points.front().Condition) << name;
    }
}

// What the window says the instrument shows of a MEAS point, and the keys it
// names to reach the velocity RMS, walked on the instrument.
TEST_F(MachinesWindowTest, TheKeysTheWindowNamesReachTheVelocityRmsItShows) {
    ASSERT_EQ(RoutePointKind(6), KIND_MEAS);
    form->SelectSource(6);
    ChoosePreset(TEXT_PRESET_FAN_IMBALANCE);
    EXPECT_EQ(Get<QLabel>("LabelKind")->text().toStdString(), LoadStr(TEXT_PREVIEW_KIND_0));
    form->SelectSource(SOURCE_WATCH);
    EXPECT_TRUE(
        Get<QLabel>("LabelKind")->text().endsWith(QString::fromStdString(LoadStr(TEXT_PREVIEW_WATCH))))
        << "after the stored waveform's note";

    PowerOn();
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left})
        Press(key); // machine 2, its points, point 1 (route point 6), measure
    host.Advance(5900);
    EXPECT_EQ(MenuState.Quantity, 0) << "as it comes: acceleration";
    EXPECT_EQ(MenuState.LevelType[0], 0) << "as it comes: PK";
    PressBoth();
    PressBoth(); // the main menu, on MEAS
    // The main menu's UNITS, K2, K1 once.
    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_Right);
    Press(Qt::Key_Left);
    Press(Qt::Key_Right);
    PressBoth();
    // OPTS, the velocity line, K2 until RMS.
    Press(Qt::Key_Right);
    Press(Qt::Key_Left);
    for (int i = 0; i < 6; ++i)
        Press(Qt::Key_Right);
    Press(Qt::Key_Left);
    PressBoth();
    EXPECT_EQ(MenuState.Quantity, 1) << "velocity";
    EXPECT_EQ(MenuState.LevelType[1], 1) << "RMS";
    EXPECT_EQ(MenuState.UnitSystem[1], 0) << "mm/s";
    EXPECT_NEAR(CurrentPoint.Results.Value[RESULT_VEL_RMS], 3.6f, 0.03f * 3.6f);
}

// A figure outside its field's range is refused with the reason and leaves
// the field, the assignment and every other field as they were; so is a
// condition whose figures break a rule between fields. The labels state the
// ranges.
TEST_F(MachinesWindowTest, FiguresOutsideTheirRangesAreRefusedWithTheReason) {
    auto* refusal = Get<QLabel>("LabelRefusal");
    EXPECT_TRUE(Get<QLabel>("LabelRpm")->text().contains(QStringLiteral("60–30000")));
    EXPECT_TRUE(Get<QLabel>("LabelContactAngle")->text().contains(QStringLiteral("0–45")));
    EXPECT_TRUE(Get<QLabel>("LabelBlades")->text().contains(QStringLiteral("1–500")));
    const char* outer = "bearing-outer rpm=1480 velocity=3.6 bearing=8,17.46,72.5,0";
    struct TCase {
        const char* Condition; // the point's, with the field enabled
        const char* Spin;
        const char* Typed;
        const char* Says[3]; // in the reason
    };
    for (const TCase& c : {
             TCase{outer, "SpinRpm", "100000", {"100000", "60", "30000"}},
             TCase{outer, "SpinRpm", "50", {"50", "60", "30000"}},
             TCase{outer, "SpinContactAngle", "95", {"95", "0", "45"}},
             TCase{outer, "SpinElements", "101", {"101", "3", "100"}},
             TCase{outer, "SpinVelocity", "70.5", {"70.5", "0.01", "70"}},
             TCase{outer, "SpinNoise", "3", {"3", "0", "2"}},
             TCase{outer, "SpinBallDiameter", "1001", {"1001", "0.01", "1000"}},
             TCase{outer, "SpinStage", "5", {"5", "1", "4"}},
             TCase{outer, "SpinStage", "0", {"0", "1", "4"}},
             TCase{outer, "SpinSpeedJitter", "10.5", {"10.5", "0", "10"}},
             TCase{"vane-pass blades=6", "SpinBlades", "501", {"501", "1", "500"}},
             TCase{"vane-pass blades=6", "SpinBlades", "0", {"0", "1", "500"}},
             TCase{"resonance resonance=25.5", "SpinResonance", "25001", {"25001", "1", "25000"}},
             TCase{"resonance resonance=25.5", "SpinResonance", "0.5", {"0.5", "1", "25000"}},
             TCase{"imbalance+bearing-outer", "SpinShareFirst", "101", {"101", "0.01", "100"}},
             TCase{"imbalance+bearing-outer", "SpinShareSecond", "0", {"0", "0.01", "100"}},
             // Rules between fields: a ball wider than its pitch circle, one
             // too thin for any bearing, more balls than the circle holds,
             // a fault's weight under 1 % of both.
             TCase{outer, "SpinBallDiameter", "80", {"80", "72.5", ""}},
             TCase{outer, "SpinPitchDiameter", "17", {"17.46", "17", ""}},
             TCase{outer, "SpinBallDiameter", "1", {"1", "72.5", "0.02"}},
             TCase{outer, "SpinElements", "30", {"30", "17.46", "72.5"}},
             TCase{"imbalance+bearing-outer shares=50,1", "SpinShareSecond", "0.5", {"50", "0.5", "1 %"}},
         }) {
        const std::string what = std::string(c.Condition) + ": " + c.Spin + " " + c.Typed;
        std::string error;
        AssignCondition(8, *ParseCondition(c.Condition, error));
        form->SelectSource(7);
        form->SelectSource(8);
        const TCondition before = AssignedCondition(8);
        std::vector<double> fields;
        for (const QDoubleSpinBox* spin : form->findChildren<QDoubleSpinBox*>())
            fields.push_back(spin->value());
        ASSERT_TRUE(Get<QDoubleSpinBox>(c.Spin)->isEnabled()) << what;
        Type(c.Spin, c.Typed);
        EXPECT_TRUE(refusal->isVisibleTo(form)) << what;
        for (const char* figure : c.Says)
            EXPECT_TRUE(refusal->text().contains(QString::fromUtf8(figure)))
                << what << ": " << refusal->text().toStdString();
        EXPECT_EQ(AssignedCondition(8), before) << what;
        std::vector<double> after;
        for (const QDoubleSpinBox* spin : form->findChildren<QDoubleSpinBox*>())
            after.push_back(spin->value());
        EXPECT_EQ(after, fields) << what << ": the field goes back, no other changes";
    }

    // One fault cannot be both parts of a combined condition, whichever
    // list makes them alike.
    std::string error;
    AssignCondition(8, *ParseCondition("imbalance+bearing-outer shares=2,1", error));
    form->SelectSource(7);
    form->SelectSource(8);
    const TCondition combined = AssignedCondition(8);
    for (const auto& [box, kind] : {std::pair{"ComboSecond", TConditionKind::Imbalance},
                                    std::pair{"ComboCondition", TConditionKind::BearingOuter}}) {
        Get<QComboBox>(box)->setCurrentIndex(static_cast<int>(kind));
        EXPECT_TRUE(refusal->isVisibleTo(form)) << box;
        EXPECT_EQ(AssignedCondition(8), combined) << box;
        EXPECT_EQ(Get<QComboBox>("ComboCondition")->currentIndex(),
                  static_cast<int>(TConditionKind::Imbalance));
        EXPECT_EQ(Get<QComboBox>("ComboSecond")->currentIndex(),
                  static_cast<int>(TConditionKind::BearingOuter));
    }

    Type("SpinRpm", "2950");
    EXPECT_FALSE(refusal->isVisibleTo(form)) << "an accepted figure clears the refusal";
    EXPECT_EQ(AssignedCondition(8).Rpm, 2950.0);
    EXPECT_EQ(AssignedCondition(8).Shares, combined.Shares) << "figures not edited stay";
}

// The notes say what the instrument will not show, from the band each
// point's channel has: 1x under the 10 Hz edge, a defining line above the
// band and which kind shows it, a machine under the 0.2 mm/s noise.
TEST_F(MachinesWindowTest, NotesWhatTheChannelCannotShow) {
    auto* note = Get<QLabel>("LabelNote");
    const auto text = [](int id) { return QString::fromStdString(LoadStr(id)); };
    const QString gear = text(TEXT_CONDITION_GEAR);
    // Each band note by what follows its last figure.
    const auto tail = [&text](int id) { return text(id).section(QLatin1Char('%'), -1).mid(1); };
    const int bandNotes[] = {TEXT_BAND_SHAFT_BELOW, TEXT_BAND_LINE_ABOVE_HF, TEXT_BAND_LINE_ABOVE_NONE,
                             TEXT_BAND_LINE_BELOW};
    struct TCase {
        int16_t Source;
        const char* Condition;
        int Note; // 0: no band note
        QString Said;
    };
    for (const TCase& c : {
             TCase{6, "imbalance rpm=300 velocity=2.8", TEXT_BAND_SHAFT_BELOW,
                   text(TEXT_BAND_SHAFT_BELOW).arg(QStringLiteral("5.0"), QStringLiteral("10"))},
             TCase{6, "imbalance rpm=1480 velocity=2.8", 0, {}},
             TCase{6, "imbalance rpm=600 velocity=2.8", 0, {}},
             TCase{7, "gear rpm=3000 teeth=23 velocity=3.6", TEXT_BAND_LINE_ABOVE_HF,
                   text(TEXT_BAND_LINE_ABOVE_HF)
                       .arg(gear, QStringLiteral("1150.0"), QStringLiteral("10"), QStringLiteral("1000"))},
             TCase{6, "gear rpm=1500 teeth=40 velocity=3.6", 0, {}},
             TCase{SOURCE_HF, "gear rpm=3000 teeth=23 velocity=3.6", 0, {}},
             TCase{6, "gear rpm=30000 teeth=500 velocity=3.6", TEXT_BAND_LINE_ABOVE_NONE,
                   text(TEXT_BAND_LINE_ABOVE_NONE)
                       .arg(gear, QStringLiteral("250000.0"), QStringLiteral("10"), QStringLiteral("1000"))},
             TCase{6, "imbalance+gear rpm=300 teeth=23 velocity=2.8", TEXT_BAND_SHAFT_BELOW,
                   text(TEXT_BAND_SHAFT_BELOW).arg(QStringLiteral("5.0"), QStringLiteral("10"))},
         }) {
        std::string error;
        AssignCondition(c.Source, *ParseCondition(c.Condition, error));
        form->SelectSource(c.Source == 6 ? int16_t{7} : int16_t{6});
        form->SelectSource(c.Source);
        for (const int id : bandNotes)
            EXPECT_EQ(note->text().contains(tail(id)), id == c.Note) << c.Condition << ": " << id;
        if (c.Note != 0) {
            EXPECT_TRUE(note->text().contains(c.Said.toHtmlEscaped()))
                << c.Condition << ": " << note->text().toStdString();
        }
    }

    std::string error;
    AssignCondition(6, *ParseCondition("imbalance rpm=1480", error));
    form->SelectSource(7);
    form->SelectSource(6);
    for (const auto& [velocity, noted] : {std::pair{0.15, true}, std::pair{0.25, false}}) {
        Get<QDoubleSpinBox>("SpinVelocity")->setValue(velocity);
        EXPECT_EQ(note->text().contains(QLatin1String("0.2 mm/s")), noted) << velocity;
    }
}

// A ball defect's impacts repeat at 2xBSF: the preview marks BSF and 2xBSF,
// both labelled whatever sidebands crowd them, and says which is which; the
// newer kinds mark their own lines.
TEST_F(MachinesWindowTest, MarksEachKindsLinesAndTellsBsfFrom2xBsf) {
    form->SelectSource(6);
    ChoosePreset(TEXT_PRESET_MOTOR_BALL);
    const double bsf = BearingFrequencies(AssignedCondition(6).Bearing, 2950.0 / 60.0).Bsf;
    const auto* plot = Get<TSignalPlot>("PlotSpectrum");
    const auto labelled = [plot](const char* label) {
        for (const auto& [index, left] : plot->ShownLabels())
            if (plot->Markers()[index].Label == QLatin1String(label)) return true;
        return false;
    };
    for (const auto& [label, hz] : {std::pair{"BSF", bsf}, std::pair{"2xBSF", 2 * bsf}}) {
        const auto* marker = Marker(label);
        ASSERT_NE(marker, nullptr);
        EXPECT_NEAR(marker->X, hz, 1e-9) << label;
        EXPECT_TRUE(labelled(label)) << label;
    }
    EXPECT_TRUE(Get<QLabel>("LabelNote")
                    ->text()
                    .contains(QString::fromStdString(LoadStr(TEXT_BALL_LINES)).toHtmlEscaped()));

    struct TCase {
        const char* Condition;
        const char* Label;
        double Hz;
    };
    for (const TCase& c : {TCase{"electrical rpm=2970 line=50", "2xLF", 100.0},
                           TCase{"electrical rpm=2970 line=60", "2xLF", 120.0},
                           TCase{"vane-pass rpm=1480 blades=7", "VPF", 7 * 1480.0 / 60.0},
                           TCase{"resonance rpm=1480 resonance=25.5", "RES", 25.5},
                           TCase{"imbalance+bearing-outer rpm=1480 bearing=8,17.46,72.5,0", "BPFO",
                                 BearingFrequencies({8, 17.46, 72.5, 0}, 1480.0 / 60.0).Bpfo}}) {
        std::string error;
        AssignCondition(6, *ParseCondition(c.Condition, error));
        form->SelectSource(7);
        form->SelectSource(6);
        const auto* marker = Marker(c.Label);
        ASSERT_NE(marker, nullptr) << c.Condition;
        EXPECT_NEAR(marker->X, c.Hz, 1e-9) << c.Condition;
        EXPECT_TRUE(labelled(c.Label)) << c.Condition;
    }
}

// A whole machine sets the first points of the selected point's machine, one
// per role, says which, and leaves every other source alone; Undo puts the
// points back. Off the route it is refused.
TEST_F(MachinesWindowTest, AWholeMachineSetsExactlyItsPointsAndCanBeUndone) {
    const auto untouched = [](int16_t source) {
        TCondition c;
        c.Kind = TConditionKind::Looseness;
        c.Rpm = 1000.0 + source;
        return c;
    };
    std::vector<int16_t> sources{SOURCE_WATCH, SOURCE_OFFROUTE, SOURCE_HF};
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point)
        sources.push_back(point);
    const auto find = [](int nameId) {
        return *std::ranges::find_if(MachinePresets(),
                                     [nameId](const TMachinePreset& p) { return p.NameId == nameId; });
    };
    auto* note = Get<QLabel>("LabelWholeMachine");
    auto* undo = Get<QPushButton>("ButtonUndo");
    struct TCase {
        int Preset;
        int16_t Selected;
        std::vector<int16_t> Set;
    };
    for (const TCase& c :
         {TCase{TEXT_PRESET_MOTOR_PUMP, 3, {1, 2, 3, 4}}, TCase{TEXT_PRESET_MOTOR_PUMP, 7, {6, 7, 8}},
          TCase{TEXT_PRESET_GEARBOX_SHAFTS, 13, {9, 10}}, TCase{TEXT_PRESET_MOTOR_PUMP, SOURCE_WATCH, {}}}) {
        for (const int16_t source : sources)
            AssignCondition(source, untouched(source));
        form->SelectSource(c.Selected);
        ChoosePreset(c.Preset);
        const TMachinePreset& preset = find(c.Preset);
        for (const int16_t source : sources) {
            const auto at = std::ranges::find(c.Set, source);
            const TCondition expected =
                at == c.Set.end() ? untouched(source)
                                  : preset.Points[static_cast<std::size_t>(at - c.Set.begin())].Condition;
            EXPECT_EQ(AssignedCondition(source), expected) << LoadStr(c.Preset) << ", point " << source;
        }
        if (c.Set.empty()) {
            EXPECT_TRUE(Get<QLabel>("LabelRefusal")->isVisibleTo(form));
            continue;
        }
        // The note names every point set with its role, and a role left out.
        EXPECT_TRUE(note->isVisibleTo(form));
        for (std::size_t i = 0; i < preset.Points.size(); ++i)
            EXPECT_TRUE(note->text().contains(QString::fromStdString(LoadStr(preset.Points[i].RoleId))))
                << note->text().toStdString();
        EXPECT_TRUE(Get<QTreeWidget>("TreeMachines")->currentItem()->font(0).bold() ==
                    (std::ranges::find(c.Set, c.Selected) != c.Set.end()));
        ASSERT_TRUE(undo->isVisibleTo(form));
        undo->click();
        for (const int16_t source : sources)
            EXPECT_EQ(AssignedCondition(source), untouched(source)) << "undone, point " << source;
        EXPECT_FALSE(undo->isVisibleTo(form));
    }

    // The machines themselves: one motor and pump shaft with four different
    // bearings; a gearbox whose output speed follows the teeth ratio, so
    // that both shafts show one mesh frequency.
    const TMachinePreset& pump = find(TEXT_PRESET_MOTOR_PUMP);
    ASSERT_EQ(pump.Points.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(pump.Points[i].Condition.Rpm, pump.Points[0].Condition.Rpm);
        for (std::size_t j = i + 1; j < 4; ++j)
            EXPECT_NE(pump.Points[i].Condition.Bearing, pump.Points[j].Condition.Bearing) << i << j;
    }
    const TMachinePreset& gearbox = find(TEXT_PRESET_GEARBOX_SHAFTS);
    ASSERT_EQ(gearbox.Points.size(), 2u);
    const TCondition& input = gearbox.Points[0].Condition;
    const TCondition& output = gearbox.Points[1].Condition;
    EXPECT_EQ(input.Teeth, 23);
    EXPECT_EQ(output.Teeth, 67);
    EXPECT_NEAR(output.Rpm, 1480.0 * 23 / 67, 1e-9);
    EXPECT_NEAR(FaultFrequency(input), FaultFrequency(output), 1e-9);

    // An edit of a point after a whole machine is the trainer's own: Undo
    // goes, so that it never overwrites it.
    form->SelectSource(9);
    ChoosePreset(TEXT_PRESET_GEARBOX_SHAFTS);
    EXPECT_EQ(Get<QComboBox>("ComboPreset")->currentText().toStdString(),
              LoadStr(TEXT_PRESET_GEARBOX_SHAFTS));
    form->SelectSource(10);
    EXPECT_NEAR(Get<QDoubleSpinBox>("SpinRpm")->value(), 508.1, 1e-9);
    Get<QDoubleSpinBox>("SpinVelocity")->setValue(3.0);
    EXPECT_NEAR(AssignedCondition(10).Rpm, 1480.0 * 23 / 67, 1e-9) << "the output speed kept in full";
    EXPECT_FALSE(undo->isVisibleTo(form));
    EXPECT_FALSE(note->isVisibleTo(form));
}

// The arrow keys walk the points: a machine's row is passed over in the
// direction of travel, so that the editor never edits a point out of sight.
TEST_F(MachinesWindowTest, TheArrowKeysPassOverTheMachinesRows) {
    auto* tree = Get<QTreeWidget>("TreeMachines");
    form->SelectSource(5);
    for (const auto& [key, source] : {std::pair{Qt::Key_Down, int16_t{6}}, std::pair{Qt::Key_Up, int16_t{5}},
                                      std::pair{Qt::Key_Down, int16_t{6}}, std::pair{Qt::Key_Up, int16_t{5}},
                                      std::pair{Qt::Key_Up, int16_t{4}}}) {
        QTest::keyClick(tree, key);
        QApplication::processEvents();
        EXPECT_EQ(form->SelectedSource(), source);
        EXPECT_TRUE(tree->currentItem()->isSelected()) << source;
    }
    form->SelectSource(1);
    QTest::keyClick(tree, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(form->SelectedSource(), 1) << "the first machine's row leads back to its first point";
    EXPECT_EQ(Get<QDoubleSpinBox>("SpinRpm")->isEnabled(), false) << "point 1 holds the stored waveform";
}

// A trainer scrolls the editor with the wheel: a field or list passing under
// the pointer must not change, as a spin box and a combo box take the wheel
// as an edit.
TEST_F(MachinesWindowTest, TheWheelChangesNoFieldTheEditorScrollsPast) {
    form->SelectSource(8);
    ChoosePreset(TEXT_PRESET_PUMP_OUTER);
    const TCondition before = AssignedCondition(8);
    for (const char* name : {"ComboPreset", "ComboCondition", "SpinRpm", "SpinNoise", "SpinBallDiameter"}) {
        auto* field = Get<QWidget>(name);
        for (const int delta : {-120, 120}) {
            QWheelEvent wheel(QPointF(5, 5), field->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(field, &wheel);
            EXPECT_EQ(AssignedCondition(8), before) << name << " " << delta;
        }
    }
    EXPECT_EQ(Get<QComboBox>("ComboPreset")->currentText().toStdString(), LoadStr(TEXT_PRESET_PUMP_OUTER));
}

class MachinesWindowInLanguage : public MachinesWindowTest, public ::testing::WithParamInterface<LANGID> {};

// At 1366 x 768 the window fits beside the instrument, its plots unfolded,
// and at that smallest size no text is cut: every label, box, column title
// and axis title shows whole; the list calls its machines as the rows do.
TEST_P(MachinesWindowInLanguage, FitsBesideTheInstrumentWithNoTextCut) {
    auto* language = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    language->setCurrentIndex(
        language->findText(GetParam() == LANG_RUSSIAN ? QStringLiteral("RUS") : QStringLiteral("ENG")));
    host.RunUntilIdle();
    form->SelectSource(8);
    ChoosePreset(TEXT_PRESET_PUMP_OUTER); // the bearing column's longest figures
    auto* preview = Get<QToolButton>("ButtonPreview");
    preview->setChecked(true);
    QApplication::processEvents();
    const QSize least = form->minimumSizeHint();
    EXPECT_LE(least.width(), 1366 - window->width() - 16) << "beside the main window, frames included";
    EXPECT_LE(least.height(), 768 - 48) << "under a title bar";
    form->resize(least);
    QApplication::processEvents();

    for (const QLabel* label : form->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(form) || label->wordWrap() || label->text().isEmpty()) continue;
        EXPECT_GE(label->width(), label->sizeHint().width())
            << label->objectName().toStdString() << ": " << label->text().toStdString();
    }
    for (const QComboBox* box : form->findChildren<QComboBox*>())
        EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
    auto* tree = Get<QTreeWidget>("TreeMachines");
    const QFontMetrics metrics(tree->font());
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        for (int column = 0; column < tree->columnCount(); ++column) {
            const int indent = column == 0 ? depth * tree->indentation() : 0;
            EXPECT_GE(tree->header()->sectionSize(column),
                      indent + metrics.horizontalAdvance((*it)->text(column)))
                << (*it)->text(column).toStdString();
        }
    }
    for (int column = 0; column < tree->columnCount(); ++column)
        EXPECT_GE(tree->header()->sectionSize(column), tree->header()->sectionSizeHint(column)) << column;
    for (const char* name : {"PlotWaveform", "PlotSpectrum"}) {
        const TSignalPlot* plot = Get<TSignalPlot>(name);
        EXPECT_LE(plot->YTitleRect().right(), plot->width()) << name;
    }
    const QString header = tree->headerItem()->text(0).section(QLatin1Char(' '), 0, 0);
    const QString machine = tree->topLevelItem(0)->text(0).section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(header.compare(machine, Qt::CaseInsensitive), 0)
        << header.toStdString() << " / " << machine.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MachinesWindowInLanguage,
                         ::testing::Values(LANG_ENGLISH, LANG_RUSSIAN));

// Where the window goes beside the main window (frames included): the side
// with room, the wider if both; the main window moves to the left edge only
// when neither side has room and the screen holds both.
TEST(MachinesWindowPlacement, BesideTheMainWindowWhereTheScreenHoldsBoth) {
    struct TCase {
        const char* Name;
        QRect Free, Main;
        int MainLeft;
        QRect Window;
    };
    const QRect laptop(0, 0, 1366, 768);
    const QRect wide(0, 0, 1920, 1080);
    for (const TCase& c : {
             TCase{"laptop, centred: moves left", laptop, QRect(245, 180, 875, 406), 0,
                   QRect(875, 0, 491, 768)},
             TCase{"laptop, at the left", laptop, QRect(0, 180, 875, 406), 0, QRect(875, 0, 491, 768)},
             TCase{"laptop, at the right", laptop, QRect(491, 180, 875, 406), 491, QRect(0, 0, 491, 768)},
             TCase{"wide, centred", wide, QRect(522, 300, 875, 406), 522, QRect(1397, 0, 523, 1080)},
             TCase{"wide, left", wide, QRect(0, 300, 875, 406), 0, QRect(875, 0, 560, 1080)},
             TCase{"second screen", QRect(1366, 0, 1920, 1080), QRect(1466, 0, 875, 406), 1466,
                   QRect(2341, 0, 560, 1080)},
             TCase{"too narrow for both", QRect(0, 0, 1280, 1024), QRect(202, 300, 875, 406), 202, QRect()},
         }) {
        const TBesidePlacement placed = PlaceBesideOn(c.Free, c.Main, 480, 560);
        EXPECT_EQ(placed.MainLeft, c.MainLeft) << c.Name;
        EXPECT_EQ(placed.Window, c.Window) << c.Name;
    }
}

} // namespace
