#pragma once
// The instrument as the web page shows it: the device and its worker, the
// language choice, and the saved state kept as the desktop's ini text (the
// page stores the text in the browser). Everything here runs on the page's
// main thread, which is the GUI thread of the device.
#include "platform/LanguageList.h"
#include "state/IniDocument.h"
#include "web/WebHost.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The largest state text the page keeps. One limit for every way in and out
// (an import, a save, the text the page loads at start), so that a state
// the page has saved is always one it loads again.
inline constexpr std::size_t MAX_WEB_STATE_BYTES = 256 * 1024;

class TWebInstrument {
  public:
    // stateText: the stored ini text (empty when there is none; damaged
    // values read as their defaults, a text past MAX_WEB_STATE_BYTES as none). systemLanguage: the browser's
    // language, used when the state names none. onRefresh runs after every repaint of the LCD picture and
    // after a language change while the device is off.
    TWebInstrument(const std::string& stateText, LANGID systemLanguage, std::function<void()> onRefresh);
    // Stops the device and joins its worker (the page never ends it: a
    // closing page simply stops).
    ~TWebInstrument();
    TWebInstrument(const TWebInstrument&) = delete;
    TWebInstrument& operator=(const TWebInstrument&) = delete;

    const std::vector<TLanguageItem>& Languages() const { return FLanguages; }
    int LanguageIndex() const { return FLanguageIndex; }
    // Applies language index to the page's texts and the device, at once.
    void SelectLanguage(int index);

    void KeyDown(int16_t key);
    void KeyUp();
    void KeepAlive();
    bool IsOn() const;

    // The LCD picture as RGBA bytes, 254 x 68, rows from the top.
    const std::array<uint8_t, 254 * 68 * 4>& Rgba() const { return FRgba; }

    // The state's ini text as a power-off now would leave it, taken without
    // switching the device off or waiting for its worker. None (and nothing
    // changed) when the text would pass MAX_WEB_STATE_BYTES.
    std::optional<std::string> SaveState();
    // True while the firmware works rather than waits for a key (a
    // measurement, mostly): a save then takes the state from before it.
    bool IsBusy() const;
    // Posts the power-off without waiting; IsParked() once the firmware has
    // put its state back.
    void PowerOff();
    bool IsParked() const;
    // Replaces the whole state with text, as the desktop reads its file at
    // start; only while IsParked(), so that no power-off writes the old state
    // over it. Returns the new state's text; none (nothing changed) when
    // the device is not parked or the text passes MAX_WEB_STATE_BYTES.
    std::optional<std::string> ApplyState(const std::string& text);

    // The page's message box was closed: the waiting worker goes on.
    void MessageDismissed() { FHost.MessageDismissed(); }

  private:
    void CreateDevice();
    void DestroyDevice();
    void DeviceRefresh();
    void ReadState(const std::string& text);

    TWebHost FHost;
    THostInstall FInstall;
    // The state's text as last read or saved: a save keeps every line the
    // program does not write.
    TIniDocument FIni;
    std::function<void()> FOnRefresh;
    std::vector<TLanguageItem> FLanguages;
    int FLanguageIndex = -1;
    std::array<uint8_t, 254 * 68 * 4> FRgba{};
};

// The browser's language tag ("ru-RU", "en") as a LANGID; English for a
// language the program has no name for.
LANGID LanguageFromTag(const std::string& tag);
