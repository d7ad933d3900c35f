#pragma once
// Exercises the training tests share.
#include "measure/PointConditions.h"
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
