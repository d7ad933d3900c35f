#pragma once
// TFormMachines: the Machines window. It lists the route's machines and
// points, WATCH, the off-route points and HF SP., each with the machine
// condition it measures, edits the condition of the selected one (or sets a
// ready-made machine: one point, or several points of one route machine,
// named and undoable), and previews the waveform and spectrum that condition
// gives, in mm/s, with the condition's characteristic frequencies marked and
// the velocity RMS with its ISO 10816-3 zone.
//
// Not modal: a trainer keeps it open beside the instrument, so it is laid out
// to fit beside the main window on a 1366 x 768 screen, the preview's plots
// folding away. Every change is assigned at once through the point
// conditions, so it applies from the next measurement; the worker reads the
// assignments under their lock. A figure outside its field's range is
// refused with its reason, and no edit changes another field. The main
// window owns the window; its texts follow the GUI thread's language at
// LoadTexts.
#include "measure/ConditionPreview.h"
#include "measure/MachinePresets.h"
#include "signals/Condition.h"
#include "signals/SeverityZone.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QScrollArea;
class QSplitter;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TExerciseRun;
class TRangeSpinBox;
class TSignalPlot;

class TFormMachines : public QWidget {
  public:
    explicit TFormMachines(QWidget* parent);

    void LoadTexts();
    // Selects the row of source (a route point 1..13, SOURCE_WATCH,
    // SOURCE_OFFROUTE or SOURCE_HF).
    void SelectSource(int16_t source);
    int16_t SelectedSource() const;
    // Places the window beside mainWindow on its screen, the taller of the
    // two sides that hold it; where neither side has room but the screen has
    // for both, the main window moves to the screen's left edge first.
    void PlaceBeside(QWidget* mainWindow);
    // The exercise under way (or none): while it runs, its asked points
    // show "hidden", no figures and no preview, and cannot be edited, until
    // the answers are submitted; no exercise can be saved from its state.
    // The run outlives the window. Call LoadTexts after the state changes.
    void SetExercise(const TExerciseRun* run) { FExercise = run; }
    // Called after each change of the user's to the conditions (a field, a
    // preset, an undo), once the assignments hold it: a recording keeps it.
    std::function<void()> OnConditionsChanged;

  protected:
    // The editor's lists change with the wheel only once the user is in
    // them: a wheel passing over one scrolls the editor instead.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateTree();
    void CreateEditor();
    void CreatePreview();
    void FillTree();
    void UpdateRow(QTreeWidgetItem* item);
    QTreeWidgetItem* ItemOf(int16_t source) const;
    void LoadEditorTexts();

    void SkipMachineRow(QTreeWidgetItem* now, QTreeWidgetItem* before);
    void TreeSelectionChange();
    void EditorChange();
    // The reason an edited condition cannot be taken, empty when it can.
    QString RefusalOf(const TCondition& edited) const;
    void PresetChoose(int index);
    void CreateWholeMachineNote();
    void WholeMachineChoose(int presetIndex);
    void ButtonUndoClick();
    void ForgetWholeMachine();
    void ShowWholeMachineNote();
    void UpdateRows();
    void ShowCondition(const TCondition& condition);
    void ShowPreset();
    void Refuse(const QString& reason);
    TCondition EditedCondition() const;
    void EnableDetails(const TCondition& condition);
    void UpdatePreview();
    void ButtonPreviewClick(bool shown);
    TMachineGroup Group() const;
    bool IsHidden(int16_t source) const;
    void ButtonSaveExerciseClick();
    // An asked point of an exercise under way, with nothing of it shown.
    void ShowHiddenPreview();

    const TExerciseRun* FExercise = nullptr;
    QPushButton* ButtonSaveExercise = nullptr;
    QSplitter* FSplitter = nullptr;
    QScrollArea* ScrollEditor = nullptr;
    QTreeWidget* TreeMachines = nullptr;
    QGroupBox* GroupEditor = nullptr;
    QLabel* LabelPreset = nullptr;
    QComboBox* ComboPreset = nullptr;
    QLabel* LabelCondition = nullptr;
    QComboBox* ComboCondition = nullptr;
    QLabel* LabelSecond = nullptr;
    QComboBox* ComboSecond = nullptr;
    QLabel* LabelShareFirst = nullptr;
    TRangeSpinBox* SpinShareFirst = nullptr;
    QLabel* LabelShareSecond = nullptr;
    TRangeSpinBox* SpinShareSecond = nullptr;
    QLabel* LabelRpm = nullptr;
    TRangeSpinBox* SpinRpm = nullptr;
    QLabel* LabelVelocity = nullptr;
    TRangeSpinBox* SpinVelocity = nullptr;
    QLabel* LabelNoise = nullptr;
    TRangeSpinBox* SpinNoise = nullptr;
    QLabel* LabelSeed = nullptr;
    TRangeSpinBox* SpinSeed = nullptr;
    QLabel* LabelSpeedJitter = nullptr;
    TRangeSpinBox* SpinSpeedJitter = nullptr;
    QGroupBox* GroupBearing = nullptr;
    QLabel* LabelElements = nullptr;
    TRangeSpinBox* SpinElements = nullptr;
    QLabel* LabelBallDiameter = nullptr;
    TRangeSpinBox* SpinBallDiameter = nullptr;
    QLabel* LabelPitchDiameter = nullptr;
    TRangeSpinBox* SpinPitchDiameter = nullptr;
    QLabel* LabelContactAngle = nullptr;
    TRangeSpinBox* SpinContactAngle = nullptr;
    QLabel* LabelStage = nullptr;
    TRangeSpinBox* SpinStage = nullptr;
    QLabel* LabelTeeth = nullptr;
    TRangeSpinBox* SpinTeeth = nullptr;
    QLabel* LabelLine = nullptr;
    QComboBox* ComboLine = nullptr;
    QLabel* LabelBlades = nullptr;
    TRangeSpinBox* SpinBlades = nullptr;
    QLabel* LabelResonance = nullptr;
    TRangeSpinBox* SpinResonance = nullptr;
    QLabel* LabelRefusal = nullptr;
    QLabel* LabelWholeMachine = nullptr;
    QPushButton* ButtonUndo = nullptr;
    QLabel* LabelGroup = nullptr;
    QComboBox* ComboGroup = nullptr;
    QLabel* LabelFrequencyUnit = nullptr;
    QComboBox* ComboFrequencyUnit = nullptr;
    QLabel* LabelKind = nullptr;
    QToolButton* ButtonPreview = nullptr;
    QWidget* PanelPreview = nullptr;
    TSignalPlot* PlotWaveform = nullptr;
    TSignalPlot* PlotSpectrum = nullptr;
    QLabel* LabelSeverity = nullptr;
    QLabel* LabelNote = nullptr;

    // Set while the editor is filled from a condition: those changes are
    // the window's own, not the user's.
    bool FFilling = false;

    // The last whole machine set, shown in bold until the next change and
    // undoable until then.
    TPresetSet FWholeMachine;
};

// Where a window goes beside the main window's frame main on the screen's
// free area: the main window's new left edge (it moves to the screen's left
// edge only when neither side holds least), and the window's outer rectangle,
// wanted wide where there is room, least at the narrowest; empty where the
// screen cannot hold both.
struct TBesidePlacement {
    int MainLeft;
    QRect Window;
};
TBesidePlacement PlaceBesideOn(const QRect& free, const QRect& main, int least, int wanted);
