#pragma once
// The program's auxiliary windows, opened from the main window's tool bar and
// at start. Each is modal: created by the call, shown, and freed before the
// call returns; each takes its texts in the GUI thread's language when it is
// created. mainWindow owns the window while it is shown and centres it.
class QWidget;

// The instrument's features and figures, with a link to the user manual.
void ShowOverview(QWidget* mainWindow);
// Program name, version, legal line with the licence, and the folder of the
// user manuals as a link.
void ShowAbout(QWidget* mainWindow);
// The short operating note shown once after start.
void ShowQuickStart(QWidget* mainWindow);
// Opens the current language's user manual with the system's viewer, asking
// the user to locate it when it is not found, and remembers where it was.
void OpenUserManual(QWidget* mainWindow);
