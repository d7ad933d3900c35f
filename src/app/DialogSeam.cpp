#include "app/DialogSeam.h"

#include "app/Languages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace {

class TQtDialogSeam : public TDialogSeam {
  public:
    int Exec(QDialog& dialog) override { return dialog.exec(); }

    QString GetOpenFileName(QWidget* parent, const QString& fileName, const QString& filter) override {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Only an existing file in an existing folder can be chosen.
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(filter);
        const QFileInfo start(fileName);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }

    QStringList GetOpenFileNames(QWidget* parent, const QString& fileName, const QString& filter) override {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilter(filter);
        dialog.setDirectory(QFileInfo(fileName).absolutePath());
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.selectedFiles();
    }

    QString GetSaveFileName(QWidget* parent, const QString& fileName, const QString& filter) override {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(QFileInfo(fileName).suffix());
        const QFileInfo start(fileName);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }

    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

    QString GetText(QWidget* parent, const QString& prompt, const QString& initial) override {
        QInputDialog dialog(parent);
        if (parent) dialog.setWindowTitle(parent->window()->windowTitle());
        dialog.setLabelText(prompt);
        dialog.setTextValue(initial);
        dialog.resize(560, dialog.sizeHint().height());
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.textValue();
    }

    // Qt hands a file to xdg-open and calls it opened once the opener has
    // started; whether a program took the file is only in xdg-open's exit
    // status ("no method available" ends it with 3), so it is run here and
    // waited for without blocking. Its messages still reach our log.
    void OpenDocument(const QUrl& url, std::function<void()> onFailure) override {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (url.isLocalFile() && !opener.isEmpty()) {
            // Owned by the application: a viewer that xdg-open runs in the
            // foreground keeps it running past the window that asked.
            auto* process = new QProcess(qApp);
            process->setProcessChannelMode(QProcess::ForwardedChannels);
            QObject::connect(process, &QProcess::finished, process,
                             [process, onFailure](int code, QProcess::ExitStatus status) {
                                 // A kill at our exit is no answer about the file.
                                 if (status == QProcess::NormalExit && code != 0) onFailure();
                                 process->deleteLater();
                             });
            QObject::connect(process, &QProcess::errorOccurred, process,
                             [process, onFailure](QProcess::ProcessError error) {
                                 if (error != QProcess::FailedToStart) return;
                                 onFailure();
                                 process->deleteLater();
                             });
            process->start(opener, {url.toLocalFile()});
            return;
        }
#endif
        if (!OpenUrl(url)) onFailure();
    }

    void ShowMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, ApplicationTitle(), text);
    }

    bool Ask(QWidget* parent, const QString& text, const QString& accept, const QString& reject) override {
        QMessageBox box(QMessageBox::Information, ApplicationTitle(), text, QMessageBox::NoButton, parent);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
        box.addButton(reject, QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    }
};

TDialogSeam* g_Installed = nullptr;

} // namespace

TDialogSeam& DialogSeam() {
    static TQtDialogSeam qtSeam;
    return g_Installed ? *g_Installed : qtSeam;
}

TDialogSeamInstall::TDialogSeamInstall(TDialogSeam& seam) : FPrevious(g_Installed) {
    g_Installed = &seam;
}

TDialogSeamInstall::~TDialogSeamInstall() {
    g_Installed = FPrevious;
}
