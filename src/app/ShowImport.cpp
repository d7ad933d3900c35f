// Import state...: a link that opens a prepared instrument (the web
// edition's Copy link), pasted or in a file dragged into the field, opened
// through the core's reader. A link that cannot be opened gets one message
// and changes nothing; a sound one is loaded in place of the state after the
// user agrees, the instrument switched off, the user's own state set aside
// for Own state.
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "recording/StateLinkDeflate.h"
#include "resources/StringIds.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

int Refusal(TStateLinkVerdict verdict) {
    switch (verdict) {
    case TStateLinkVerdict::NotALink:
        return TEXT_SHOW_LINK_NONE;
    case TStateLinkVerdict::Future:
        return TEXT_SHOW_LINK_FUTURE;
    case TStateLinkVerdict::TooLong:
        return TEXT_SHOW_LINK_TOO_LONG;
    case TStateLinkVerdict::Damaged:
    case TStateLinkVerdict::Sound:
        break;
    }
    return TEXT_SHOW_LINK_DAMAGED;
}

// The link itself, or the text of the file the field names (a file dragged
// into a text field arrives as its file:// address).
std::string LinkText(const QString& given) {
    const QString field = given.trimmed();
    QString path = field;
    if (field.startsWith(QStringLiteral("file:"))) path = QUrl(field).toLocalFile();
    if (path.isEmpty() || path.contains(QLatin1Char('#')) || !QFileInfo(path).isFile())
        return field.toStdString();
    std::string text;
    // The longest link and some blanks around it.
    if (ReadRegularFile(path.toStdString(), STATE_LINK_MAX_CHARS + 1024, text) != TFileRead::Read) return {};
    return text;
}

} // namespace

void TShowControl::ImportState() {
    if (FRecorder.Recording()) return;
    // A link on the clipboard is offered.
    QString offered = QGuiApplication::clipboard()->text().trimmed();
    if (!offered.contains(QStringLiteral("state="))) offered.clear();
    const QString given = DialogSeam().GetText(FWindow.Widget, Text(TEXT_SHOW_IMPORT_PROMPT), offered);
    if (given.trimmed().isEmpty()) return;
    std::string stateText;
    const TStateLinkVerdict verdict = OpenStateLink(LinkText(given), stateText);
    if (verdict != TStateLinkVerdict::Sound) {
        DialogSeam().ShowMessage(FWindow.Widget, Text(Refusal(verdict)));
        return;
    }
    if (!DialogSeam().Ask(FWindow.Widget, Text(TEXT_SHOW_IMPORT_ASK), Text(TEXT_SHOW_IMPORT_LOAD),
                          Text(TEXT_CANCEL)))
        return;
    TakeOver();
    WhenParked([this, stateText = std::move(stateText)] {
        PutState(stateText, false);
        FWindow.SetStatus(Text(TEXT_SHOW_IMPORT_LOADED));
    });
}
