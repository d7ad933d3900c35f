#pragma once
// The fields a front end edits a machine condition with: each figure's key,
// name, range and decimals, and the one way a typed figure is taken into a
// condition. The condition's own parser stays the judge of the rules between
// fields (a bearing's proportions, the shares), so that an editor takes
// exactly what the ini and the tools take; a refusal says why, in a note
// the front end words.
#include "measure/ConditionPreview.h"
#include "signals/Condition.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

struct TConditionField {
    const char* Key; // "rpm", "velocity", ..., "ball", "pitch", "share1"
    int NameId;      // string id of the field's name
    double Min, Max;
    int Decimals;
    double Step;
};
// Every figure a front end shows in a field, in the editor's order.
std::span<const TConditionField> ConditionFields();
const TConditionField* FindConditionField(std::string_view key);
// The figure a field shows of condition as source measures it (the seed the
// point gives when the condition names none).
double ConditionFieldValue(const TCondition& condition, const TConditionField& field, int16_t source);

// The reason condition cannot be taken for the rules between its fields
// (two same faults, a ball not below its pitch circle, a bearing or shares
// the parser refuses); none when it can.
std::optional<TConditionNote> ConditionRefusal(const TCondition& condition);

// Takes text into field key of condition, as source's condition: a figure
// (a decimal comma or point) within the field's range, the choices "kind"
// and "second" (a condition name; "stored" for no second fault) and "line"
// (50 or 60). A seed equal to the point's own stays unnamed, so that it
// follows the point. The refusal (and condition unchanged) for a text that
// is no figure, one out of range, an unknown key or a rule between fields.
std::optional<TConditionNote> SetConditionField(TCondition& condition, std::string_view key,
                                                std::string_view text, int16_t source);
