#pragma once
// Turns a user manual written in Markdown into a PDF document: A4 pages with
// page numbers, the instrument's screens as pictures, each picture followed
// by its caption (the Markdown image's text).
#include <QString>
#include <QStringList>

struct TManualSource {
    QString Markdown;   // the manual's text
    QString BaseFolder; // where the pictures' relative paths start
    QString Title;      // the document's title in the PDF's properties
};

// The relative picture paths the text refers to, in order.
QStringList ManualPictures(const QString& markdown);

// Writes the PDF to outputPath. False with a message when a picture is
// missing or unreadable or the file cannot be written; nothing is left at
// outputPath then.
bool WriteManualPdf(const TManualSource& source, const QString& outputPath, QString& error);
