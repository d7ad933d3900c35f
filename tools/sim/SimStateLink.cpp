#include "SimStateLink.h"

#include "SimSession.h"

#include "firmware/Offlinemode.h"
#include "recording/RecordingHash.h"
#include "recording/StateLinkDeflate.h"
#include "state/IniDocument.h"
#include "state/Inifile.h"

#include <fstream>
#include <iterator>

namespace {

const char* Refusal(TStateLinkVerdict verdict) {
    switch (verdict) {
    case TStateLinkVerdict::NotALink:
        return "holds no state link";
    case TStateLinkVerdict::Damaged:
        return "holds a damaged state link";
    case TStateLinkVerdict::Future:
        return "holds a state link of a later version";
    case TStateLinkVerdict::TooLong:
        return "holds a state link longer than the program takes";
    case TStateLinkVerdict::Sound:
        break;
    }
    return "";
}

} // namespace

bool SimStateLinkHandles(const std::string& command) {
    return command == "link-out" || command == "link-in";
}

bool RunSimStateLink(TSimSession& session, const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 2) {
        error = words[0] + " needs a file name";
        return false;
    }
    if (session.Device().IsOn()) {
        error = words[0] + " works only while the instrument is off";
        return false;
    }
    const std::string& path = words[1];
    if (words[0] == "link-out") {
        const auto link = MakeStateLink(StateIniText(SavedState));
        std::ofstream out(path, std::ios::binary);
        if (!link || !(out << *link << '\n')) {
            error = link ? "link-out: cannot write " + path : "link-out: the state is too large for a link";
            return false;
        }
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "link-in: cannot read " + path;
        return false;
    }
    const std::string link{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string text;
    if (const TStateLinkVerdict verdict = OpenStateLink(link, text); verdict != TStateLinkVerdict::Sound) {
        error = "link-in: " + path + " " + Refusal(verdict);
        return false;
    }
    ReadIniState(TIniDocument(text), SavedState);
    return true;
}
