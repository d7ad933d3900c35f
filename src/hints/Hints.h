#pragma once
// The texts the firmware publishes for the window: what each key does on the
// current screen (the two balloons) and which LCD areas mean what (the
// tooltips). Written by the worker (and by the GUI thread while the device is
// off), read by the GUI thread; each store has its own lock.
#include "platform/CriticalSection.h"

#include <string>
#include <vector>

class TKeyHints {
  public:
    // Builds both balloon texts from a five-line hint specification (both
    // keys, K2 short, K2 long, K1 short, K1 long), with the headings and the
    // no-action text loaded in the calling thread's language.
    void SetKeyHintText(const std::string& spec);
    std::string GetKeyHintK1();
    std::string GetKeyHintK2();

  private:
    TCriticalSection FLock;
    std::string FK1Text;
    std::string FK2Text;
};

// A rectangle in LCD pixels, y counted from the top; right and bottom exclusive.
struct TScreenHintRegion {
    int Left;
    int Top;
    int Right;
    int Bottom;
    std::string Text;
};

class TScreenHints {
  public:
    void ClearScreenHints();
    void AddScreenHint(int left, int top, int right, int bottom, const std::string& text);
    // The text of the first region containing (x, y); empty if none does.
    std::string FindScreenHint(int x, int y);
    // A copy of every region, in list order.
    std::vector<TScreenHintRegion> Regions();

  private:
    TCriticalSection FLock;
    std::vector<TScreenHintRegion> FRegions;
};

extern TKeyHints g_KeyHints;
extern TScreenHints g_ScreenHints;
