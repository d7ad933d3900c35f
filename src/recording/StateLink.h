#pragma once
// A link that opens a prepared instrument: the saved state's ini text (the
// machine conditions included) in the address's fragment,
// "#state=VERSION.DATA", DATA being the raw deflate stream of the payload in
// base64url. The fragment never reaches a server, so no server's limit on
// the address applies; only the browsers' own do (STATE_LINK_MAX_CHARS).
//
// The payload starts with a check line holding the text's fingerprint, so a
// link cut short or changed on its way is refused rather than read as some
// other state. Compressing is the front end's part (zlib natively, see
// StateLinkDeflate.h; the browser's own deflate in the page): the format, the
// version and the checks are here, one copy for every front end.
#include "state/LinkText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int STATE_LINK_VERSION = 1;
// The largest state text a link carries: the page's limit for a state.
inline constexpr std::size_t STATE_LINK_MAX_TEXT = 256 * 1024;
// The longest whole link (the page's address included): Firefox takes
// addresses up to 1 MiB, Chromium up to 2 MiB; kept under the smaller.
inline constexpr std::size_t STATE_LINK_MAX_CHARS = 1000 * 1000;

enum class TStateLinkVerdict {
    NotALink, // no "#state=" in it
    Damaged,  // cut short, changed, or no state of this program
    Future,   // made by a later version of the program
    TooLong,  // past STATE_LINK_MAX_CHARS or STATE_LINK_MAX_TEXT
    Sound,
};

// "#state=1.": what a link's fragment starts with.
std::string StateLinkHead();

// The text to compress for a link of stateText.
std::string StateLinkPayload(const std::string& stateText);
// The state text of a decompressed payload; none when its check fails.
std::optional<std::string> StateLinkPayloadText(const std::string& payload);

// A link as pasted or read from a file: a whole address, the fragment alone
// or "state=..." without the '#', blanks around it ignored. Data: the
// base64url text, for Sound only.
struct TStateLinkParts {
    TStateLinkVerdict Verdict = TStateLinkVerdict::NotALink;
    std::string Data;
};
TStateLinkParts SplitStateLink(std::string_view link);
