#include "app/DialogSeam.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
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

    void OpenUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }
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
