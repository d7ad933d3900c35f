#pragma once
// The main window's designed layout, in client pixels at the normal size.
// The presenter sizes enlarge everything below the tool bar (the instrument,
// its keys, balloons and captions) and widen the bars to match; the tool bar
// and the status bar keep their height.
#include "device/LcdPicture.h"

#include <QRect>
#include <QSize>

namespace MainWindowLayout {

inline constexpr QSize kClientSize(873, 384);
inline constexpr int kToolBarHeight = 56;
inline constexpr int kStatusBarHeight = 19;
inline constexpr QRect kImageDevice(24, 136, 824, 148);
inline constexpr QRect kImageDeviceScreen(220, 177, LCD_PICTURE_WIDTH, LCD_PICTURE_HEIGHT);
inline constexpr QRect kImageButton2(545, 190, 62, 42);
inline constexpr QRect kImageButton1(630, 190, 62, 42);
inline constexpr QRect kImageHintK2(416, 75, 433, 122);
inline constexpr QRect kImageHintK1(416, 224, 433, 122);
// Under the instrument, left of the K1 balloon.
inline constexpr QRect kCaptionStrip(24, 288, 388, 72);

// The presenter sizes, in halves of the designed size (see
// TDeviceState::PresenterSize).
inline constexpr int kSizeNormal = 2;
inline constexpr int kSizeLargest = 4;

// A length at size halves, rounded half up.
constexpr int Scaled(int length, int halves) {
    return (length * halves + 1) / 2;
}

// A part below the tool bar at size halves: the tool bar stays where it is.
constexpr QRect Scaled(QRect designed, int halves) {
    return {Scaled(designed.x(), halves), kToolBarHeight + Scaled(designed.y() - kToolBarHeight, halves),
            Scaled(designed.width(), halves), Scaled(designed.height(), halves)};
}

constexpr QSize ClientSize(int halves) {
    const int instrument = kClientSize.height() - kToolBarHeight - kStatusBarHeight;
    return {Scaled(kClientSize.width(), halves),
            kToolBarHeight + Scaled(instrument, halves) + kStatusBarHeight};
}

} // namespace MainWindowLayout
