// The built user manuals open, have pages, carry every heading of their
// source and every picture; the maker refuses a manual with a missing picture.
#include "ManualPdf.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs a poppler tool; its standard output, or empty when it failed.
QString RunTool(const char* program, const QStringList& args) {
    QProcess process;
    process.start(QString::fromUtf8(program), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Blanks and line breaks as one blank; typographic ligatures (the PDF's
// "ff" as one glyph) as their letters.
QString Simplified(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC)
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

// The "#" and "##" headings of a Markdown text, outside code blocks.
QStringList Headings(const QString& markdown) {
    QStringList headings;
    bool inCode = false;
    const QRegularExpression heading(QStringLiteral("^#{1,2} +(.+?)\\s*$"));
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("```"))) inCode = !inCode;
        const QRegularExpressionMatch match = heading.match(line);
        if (!inCode && match.hasMatch()) headings << match.captured(1);
    }
    return headings;
}

struct BuiltManual {
    const char* folder;
    const char* pdf;
};

class BuiltManualTest : public ::testing::TestWithParam<BuiltManual> {};

TEST_P(BuiltManualTest, OpensAndCarriesEveryHeadingOfItsSource) {
    const QString pdf = QStringLiteral(ORX_MANUAL_OUTPUT "/") + QString::fromUtf8(GetParam().pdf);
    ASSERT_TRUE(QFileInfo(pdf).isFile()) << pdf.toStdString();

    const QString info = RunTool(ORX_PDFINFO, {pdf});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    ASSERT_TRUE(pages.hasMatch()) << "pdfinfo cannot read " << pdf.toStdString();
    EXPECT_GE(pages.captured(1).toInt(), 6) << "a complete manual runs to several pages";

    const QString text = Simplified(
        RunTool(ORX_PDFTOTEXT, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    const QString source = ReadText(QStringLiteral(ORX_MANUAL_SOURCES "/") +
                                    QString::fromUtf8(GetParam().folder) + QStringLiteral("/usermanual.md"));
    const QStringList headings = Headings(source);
    ASSERT_GE(headings.size(), 10);
    for (const QString& heading : headings)
        EXPECT_TRUE(text.contains(Simplified(heading)))
            << "heading missing from the PDF: " << heading.toStdString();
}

TEST_P(BuiltManualTest, EveryPictureIsAnLcdScreenOrAWindowShotOfItsLanguage) {
    const QString folder = QStringLiteral(ORX_MANUAL_SOURCES "/") + QString::fromUtf8(GetParam().folder);
    const QString source = ReadText(folder + QStringLiteral("/usermanual.md"));
    const QStringList pictures = ManualPictures(source);
    EXPECT_GE(pictures.size(), 10);
    for (const QString& picture : pictures) {
        // An LCD screen is rendered from a key script kept beside the
        // manuals; a shot of a window is kept beside the text of its own
        // language, since its words are in that language.
        const QString script = QStringLiteral(ORX_MANUAL_SOURCES "/screens/") +
                               QFileInfo(picture).completeBaseName() + QStringLiteral(".sim");
        const QString shot = folder + QLatin1Char('/') + QFileInfo(picture).fileName();
        EXPECT_TRUE(QFileInfo(script).isFile() || QFileInfo(shot).isFile())
            << picture.toStdString() << " has neither a key script nor a shot beside the text";
    }
}

// Markdown reads text between two tildes as struck through: a path such as
// ~/.config must be written \~/.config (or in backticks) to print as it is.
TEST_P(BuiltManualTest, NoTildeStrikesTextThrough) {
    const QString source = ReadText(QStringLiteral(ORX_MANUAL_SOURCES "/") +
                                    QString::fromUtf8(GetParam().folder) + QStringLiteral("/usermanual.md"));
    bool inCode = false;
    int lineNo = 0;
    for (const QString& line : source.split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.startsWith(QLatin1String("```"))) inCode = !inCode;
        if (inCode) continue;
        QString text = line;
        text.remove(QRegularExpression(QStringLiteral("`[^`]*`"))); // code spans print as they are
        text.remove(QStringLiteral("\\~"));
        EXPECT_FALSE(text.contains(QLatin1Char('~'))) << "line " << lineNo << ": " << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, BuiltManualTest,
                         ::testing::Values(BuiltManual{"en", "usermanual_orx700.pdf"},
                                           BuiltManual{"ru", "ORX-700_РЭ.pdf"}));

class ManualMakerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QImage picture(254, 68, QImage::Format_RGB32);
        picture.fill(Qt::green);
        ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("screen.png"))));
    }
    QTemporaryDir dir;
};

TEST_F(ManualMakerTest, WritesAPdfThatPopplerReads) {
    const TManualSource source{
        QStringLiteral("# Руководство\n\nText.\n\n![Экран](screen.png)\n\n## Section two\n"), dir.path(),
        QStringLiteral("Title")};
    QString error;
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_TRUE(WriteManualPdf(source, out, error)) << error.toStdString();
    const QString text = Simplified(
        RunTool(ORX_PDFTOTEXT, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), out, QStringLiteral("-")}));
    EXPECT_TRUE(text.contains(QStringLiteral("Руководство"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Экран"))) << "the caption under the picture";
    EXPECT_TRUE(text.contains(QStringLiteral("Section two")));
    EXPECT_TRUE(RunTool(ORX_PDFINFO, {out}).contains(QStringLiteral("Title")));
}

TEST_F(ManualMakerTest, AMissingPictureIsNamedAndNoPdfIsLeft) {
    const TManualSource source{QStringLiteral("# T\n\n![Gone](screens/gone.png)\n"), dir.path(),
                               QStringLiteral("T")};
    QString error;
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    EXPECT_FALSE(WriteManualPdf(source, out, error));
    EXPECT_TRUE(error.contains(QStringLiteral("screens/gone.png"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral(".part")));
}

TEST_F(ManualMakerTest, AFullDiskIsAFailureAndNoLinkIsFollowed) {
    const TManualSource source{QStringLiteral("# T\n\n![Screen](screen.png)\n"), dir.path(),
                               QStringLiteral("T")};
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QFile(victim).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(victim, out + QStringLiteral(".part")));
    QString error;
    // Writes beyond 4 KiB fail with EFBIG, as on a full disk.
    bool written = false;
    {
        const TFileSizeLimit limit(4096);
        written = WriteManualPdf(source, out, error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(QStringLiteral("cannot write"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(QFileInfo(victim).size(), 0) << "the planted link was followed";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 3)
        << "screen.png, victim, the link";

    ASSERT_TRUE(WriteManualPdf(source, out, error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(victim).size(), 0);
    EXPECT_GT(QFileInfo(out).size(), 0);
}

} // namespace
