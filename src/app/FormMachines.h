#pragma once
// TFormMachines: the Machines window. It lists the route's machines and
// points, WATCH, the off-route points and HF SP., each with the machine
// condition it measures, edits the condition of the selected one (or sets a
// ready-made machine), and previews the waveform and spectrum that condition
// gives, in mm/s, with the condition's characteristic frequencies marked and
// the velocity RMS with its ISO 10816-3 zone.
//
// Not modal: a trainer keeps it open beside the instrument. Every change is
// assigned at once through the point conditions, so it applies from the
// next measurement; the worker reads the assignments under their lock. The
// main window owns the window; its texts follow the GUI thread's language
// at LoadTexts.
#include "signals/Condition.h"
#include "signals/SeverityZone.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class TSignalPlot;

class TFormMachines : public QWidget {
  public:
    explicit TFormMachines(QWidget* parent);

    void LoadTexts();
    // Selects the row of source (a route point 1..13, SOURCE_WATCH,
    // SOURCE_OFFROUTE or SOURCE_HF).
    void SelectSource(int16_t source);
    int16_t SelectedSource() const;

  private:
    void CreateTree();
    void CreateEditor();
    void CreatePreview();
    void FillTree();
    void UpdateRow(QTreeWidgetItem* item);
    QTreeWidgetItem* ItemOf(int16_t source) const;

    void TreeSelectionChange();
    void EditorChange();
    void PresetChoose(int index);
    void ShowCondition(const TCondition& condition);
    TCondition EditedCondition() const;
    void EnableDetails(TConditionKind kind);
    void UpdatePreview();
    TMachineGroup Group() const;

    QTreeWidget* TreeMachines = nullptr;
    QGroupBox* GroupEditor = nullptr;
    QLabel* LabelPreset = nullptr;
    QComboBox* ComboPreset = nullptr;
    QLabel* LabelCondition = nullptr;
    QComboBox* ComboCondition = nullptr;
    QLabel* LabelRpm = nullptr;
    QDoubleSpinBox* SpinRpm = nullptr;
    QLabel* LabelVelocity = nullptr;
    QDoubleSpinBox* SpinVelocity = nullptr;
    QLabel* LabelNoise = nullptr;
    QDoubleSpinBox* SpinNoise = nullptr;
    QLabel* LabelSeed = nullptr;
    QDoubleSpinBox* SpinSeed = nullptr;
    QGroupBox* GroupBearing = nullptr;
    QLabel* LabelElements = nullptr;
    QSpinBox* SpinElements = nullptr;
    QLabel* LabelBallDiameter = nullptr;
    QDoubleSpinBox* SpinBallDiameter = nullptr;
    QLabel* LabelPitchDiameter = nullptr;
    QDoubleSpinBox* SpinPitchDiameter = nullptr;
    QLabel* LabelContactAngle = nullptr;
    QDoubleSpinBox* SpinContactAngle = nullptr;
    QLabel* LabelTeeth = nullptr;
    QSpinBox* SpinTeeth = nullptr;
    QLabel* LabelGroup = nullptr;
    QComboBox* ComboGroup = nullptr;
    QLabel* LabelFrequencyUnit = nullptr;
    QComboBox* ComboFrequencyUnit = nullptr;
    QLabel* LabelKind = nullptr;
    TSignalPlot* PlotWaveform = nullptr;
    TSignalPlot* PlotSpectrum = nullptr;
    QLabel* LabelSeverity = nullptr;
    QLabel* LabelNote = nullptr;

    // Set while the editor is filled from a condition: those changes are
    // the window's own, not the user's.
    bool FFilling = false;
};

// The preview of a condition measured as kind: the signal in mm/s (kind 1:
// the envelope's), its line RMS values, the 10-1000 Hz velocity RMS of the
// machine and whether the instrument's input would clip. A stored condition
// gives the stored waveform of the kind.
struct TConditionPreview {
    std::vector<double> Signal;
    std::vector<double> Lines;
    double Rate = 0.0;
    double VelocityRms = 0.0;
    bool Clipped = false;
};
TConditionPreview PreviewCondition(const TCondition& condition, int16_t kind);
