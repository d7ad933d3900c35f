#pragma once
// Exercises the training tests share.
#include "measure/PointConditions.h"
#include "platform/DateTime.h"
#include "training/Exercise.h"

#include <gtest/gtest.h>

#include <string>

inline TCondition ConditionOf(const char* text) {
    std::string error;
    const auto condition = ParseCondition(text, error);
    EXPECT_TRUE(condition.has_value()) << text << ": " << error;
    return condition.value_or(TCondition{});
}

// "Three pumps, one bad bearing": every kind of field in use.
inline TExercise ThreePumps() {
    TExercise e;
    e.Title = "Три насоса, one bad bearing";
    e.Instructions = "Measure every point.\nA path: C:\\plant\\pumps";
    e.TimeLimitSeconds = 900;
    e.Groups = {TMachineGroup::Group2Rigid, TMachineGroup::Group1Flexible, TMachineGroup::Group2Flexible};
    e.Conditions = {{2, ConditionOf("imbalance rpm=1480 velocity=3.6")},
                    {6, ConditionOf("bearing-outer rpm=1480 velocity=2 stage=3")},
                    {9, ConditionOf("good rpm=2950 velocity=0.9")},
                    {11, ConditionOf("misalignment+looseness rpm=2950 velocity=5 shares=1,2")},
                    {SOURCE_WATCH, ConditionOf("gear teeth=31")},
                    {SOURCE_HF, ConditionOf("bearing-inner")}};
    e.Asked = {{2, TAsk::Both, "Compare 1x with the overall level."},
               {6, TAsk::Condition, "The envelope\nshows it."},
               {9, TAsk::Zone, ""}};
    return e;
}

// A bearing that wears over four visits: zone A, B, C, D at point 2 (machine
// 1, group 2 rigid: B/C at 2.8 mm/s), its visit asked for zone C; point 9's
// zone asked as well, its pump unchanged.
inline TExercise BearingWear() {
    TExercise e;
    e.Title = "Bearing wear";
    e.Conditions = {{2, ConditionOf("bearing-outer rpm=1480 velocity=1 stage=1")},
                    {9, ConditionOf("good rpm=2950 velocity=0.9")}};
    e.Asked = {{2, TAsk::Visit, "Trend it.", 'C'}, {9, TAsk::Zone, ""}};
    const char* const changes[] = {"", "bearing-outer rpm=1480 velocity=2 stage=2",
                                   "bearing-outer rpm=1480 velocity=3.5 stage=3",
                                   "bearing-outer rpm=1480 velocity=5 stage=4"};
    for (int v = 0; v < 4; ++v) {
        TVisit visit;
        visit.Date = EncodeDateTime(2026, 1 + v, 5, v == 1 ? 9 : 0, v == 1 ? 30 : 0, 0, 0);
        if (v > 0) visit.Changes[2] = ConditionOf(changes[v]);
        e.Visits.push_back(visit);
    }
    return e;
}
