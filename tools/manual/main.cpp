// orx700-manual: builds a user manual PDF from its Markdown source.
#include "ManualPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "orx700-manual: %s\n", message.toLocal8Bit().constData());
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    // A build step: it draws text into a file and needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4 && args.size() != 5)
        return Fail(QStringLiteral("usage: orx700-manual MANUAL.md PICTURE_FOLDER OUTPUT.pdf [TITLE]"));

    QFile markdown(args[1]);
    if (!markdown.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read %1").arg(args[1]));
    TManualSource source;
    source.Markdown = QString::fromUtf8(markdown.readAll());
    source.BaseFolder = QFileInfo(args[2]).absoluteFilePath();
    source.Title = args.size() == 5 ? args[4] : QFileInfo(args[3]).completeBaseName();
    QString error;
    if (!WriteManualPdf(source, args[3], error)) return Fail(error);
    return 0;
}
