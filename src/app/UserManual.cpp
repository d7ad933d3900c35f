#include "app/UserManual.h"

#include "app/AuxWindows.h"
#include "app/DialogSeam.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "state/ProgramPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

int Bottom(const QWidget* widget) {
    return widget->y() + widget->height();
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The current language's name in UserManuals: its name without blanks.
std::string ManualKey() {
    std::string key = SavedState.LanguageName;
    std::erase(key, ' ');
    return key;
}

// Names are compared as the language box compares them: letter case ignored.
bool SameName(const std::string& a, const std::string& b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The line of UserManuals whose name is key, or end.
std::vector<std::string>::iterator FindEntry(const std::string& key) {
    auto& lines = SavedState.UserManuals;
    return std::ranges::find_if(lines, [&key](const std::string& line) {
        const auto separator = line.find('=');
        return separator != std::string::npos && SameName(line.substr(0, separator), key);
    });
}

} // namespace

fs::path ProgramFolder() {
    return ProgramPlaces().ManualFolder;
}

std::string GetUserManualPath(const fs::path& programFolder) {
    const auto entry = FindEntry(ManualKey());
    const std::string value =
        entry == SavedState.UserManuals.end() ? std::string() : entry->substr(entry->find('=') + 1);
    // A relative value is relative to the program's folder; an absolute one stays.
    fs::path path = (programFolder / value).lexically_normal();
    if (value.empty() || !IsFile(path))
        path = (programFolder / LoadStr(TEXT_USER_MANUAL_FILE)).lexically_normal();
    return path.string();
}

void SetUserManualPath(const std::string& fileName, const fs::path& programFolder) {
    const fs::path file = fs::path(fileName).lexically_normal();
    const fs::path folder = programFolder.lexically_normal();
    // Relative to the program's folder, also outside it ("../moved/x.pdf"), so
    // that a folder moved or copied together with its manuals still finds
    // them; the full path only where no relative one leads back to the file.
    const fs::path relative = file.lexically_relative(folder);
    const bool reaches = !relative.empty() && (folder / relative).lexically_normal() == file;
    const std::string line = ManualKey() + "=" + (reaches ? relative.string() : fileName);
    const auto entry = FindEntry(ManualKey());
    if (entry == SavedState.UserManuals.end())
        SavedState.UserManuals.push_back(line);
    else
        *entry = line;
}

QString FileDialogFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The patterns are shown once, in the form the dialog reads them.
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            description = description.left(description.lastIndexOf(QLatin1Char('('))).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result.join(QStringLiteral(";;"));
}

void ShowFolder(QWidget* parent, const QString& folder) {
    const QPointer<QWidget> owner(parent);
    DialogSeam().OpenDocument(QUrl::fromLocalFile(folder), [owner, folder] {
        DialogSeam().ShowMessage(
            owner,
            Text(TEXT_NO_FOLDER_VIEWER).replace(QLatin1String("%s"), QDir::toNativeSeparators(folder)));
    });
}

void RunUserManualCommand(QWidget* mainWindow, const fs::path& programFolder) {
    QString fileName = QString::fromStdString(GetUserManualPath(programFolder));
    if (!IsFile(fileName.toStdString())) {
        int answer = QDialog::Rejected;
        {
            TFormUserManualSearchMsg message(mainWindow);
            answer = DialogSeam().Exec(message);
        }
        if (answer != QDialog::Accepted) return;
        fileName =
            DialogSeam().GetOpenFileName(mainWindow, fileName, FileDialogFilter(Text(TEXT_ALL_FILES_FILTER)));
        if (fileName.isEmpty()) return;
    }
    // The file is remembered even when no viewer took it: it was found.
    const QPointer<QWidget> owner(mainWindow);
    DialogSeam().OpenDocument(QUrl::fromLocalFile(fileName), [owner, fileName] {
        const QString text =
            Text(TEXT_NO_PDF_VIEWER).replace(QLatin1String("%s"), QDir::toNativeSeparators(fileName));
        if (DialogSeam().Ask(owner, text, Text(TEXT_SHOW_FOLDER), Text(TEXT_CLOSE)))
            ShowFolder(owner, QFileInfo(fileName).absolutePath());
    });
    SetUserManualPath(fileName.toStdString(), programFolder);
}

void OpenUserManual(QWidget* mainWindow) {
    RunUserManualCommand(mainWindow, ProgramFolder());
}

// Without a close box: the user answers with one of the two buttons (or Esc).
TFormUserManualSearchMsg::TFormUserManualSearchMsg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormUserManualSearchMsg"));
    setModal(true);
    resize(625, 137);

    FImage = new QLabel(this);
    FImage->setObjectName(QStringLiteral("Image"));
    FImage->setGeometry(16, 16, 32, 32);
    FImage->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    FLabelMessage = new QLabel(this);
    FLabelMessage->setObjectName(QStringLiteral("LabelMessage"));
    FLabelMessage->setGeometry(64, 24, 545, 49);
    FLabelMessage->setTextFormat(Qt::PlainText);
    FLabelMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FLabelMessage->setWordWrap(true);

    FButtonSearch = new QPushButton(this);
    FButtonSearch->setObjectName(QStringLiteral("ButtonSearch"));
    FButtonSearch->setGeometry(192, 98, 105, 25);
    FButtonSearch->setDefault(true);
    connect(FButtonSearch, &QPushButton::clicked, this, &QDialog::accept);

    FButtonCancel = new QPushButton(this);
    FButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    FButtonCancel->setGeometry(328, 98, 105, 25);
    connect(FButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    const int searchTop = FButtonSearch->y();
    const int labelBottom = Bottom(FLabelMessage);
    const int bottomMargin = height() - Bottom(FButtonSearch);
    const int rightMargin = width() - (FLabelMessage->x() + FLabelMessage->width());

    setWindowTitle(Text(TEXT_PROGRAM_NAME));
    FLabelMessage->setText(Text(TEXT_MANUAL_NOT_FOUND));
    FButtonSearch->setText(Text(TEXT_FIND));
    FButtonCancel->setText(Text(TEXT_CANCEL));
    FLabelMessage->resize(FLabelMessage->width(), FLabelMessage->heightForWidth(FLabelMessage->width()));

    const int buttonTop = searchTop + (Bottom(FLabelMessage) - labelBottom);
    const int clientWidth = FLabelMessage->x() + FLabelMessage->width() + rightMargin;
    // The pair of buttons, with its designed gap, centred in the window.
    const int pairWidth = FButtonCancel->x() + FButtonCancel->width() - FButtonSearch->x();
    const int shift = FButtonSearch->x() - (clientWidth - pairWidth) / 2;
    FButtonSearch->move(FButtonSearch->x() - shift, buttonTop);
    FButtonCancel->move(FButtonCancel->x() - shift, buttonTop);
    setFixedSize(clientWidth, Bottom(FButtonSearch) + bottomMargin);
    FButtonSearch->setFocus();
}
