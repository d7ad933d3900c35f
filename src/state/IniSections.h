#pragma once
// The sections the saved state's file holds, shared by its reader and writer
// and by the check of an imported file.
namespace IniSection {

inline constexpr const char* ROUTE = "RoutePoints";
inline constexpr const char* UNROUTE = "UnroutePoints";
inline constexpr const char* DEVICE = "DeviceState";
inline constexpr const char* LANGUAGE = "Language";
inline constexpr const char* MANUAL = "UserManual";
// How the window shows the instrument to an audience.
inline constexpr const char* PRESENTER = "Presenter";
// The trainer's settings: where exercise links lead.
inline constexpr const char* TRAINING = "Training";
// The machine conditions a trainer gave the points, and the ones the measured
// points were measured with.
inline constexpr const char* CONDITIONS = "MachineConditions";
inline constexpr const char* MEASURED_CONDITIONS = "MeasuredConditions";
// When each measured point was measured (the host's day count).
inline constexpr const char* MEASURED_TIMES = "MeasuredTimes";

} // namespace IniSection
