#include "SimGif.h"

#include "SimSession.h"

#include <string>

TSimGif::TSimGif(TSimSession& session) : FSession(session), FBefore(session.Device().OnRefresh) {
    // Called in the GUI thread after each repaint: the picture the window
    // would show from this moment on.
    FSession.Device().OnRefresh = [this] {
        if (FBefore) FBefore();
        FCapture.Capture(FSession.VirtualHost().Elapsed(), FSession.Device().Picture());
    };
}

TSimGif::~TSimGif() {
    FSession.Device().OnRefresh = FBefore;
}

bool TSimGif::Start(const std::string& path, int scale, std::string& error) {
    if (FCapture.Capturing() || FCapture.Full()) {
        error = "an animation is being captured already (end it with gif-end)";
        return false;
    }
    FPath = path;
    FScale = scale;
    FCapture.Start(FSession.VirtualHost().Elapsed(), FSession.Device().Picture());
    return true;
}

bool TSimGif::End(std::string& error) {
    if (!FCapture.Capturing() && !FCapture.Full()) {
        error = "gif-end without a gif line before it";
        return false;
    }
    FCapture.Stop(FSession.VirtualHost().Elapsed());
    // A script can be run again over a shorter stretch: no cut animation.
    if (FCapture.Full()) {
        error = "the animation has more than " + std::to_string(FCapture.MaxFrames()) +
                " frames: capture a shorter stretch";
        FCapture.Clear();
        return false;
    }
    const bool ok = FCapture.Write(FPath, FScale, error);
    FCapture.Clear();
    return ok;
}
