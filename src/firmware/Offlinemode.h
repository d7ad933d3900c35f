#pragma once
// The instrument's stand-alone operation: the firmware entry, its menu state,
// the screens it is built from and the walk through machines and points.
// Everything here runs on the device worker thread, draws only into the LCD
// frame buffer and reads keys only through the device's key waits.
#include "measure/MeasResults.h"
#include "measure/Routes.h"

#include <cstdint>
#include <string>
#include <vector>

// --- menu state -----------------------------------------------------------

inline constexpr int16_t ITEM_MEAS = 0;
inline constexpr int16_t ITEM_MEAS_E = 1;
inline constexpr int16_t ITEM_ANALYS = 2;
inline constexpr int16_t ITEM_WATCH = 3;
inline constexpr int16_t ITEM_UNITS = 4;
inline constexpr int16_t ITEM_OPTS = 5;
inline constexpr int16_t ITEM_HF_SP = 6;
inline constexpr int16_t ITEM_MACHINES = 7;
inline constexpr int16_t ITEM_POINTS = 8;
inline constexpr int16_t ITEM_UNIT_SELECT = 9;

inline constexpr int16_t QUANTITY_ACCELERATION = 0;
inline constexpr int16_t QUANTITY_VELOCITY = 1;
inline constexpr int16_t QUANTITY_DISPLACEMENT = 2;

struct TMenuState {
    int16_t InWatch;
    int16_t MenuItem;
    int16_t MeasMode; // 0 MEAS, 1 MEAS.E, 2 ANALYS
    int16_t Quantity;
    int16_t SelectedPoint;
    int16_t MemStatus; // 0 or MEM_ERROR
    int16_t WatchItem;
    int16_t WatchQuantity;
    int16_t Backlight; // read by the LCD painting in the GUI thread, while the worker waits
    int16_t LevelType[3];
    int16_t UnitSystem[3];
    int16_t FreqUnit;
};

extern TMenuState MenuState;
// The record of the point the route screen shows; rebuilt from the store at
// every redraw.
extern TPointRecord CurrentPoint;

// --- resume record ------------------------------------------------------------

// What survives a power cycle (and, through the ini file, the program). Filled
// before the first power-on, written by the firmware only while it unwinds at
// power-off (the GUI thread then waits for the worker).
struct TDeviceState {
    uint16_t RoutePoints[ROUTE_POINT_COUNT] = {};
    std::vector<uint16_t> UnroutePoints;
    int16_t MeasureUnit = 0;
    int16_t ActiveMenu = 0;
    int16_t SelectedPoint = 1;
    uint8_t IsPointSelectMenu = 0;
    uint8_t BacklightOn = 1;
    int16_t AccelPK = 0;
    int16_t VelocityRMS = 0;
    int16_t DisplPP = 0;
    int16_t FrequencyHz = 0;
    // Host fields; the firmware does not touch them.
    std::string LanguageName;
    std::vector<std::string> UserManuals;
    uint8_t ShowKeyCaptions = 0; // the window's key captions for an audience
    // The instrument's size for an audience in halves of its designed size
    // (2: 1x, 3: 1.5x, 4: 2x), so that an LCD pixel is this many screen pixels.
    uint8_t PresenterSize = 2;
    // Record animation takes the whole instrument with its key captions, as
    // shown, rather than the LCD alone.
    uint8_t AnimateWholeInstrument = 0;
    std::string ExerciseLinkAddress; // the web edition's address exercise links lead to
};

extern TDeviceState SavedState;

// --- firmware entry and main loop ---------------------------------------------

void FirmwareMain();
void PowerOnInit();
void ResetMenuState();
bool ValidateMenuState();
void SaveDeviceState();
// Worker thread, while the firmware runs: the device fields of the resume
// record as a power-off now would leave them (host fields untouched).
void CaptureDeviceState(TDeviceState& into);
// The device fields a save takes while the firmware runs (any thread): the
// worker publishes them at each key wait (PublishCurrentDeviceState, hooked
// to TDevice::OnKeyWait), a front end publishes the record it has just read.
void PublishDeviceState(const TDeviceState& state);
void PublishCurrentDeviceState();
TDeviceState PublishedDeviceState();
void MainMenuLoop();
void DrawRouteScreen();
void DrawMainMenu();
void MenuNext();
void MenuPrev();
void MenuEnter();
void MenuBack();
// The battery line in code page 1251; buffer of at least 32 bytes.
void BatteryText(char* buffer, std::size_t size);

// The measurement flow, the WATCH mode and the options menu.
void MeasurePoint();
void AnalysePoint();
void MeasureHfSpectrum();
void WatchLoop();
void OptionsLoop();

// "Measuring...": one dark refresh, then the message; nothing waits.
void ShowMeasuring();
// "Input overload...", until a key.
void ShowOverload();
// The completion message and up to three backlight flashes; returns the key
// that cut the flashing short (consumed), or 0. The LCD stays dark until the
// next screen is drawn.
int16_t ShowCompleted();

// --- WATCH mode -------------------------------------------------------------------

inline constexpr int16_t WATCH_MEAS = 0;
inline constexpr int16_t WATCH_MEAS_E = 1;
inline constexpr int16_t WATCH_ANALYS = 2;
inline constexpr int16_t WATCH_UNITS = 3;
inline constexpr int16_t WATCH_UNIT_SELECT = 4;

// The mode's own measurement, belonging to no point and never stored: it
// lives until the mode is left (or HF SP. overwrites SampleBuffer).
extern uint8_t WatchMeasured;
extern int16_t WatchKind; // 0 or 1
extern TMeasResults WatchResults;
extern int16_t WatchOverload; // non-zero when the reading overloaded the input

void WatchEnter();
void DrawWatchScreen();
void DrawWatchMenu();
// The key hint of a units selection showing quantity: hintId (the WATCH
// mode's or the main menu's, which both keys return to) filled with the level
// and unit texts of the next and the previous quantity.
std::string UnitSelectHintText(int16_t quantity, int hintId);

// --- options menu -------------------------------------------------------------------

inline constexpr int16_t OPTS_LINE_COUNT = 9;

void DrawOptions(int16_t selected);
void ToggleBacklight();
// The next of the six unit choices of quantity q: PK, RMS, P-P in metric
// units, then the same in inch-based units.
void NextUnitChoice(int16_t quantity);
void DeleteRoute();
void DeleteOffRoutePoints();
void EraseMemory();
// Erasing the measurement memory: 0, or MEM_ERROR when it fails.
int16_t MemoryErase();
// Keeps rc, a store operation's result, in MenuState.MemStatus. On MEM_ERROR
// it tells the user (waiting for a key) and moves the main menu to "Meas. ",
// and returns true.
bool RecordStoreResult(int16_t rc);

// --- screen elements ------------------------------------------------------------

inline constexpr float READING_MAX = 9999.0f;
extern const float IMPERIAL_FACTOR[3];

// items: texts of equal length in code page 1251.
void DrawList(int16_t page0, int16_t column, const std::vector<std::string>& items, int16_t visible,
              int16_t selected);
// Up to three lines of at most 20 characters, cut at line feeds.
void SplitLines(const std::string& text, std::string (&lines)[3]);
// wait 1: waits for any key event, which closes the message (and says so in
// the key hints); otherwise returns at once with no key doing anything.
void ShowMessage(const std::string& text, int16_t page0, int16_t wait);
// Yes is K2, no K1; hintId names the question's key hints, which say what
// each answer does.
int16_t AskYesNo(const std::string& text, int16_t page0, int hintId);
void FlashBacklight(int16_t onMs, int16_t offMs);
void DrawReading(const TMeasResults& results, int16_t kind, int16_t quantity, bool inverted, bool measured,
                 bool showTexts);
void DrawBigDigits(int16_t page, int16_t column, const char* text);

// --- machine and point selection ---------------------------------------------------

inline constexpr int16_t SELECT_NEXT = 0;
inline constexpr int16_t SELECT_PREVIOUS = 1;

void SelectMachine(int16_t direction);
void SelectPoint(int16_t direction);
int16_t FindMachineEdge(int16_t index, const char* name, bool backward);
int16_t StepRoutePoint(int16_t index, bool backward, int16_t routeCount);
int16_t StepOffRoutePoint(int16_t index, bool backward, int16_t offRouteCount);
void NewOffRouteRecord(int16_t number);

// --- texts ------------------------------------------------------------------------------

// An LCD text: the string of id in the worker's language, as code page 1251.
std::string LcdStr(int id);
