#pragma once
// State links made and opened with zlib, for the native front ends (the
// window's Import state, orx700-sim). The page does the same with its
// browser's deflate over the format of StateLink.h.
#include "recording/StateLink.h"

#include <optional>
#include <string>

// The fragment ("#state=1....") of stateText; none when the text or the link
// would pass the limits.
std::optional<std::string> MakeStateLink(const std::string& stateText);
// Reads a link (see SplitStateLink); stateText is set for Sound only.
TStateLinkVerdict OpenStateLink(const std::string& link, std::string& stateText);
