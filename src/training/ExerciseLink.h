#pragma once
// An exercise sent as one link: the web edition's address, then the
// fragment "#exercise=" EXERCISE_LINK_VERSION "." and the exercise file's
// text compressed as raw deflate (no zlib header, as the page's
// DecompressionStream('deflate-raw') reads it) in base64url without padding.
// A fragment never reaches the web server, so the exercise stays between the
// trainer and the trainee's browser.
#include <string>
#include <string_view>

inline constexpr std::string_view EXERCISE_LINK_KEY = "#exercise=";
inline constexpr std::string_view EXERCISE_LINK_VERSION = "1";

// The link to address (its own fragment, if any, dropped) that opens the
// exercise whose file is text.
std::string MakeExerciseLink(std::string_view address, std::string_view text);

// The exercise file's text of a link (a whole address or only its fragment)
// and 0, or TEXT_LINK_DAMAGED (not a link this program made, cut short,
// changed, or holding more than an exercise file may) or TEXT_LINK_FUTURE
// (a later version's), text left as it was.
int ReadExerciseLink(std::string_view link, std::string& text);

// An address a browser opens a page from: http:// or https://, a host, no
// blank or control character.
bool IsWebAddress(std::string_view address);
