#pragma once
// Vibration severity zones of ISO 10816-3 for the velocity RMS (10-1000 Hz)
// measured on the bearing housings of industrial machines: A new machine, B
// fit for unrestricted long-term operation, C restricted operation, D damage.
// Group 1 are large machines (300 kW to 50 MW), group 2 medium-sized ones
// (15 to 300 kW); the foundation is rigid or flexible.

enum class TMachineGroup {
    Group2Rigid,
    Group2Flexible,
    Group1Rigid,
    Group1Flexible,
};
inline constexpr int MACHINE_GROUP_COUNT = 4;

struct TZoneLimits {
    double AB, BC, CD; // mm/s RMS: a velocity at or above a limit is in the upper zone
};

TZoneLimits ZoneLimits(TMachineGroup group);
// 'A' to 'D'.
char SeverityZone(double velocityRms, TMachineGroup group);
