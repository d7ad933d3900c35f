#pragma once
// The instrument's screen as reviewable text: the form of the golden screens
// the tests compare with and of the headless runner's `show --art`. One
// renderer, so that a golden written by one of them reads the same in all.
#include <string>

class TDevice;

// LcdBuffer as LCD_HEIGHT rows of LCD_WIDTH characters, '#' dark and '.'
// clear, top row first, each ending in '\n'.
std::string LcdArt();

// One screen as the goldens keep it: the LCD art, the power and backlight
// state, both key balloons, the explained screen regions and a blank line.
// Reads the LCD and the hint stores: call it while the worker waits.
std::string ScreenArt(TDevice& device);
