#pragma once
// TFormMeasurements: the readings on the PC. Machines and points as a tree;
// the selected point's readings over time in a table; their trend against
// the point's alert and danger limits (kept in the database, defaults from
// an ISO machine group the user picks); the selected reading's waveform or
// spectrum in physical units with a cursor and zoom; exports of the
// selection and of the database file, and imports of another one.
//
// The window owns its connection to the database. GUI thread only.
#include "pcdata/MeasurementDb.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
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
    void ShowLimits();
    void ComboGroupChange();
    void LimitsEdited();
    void PlotSignalClick(QPoint pos);
    void ButtonExportClick();
    void ButtonSaveDbClick();
    void ButtonImportDbClick();
    TDbSelection Selection() const;
    int64_t SelectedPointId() const;
    int16_t TrendKind() const;

    std::string FDbPath;
    std::unique_ptr<TMeasurementDb> FDb;
    std::vector<TDbReading> FReadings; // the selection's, without samples
    std::optional<TDbReading> FShown;  // the selected reading, with samples
    bool FFilling = false;             // controls being set from the data, not by the user

    QTreeWidget* TreeMeasurements = nullptr;
    QTableWidget* TableReadings = nullptr;
    TTrendPlot* PlotTrend = nullptr;
    TSignalPlot* PlotSignal = nullptr;
    QComboBox* ComboSignal = nullptr;
    QComboBox* ComboZoom = nullptr;
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
