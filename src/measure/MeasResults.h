#pragma once
// The nine levels of one measurement, by quantity (acceleration m/s2,
// velocity mm/s, displacement um) and within it by level type (PK, RMS, P-P).
// For a kind 1 measurement slot 0 holds the crest factor and the rest are 0.
#include <array>

struct TMeasResults {
    std::array<float, 9> Value{};
};

inline constexpr int RESULT_ACC_PK = 0;
inline constexpr int RESULT_ACC_RMS = 1;
inline constexpr int RESULT_ACC_PP = 2;
inline constexpr int RESULT_VEL_PK = 3;
inline constexpr int RESULT_VEL_RMS = 4;
inline constexpr int RESULT_VEL_PP = 5;
inline constexpr int RESULT_DISP_PK = 6;
inline constexpr int RESULT_DISP_RMS = 7;
inline constexpr int RESULT_DISP_PP = 8;
inline constexpr int RESULT_CREST = 0;
