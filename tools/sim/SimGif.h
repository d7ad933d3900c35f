#pragma once
// The runner's animated pictures: from "gif FILE [SCALE]" to "gif-end" (or
// the script's end) every repaint of the LCD is kept with its virtual time,
// and the stretch is written as an animated GIF with the true timing.
#include "recording/AnimationCapture.h"

#include <functional>
#include <string>

class TSimSession;

class TSimGif {
  public:
    // Hooks the device's repaints (the hook is undone on destruction).
    explicit TSimGif(TSimSession& session);
    ~TSimGif();
    TSimGif(const TSimGif&) = delete;
    TSimGif& operator=(const TSimGif&) = delete;

    // Starts capturing at the present moment with the LCD as it is. False
    // while a capture is under way.
    bool Start(const std::string& path, int scale, std::string& error);
    // Writes the capture up to the present moment; false with a message.
    bool End(std::string& error);
    bool Capturing() const { return FCapture.Capturing(); }

  private:
    TSimSession& FSession;
    std::function<void()> FBefore; // the device's repaint hook this one chains
    std::string FPath;
    int FScale = 2;
    TAnimationCapture FCapture;
};
