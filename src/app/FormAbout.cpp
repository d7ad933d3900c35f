#include "app/FormAbout.h"

#include "app/Artwork.h"
#include "app/AuxWindows.h"
#include "app/DialogSeam.h"
#include "app/UserManual.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

#ifndef ORX_PROGRAM_VERSION
#error "ORX_PROGRAM_VERSION comes from the build: the project's version"
#endif

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

int Bottom(const QWidget* widget) {
    return widget->y() + widget->height();
}

QLabel* NewTextLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font,
                     Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

QFrame* NewSeparator(QWidget* parent, const char* name, int top) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(16, top, 329, 2);
    return line;
}

// Keeps the label's width and gives it the height its wrapped text needs.
void FitHeight(QLabel* label) {
    label->resize(label->width(), label->heightForWidth(label->width()));
}

} // namespace

QString ProgramVersion() {
    return QStringLiteral(ORX_PROGRAM_VERSION);
}

TFormAbout::TFormAbout(QWidget* owner, const QString& version, const QString& manualsFolder)
    : QDialog(owner), FManualsFolder(manualsFolder) {
    setObjectName(QStringLiteral("FormAbout"));
    setModal(true);
    resize(361, 305);

    QFont bold = font();
    bold.setBold(true);
    // The smaller print of the version, legal and contact lines.
    QFont small = bold;
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 11 / 13);
    else
        small.setPixelSize(std::max(1, small.pixelSize() * 11 / 13));

    FImage1 = new QLabel(this);
    FImage1->setObjectName(QStringLiteral("Image1"));
    FImage1->setGeometry(16, 16, 86, 73);
    FImage1->setAlignment(Qt::AlignCenter);
    FImage1->setPixmap(QPixmap::fromImage(RenderArtwork(QStringLiteral("tool-about"), QSize(64, 64))));

    FLabelAppCaption = NewTextLabel(this, "LabelAppCaption", QRect(112, 32, 233, 16), bold, Qt::AlignHCenter);
    FLabelVersion = NewTextLabel(this, "LabelVersion", QRect(112, 56, 233, 13), small, Qt::AlignHCenter);
    FLabelCopyright = NewTextLabel(this, "LabelCopyright", QRect(112, 80, 233, 33), small, Qt::AlignHCenter);
    FLabelCopyright->setWordWrap(true);
    FPanelLine1 = NewSeparator(this, "PanelLine1", 120);
    FLabelContacts = NewTextLabel(this, "LabelContacts", QRect(16, 134, 329, 81), small, Qt::AlignLeft);
    FLabelContacts->setWordWrap(true);
    FLabelWebAddress = NewTextLabel(this, "LabelWebAddress", QRect(16, 216, 329, 13), small, Qt::AlignLeft);
    QPalette link = FLabelWebAddress->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    FLabelWebAddress->setPalette(link);
    FLabelWebAddress->setCursor(Qt::PointingHandCursor);
    FLabelWebAddress->installEventFilter(this);
    FPanelLine2 = NewSeparator(this, "PanelLine2", 242);

    FButton = new QPushButton(this);
    FButton->setObjectName(QStringLiteral("Button"));
    FButton->setGeometry(128, 264, 105, 25);
    connect(FButton, &QPushButton::clicked, this, &QDialog::reject);

    // The designed spacing, kept whatever the texts' heights.
    const int copyrightBottom = Bottom(FLabelCopyright);
    const int gapContacts = FLabelContacts->y() - Bottom(FPanelLine1);
    const int gapLine1 = FPanelLine1->y() - copyrightBottom;
    const int gapWeb = FLabelWebAddress->y() - Bottom(FLabelContacts);
    const int gapLine = FPanelLine2->y() - Bottom(FLabelWebAddress);
    const int gapButton = FButton->y() - Bottom(FPanelLine2);
    const int bottomMargin = height() - Bottom(FButton);

    setWindowTitle(Text(TEXT_ABOUT));
    FLabelAppCaption->setText(Text(TEXT_PROGRAM_NAME));
    FLabelVersion->setText(Text(TEXT_VERSION) + QLatin1Char(' ') + version);
    FLabelCopyright->setText(Text(TEXT_COPYRIGHT));
    FLabelContacts->setText(Text(TEXT_MANUALS_PLACE));
    // A long folder keeps both ends in sight; the tooltip holds all of it.
    const QString folder = QDir::toNativeSeparators(manualsFolder);
    FLabelWebAddress->setText(
        FLabelWebAddress->fontMetrics().elidedText(folder, Qt::ElideMiddle, FLabelWebAddress->width()));
    FLabelWebAddress->setToolTip(folder);
    FButton->setText(Text(TEXT_CLOSE));
    // The legal lines may grow, never shrink below their designed two lines.
    FLabelCopyright->resize(
        FLabelCopyright->width(),
        std::max(FLabelCopyright->height(), FLabelCopyright->heightForWidth(FLabelCopyright->width())));
    FitHeight(FLabelContacts);

    FPanelLine1->move(FPanelLine1->x(), Bottom(FLabelCopyright) + gapLine1);
    FLabelContacts->move(FLabelContacts->x(), Bottom(FPanelLine1) + gapContacts);
    FLabelWebAddress->move(FLabelWebAddress->x(), Bottom(FLabelContacts) + gapWeb);
    FPanelLine2->move(FPanelLine2->x(), Bottom(FLabelWebAddress) + gapLine);
    FButton->move(FButton->x(), Bottom(FPanelLine2) + gapButton);
    setFixedSize(width(), Bottom(FButton) + bottomMargin);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FLabelWebAddress && event->type() == QEvent::MouseButtonPress) {
        LabelWebAddressMouseDown();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAbout::LabelWebAddressMouseDown() {
    ShowFolder(this, FManualsFolder);
}

void ShowAbout(QWidget* mainWindow) {
    TFormAbout form(mainWindow, ProgramVersion(), QString::fromStdString(ProgramFolder().string()));
    DialogSeam().Exec(form);
}
