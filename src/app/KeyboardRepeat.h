#pragma once
// A held key on X11 reaches a client as pairs of a release and a press, and
// Qt tells such a pair from a real release only when the press is already
// queued as it handles the release; on a busy machine it often is not, and a
// held arrow then clicks the instrument's key every 40 ms. The X keyboard
// extension can report a held key as further presses alone ("detectable
// auto-repeat"), as toolkits for games and browsers ask it to; the window
// takes a press of an arrow that is already down for the repeat.
//
// Asks for that on X11; does nothing on other platforms or where the server
// has no such mode. Call once, after the QApplication exists.
void UseDetectableKeyRepeat();
