#pragma once
// Key captions for an audience: the last few key events as the firmware
// receives them ("K1 short", "K2 long", "both keys", "K1 held"), each
// fading out a few seconds after it came. A held key's repeats (twenty a
// second) are one caption that stays while the key is held, and the same
// click made again at once counts up ("K1 short x3") rather than pushing
// the other captions out. Times are the host's tick count (GUI thread).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The string id of the caption of a key event code; 0 for a code that is no
// key (KEY_NONE, the power-off).
int KeyCaptionId(int16_t code);

inline constexpr std::size_t KEY_CAPTIONS_SHOWN = 3;
inline constexpr uint32_t KEY_CAPTION_SHOW_MS = 4000; // fully visible
inline constexpr uint32_t KEY_CAPTION_FADE_MS = 1000; // then fading out
// The same event again within this time of the last counts up.
inline constexpr uint32_t KEY_CAPTION_AGAIN_MS = 1500;

struct TKeyCaption {
    int TextId;
    int Count;      // 1, or how often the same click came in a row
    double Opacity; // 1 while fully visible, down to 0
};

// The caption's text in the calling thread's language (UTF-8).
std::string KeyCaptionText(const TKeyCaption& caption);

class TKeyCaptions {
  public:
    void Add(int16_t code, uint32_t tick);
    void Clear() { FEntries.clear(); }
    // Oldest first, at most KEY_CAPTIONS_SHOWN.
    std::vector<TKeyCaption> Shown(uint32_t tick) const;
    // Milliseconds until the captions next look different by themselves (a
    // fade step of 50 ms, or one gone); 0 when none are shown.
    uint32_t NextChangeIn(uint32_t tick) const;

  private:
    struct TEntry {
        int16_t Code;
        int Count;
        uint32_t Tick; // the last event it stands for
    };
    std::deque<TEntry> FEntries;
};
