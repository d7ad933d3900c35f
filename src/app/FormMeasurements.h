#pragma once
// TFormMeasurements: the readings on the PC. Machines and points as a tree;
// the selected point's readings over time in a table; their trend against
// the point's alert and danger limits (kept in the database, defaults from
// an ISO machine group the user picks); the selected reading's waveform or
// spectrum in physical units (Hz, or orders of the running speed where the
// reading knows it; the instrument's lines or interpolated between them)
// with a cursor, harmonic cursors and zoom, alone, over the point's baseline
// reading or minus it; exports of the selection (within dates if asked) and
// of the database file, and imports of another one.
//
// The window owns its connection to the database. GUI thread only.
#include "pcdata/MeasurementDb.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class TSignalPlot;
class TTrendPlot;

class TFormMeasurements : public QWidget {
  public:
    TFormMeasurements(QWidget* parent, std::string dbPath);
    ~TFormMeasurements() override;

    // Texts in the GUI thread's language.
    void LoadTexts();
    // Reads the database again (after a transfer), keeping the selected point.
    void Reload();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void FillTree();
    void TreeSelectionChange();
    void FillReadings();
    void TableSelectionChange();
    void ShowSignal();
    void ShowSpectrum(int zoom, const TDbReading* baseline);
    void ShowCursor();
    void UpdateSignalControls();
    const TDbReading* ComparedBaseline();
    int64_t BaselineId(const TDbReading& reading);
    void SetBaselineClick();
    void MarkBaselines();
    void ShowLimits();
    void ComboGroupChange();
    void LimitsEdited();
    void PlotSignalClick(QPoint pos);
    void ButtonExportClick();
    void ShowDateRange();
    void ButtonSaveDbClick();
    void ButtonImportDbClick();
    TDbSelection Selection() const;
    int64_t SelectedPointId() const;
    int16_t TrendKind() const;

    std::string FDbPath;
    std::unique_ptr<TMeasurementDb> FDb;
    std::vector<TDbReading> FReadings;   // the selection's, without samples
    std::optional<TDbReading> FShown;    // the selected reading, with samples
    std::optional<TDbReading> FBaseline; // the one it is compared with, with samples
    // The spectra on screen, today's and the baseline's (empty when none):
    // what harmonic cursors read, whichever series is drawn.
    std::vector<double> FSpectrum, FBaseSpectrum;
    double FLineSpacing = 0;
    bool FOrders = false; // the spectrum's x axis in orders of the running speed
    double FXUnit = 1;    // Hz (or s) per x axis unit: the shaft's Hz on an orders axis
    // The cursor, in Hz on a spectrum and s on a waveform; negative: none.
    // It stays where it is from reading to reading, as the analyst compares.
    double FCursorX = -1;
    bool FFilling = false; // controls being set from the data, not by the user

    QTreeWidget* TreeMeasurements = nullptr;
    QTableWidget* TableReadings = nullptr;
    TTrendPlot* PlotTrend = nullptr;
    TSignalPlot* PlotSignal = nullptr;
    QComboBox* ComboSignal = nullptr;
    QComboBox* ComboLines = nullptr;
    QComboBox* ComboAxis = nullptr;
    QComboBox* ComboZoom = nullptr;
    QComboBox* ComboCompare = nullptr;
    QCheckBox* CheckHarmonics = nullptr;
    QTableWidget* TableHarmonics = nullptr;
    QPushButton* ButtonBaseline = nullptr;
    QCheckBox* CheckDates = nullptr;
    QDateEdit* DateFrom = nullptr;
    QDateEdit* DateTo = nullptr;
    QLabel* LabelDatesTo = nullptr;
    QComboBox* ComboGroup = nullptr;
    QDoubleSpinBox* SpinAlert = nullptr;
    QDoubleSpinBox* SpinDanger = nullptr;
    QComboBox* ComboExportFormat = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonSaveDb = nullptr;
    QPushButton* ButtonImportDb = nullptr;
    QLabel* LabelGroup = nullptr;
    QLabel* LabelAlert = nullptr;
    QLabel* LabelDanger = nullptr;
    QLabel* LabelZoom = nullptr;
    QLabel* LabelCursor = nullptr;
    QLabel* LabelStatus = nullptr;
};

// The desktop's measurement database at path (its folder made when missing).
// A file there that is refused is moved aside (never overwritten), the user
// told where, and a new database started; null with error when even that
// fails.
std::unique_ptr<TMeasurementDb> OpenDesktopMeasurementDb(QWidget* parent, const std::string& path,
                                                         std::string& error);
// Where the desktop keeps it: the user's data folder.
std::string DesktopMeasurementDbPath();
