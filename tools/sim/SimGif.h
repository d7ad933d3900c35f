#pragma once
// The runner's animated pictures: from "gif FILE [SCALE]" to "gif-end" (or
// the script's end) every repaint of the LCD is kept with its virtual time,
// and the stretch is written as an animated GIF with the true timing.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
    bool Capturing() const { return FCapturing; }

  private:
    // The picture the window shows, kept small: its background (lit or not)
    // and one bit per pixel for the dark ones.
    struct TFrame {
        uint64_t At;
        uint32_t Background;
        std::vector<uint8_t> Dark;
        bool operator==(const TFrame& other) const {
            return Background == other.Background && Dark == other.Dark;
        }
    };
    void Capture();

    TSimSession& FSession;
    std::function<void()> FBefore; // the device's repaint hook this one chains
    bool FCapturing = false;
    std::string FPath;
    int FScale = 2;
    std::vector<TFrame> FFrames;
};
