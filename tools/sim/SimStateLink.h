#pragma once
// The runner's state links: "link-out FILE" writes the link of the state the
// instrument holds (it must be off), "link-in FILE" loads the state of the
// link in FILE (a whole address or the fragment), refusing a damaged or
// later-version one.
#include <string>
#include <vector>

class TSimSession;

bool SimStateLinkHandles(const std::string& command);
bool RunSimStateLink(TSimSession& session, const std::vector<std::string>& words, std::string& error);
