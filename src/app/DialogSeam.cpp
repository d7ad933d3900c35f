#include "app/DialogSeam.h"

#include "app/Languages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
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

    void ShowMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, ApplicationTitle(), text);
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
