#pragma once
// The saved state written when the program ends. A state that would grow the
// ini file past what a start reads is refused and the file kept as it was;
// the user is told why on standard error and, unless the session is ending
// (nobody may be there to close a box), in a message box. Other failures stay
// silent: a read-only ini is how a trainer keeps a class's starting state.
// GUI thread, after the window has deleted the device.
void SaveIniFileAtExit(bool showMessage);
