#pragma once
// The instrument as the web page shows it: the device and its worker, the
// language choice, and the saved state kept as the desktop's ini text (the
// page stores the text in the browser). Everything here runs on the page's
// main thread, which is the GUI thread of the device.
#include "platform/LanguageList.h"
#include "web/WebHost.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TWebInstrument {
  public:
    // stateText: the stored ini text (empty when there is none; damaged
    // values read as their defaults). systemLanguage: the browser's language,
    // used when the state names none. onRefresh runs after every repaint of
    // the LCD picture and after a language change while the device is off.
    TWebInstrument(const std::string& stateText, LANGID systemLanguage, std::function<void()> onRefresh);
    // Stops the device as at power-off, so that the firmware keeps its state.
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

    // Switches the device off (the firmware keeps its state, as when the
    // desktop window closes) and returns the state's ini text. The device is
    // ready for the next power-on afterwards.
    std::string SwitchOffAndSave();
    // Replaces the whole state with text, as the desktop reads its ini file:
    // the device is switched off first, so nothing of the old state is
    // written over the new one. Returns the new state's text, or none (and
    // nothing changed) for data that is no text file.
    std::optional<std::string> ImportState(const std::string& text);

    // The page's message box was closed: the waiting worker goes on.
    void MessageDismissed() { FHost.MessageDismissed(); }

  private:
    void CreateDevice();
    void DestroyDevice();
    void DeviceRefresh();
    std::string StateText();

    TWebHost FHost;
    THostInstall FInstall;
    std::function<void()> FOnRefresh;
    std::vector<TLanguageItem> FLanguages;
    int FLanguageIndex = -1;
    std::array<uint8_t, 254 * 68 * 4> FRgba{};
};

// The browser's language tag ("ru-RU", "en") as a LANGID; English for a
// language the program has no name for.
LANGID LanguageFromTag(const std::string& tag);
