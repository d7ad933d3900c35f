#include "ManualPdf.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace {

// A picture alone on its line: ![caption](path)
const QRegularExpression kPictureLine(QStringLiteral(R"(^\s*!\[([^\]]*)\]\(([^)\s]+)\)\s*$)"));

// Pictures are shown this wide (in the document's 96-per-inch pixels): an
// LCD picture of 508 pixels comes out about 9 cm wide, large enough to read
// every LCD pixel and small enough to keep a page for several.
constexpr double kPictureWidth = 340.0;

// Serves the manual's pictures from memory, also to the copy of the document
// that printing lays out page by page (that copy asks its original).
class TManualDocument : public QTextDocument {
  public:
    QHash<QString, QImage> Pictures;

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::ImageResource) {
            const auto picture = Pictures.constFind(name.toString());
            if (picture != Pictures.constEnd()) return *picture;
        }
        return QTextDocument::loadResource(type, name);
    }
};

// Each picture line gets its caption as an italic paragraph of its own.
QString WithCaptions(const QString& markdown) {
    QStringList out;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        out << line;
        const QRegularExpressionMatch match = kPictureLine.match(line);
        if (match.hasMatch() && !match.captured(1).trimmed().isEmpty())
            out << QString() << QLatin1Char('*') + match.captured(1).trimmed() + QLatin1Char('*');
    }
    return out.join(QLatin1Char('\n'));
}

// Sizes the pictures and centres them and their captions.
void ArrangePictures(QTextDocument& document) {
    bool captionNext = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool hasPicture = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            hasPicture = true;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QImage image =
                document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
            if (!image.isNull()) {
                format.setWidth(kPictureWidth);
                format.setHeight(kPictureWidth * image.height() / image.width());
            }
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
        if (hasPicture || captionNext) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setAlignment(Qt::AlignHCenter);
            format.setPageBreakPolicy(hasPicture ? QTextFormat::PageBreak_Auto : format.pageBreakPolicy());
            cursor.setBlockFormat(format);
        }
        captionNext = hasPicture;
    }
}

// Tables with one thin rule between cells and room around the text.
void StyleTables(QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(0.5);
        format.setBorderBrush(QColor(0x80, 0x80, 0x80));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
        // The heading row in bold on a light ground.
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat cellFormat = cell.format();
            cellFormat.setBackground(QColor(0xEE, 0xEE, 0xEE));
            cell.setFormat(cellFormat);
        }
    }
}

// Headings keep some air above them, so that sections read apart.
void SpaceHeadings(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : (level == 2 ? 16 : 10));
        format.setBottomMargin(4);
        QTextCursor(block).setBlockFormat(format);
    }
}

} // namespace

QStringList ManualPictures(const QString& markdown) {
    QStringList pictures;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = kPictureLine.match(line);
        if (match.hasMatch()) pictures << match.captured(2);
    }
    return pictures;
}

bool WriteManualPdf(const TManualSource& source, const QString& outputPath, QString& error) {
    TManualDocument document;
    for (const QString& picture : ManualPictures(source.Markdown)) {
        const QString path = source.BaseFolder + QLatin1Char('/') + picture;
        const QImage image = QImageReader(path).read();
        if (image.isNull()) {
            error = QStringLiteral("picture %1 is missing or unreadable").arg(path);
            return false;
        }
        document.Pictures.insert(picture, image);
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setMarkdown(WithCaptions(source.Markdown));
    ArrangePictures(document);
    StyleTables(document);
    SpaceHeadings(document);

    // Drawn in memory, then written aside under a name of its own and renamed:
    // a failed build or a full disk leaves no half PDF that a later build
    // would take as up to date, and no link planted beside it is followed.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(source.Title);
        writer.setCreator(QStringLiteral("orx700-manual"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        document.print(&writer);
    }
    QSaveFile file(outputPath);
    if (pdf.data().isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(pdf.data()) != pdf.data().size() || !file.commit()) {
        error = QStringLiteral("cannot write %1").arg(outputPath);
        return false;
    }
    return true;
}
