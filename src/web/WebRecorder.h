#pragma once
// The page's recorder, shared by its recording functions and the Machines
// panel, whose condition changes a recording keeps.

// After the user changed conditions in the panel: while recording, a
// condition line for each that differs.
void WebRecordConditionsChanged();
