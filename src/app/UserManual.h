#pragma once
// The user manual: which file to open for the current language, where a file
// the user found is remembered (SavedState.UserManuals, one "name=path" line
// per language, the name being the language's name without blanks), and the
// command that opens it, asking the user to locate it when it is missing.
#include <QDialog>

#include <filesystem>
#include <string>

class QLabel;
class QPushButton;

// The manuals' folder: the executable's own, or the installed documentation
// folder. The default manual lies there and remembered paths are relative to it.
std::filesystem::path ProgramFolder();

// The file to try: the remembered one of the current language when it exists,
// else the text TEXT_USER_MANUAL_FILE in programFolder. Always an absolute path.
std::string GetUserManualPath(const std::filesystem::path& programFolder = ProgramFolder());
// Remembers fileName for the current language: relative to programFolder,
// also when it lies outside it ("../moved/x.pdf"); as given only where no
// relative path leads to it.
void SetUserManualPath(const std::string& fileName,
                       const std::filesystem::path& programFolder = ProgramFolder());

// The user manual command: opens the manual with the system, after the
// search message and the open dialog when it is missing, and remembers it.
// Nothing is opened or remembered when the user cancels either of them.
// When no program opens it, a message names the file and offers its folder.
void RunUserManualCommand(QWidget* mainWindow, const std::filesystem::path& programFolder);

// Shows folder with the system's file manager; says so, naming the folder,
// when no program could show it. parent may be gone by the time it is said.
void ShowFolder(QWidget* parent, const QString& folder);

// A "description|patterns|..." filter of the string tables in the open
// dialog's form; "*.*" means every file, with or without an extension.
QString FileDialogFilter(const QString& filter);

// The message that the manual was not found: "Find" accepts, "Cancel" and Esc
// reject. It has no close box, so the answer is always one of the two.
class TFormUserManualSearchMsg : public QDialog {
  public:
    explicit TFormUserManualSearchMsg(QWidget* owner);

  private:
    QLabel* FImage;
    QLabel* FLabelMessage;
    QPushButton* FButtonSearch;
    QPushButton* FButtonCancel;
};
