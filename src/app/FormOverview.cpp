#include "app/FormOverview.h"

#include "app/AuxWindows.h"
#include "app/DialogSeam.h"
#include "app/UserManual.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QLabel* NewTextLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

int Bottom(const QWidget* widget) {
    return widget->y() + widget->height();
}

// Keeps the label's width and gives it the height its wrapped text needs.
void FitHeight(QLabel* label) {
    label->resize(label->width(), label->heightForWidth(label->width()));
}

} // namespace

TFormOverview::TFormOverview(QWidget* owner, std::filesystem::path manualsFolder)
    : QDialog(owner), FManualsFolder(std::move(manualsFolder)) {
    setObjectName(QStringLiteral("FormOverview"));
    setModal(true);
    resize(577, 665);

    QFont plain = font();
    plain.setBold(false);
    QFont bold = font();
    bold.setBold(true);

    FGroupBoxFeature = new QGroupBox(this);
    FGroupBoxFeature->setObjectName(QStringLiteral("GroupBoxFeature"));
    FGroupBoxFeature->setGeometry(16, 16, 545, 289);
    FGroupBoxFeature->setFont(bold);
    FLabelFeature = NewTextLabel(FGroupBoxFeature, "LabelFeature", QRect(16, 24, 513, 249));
    FLabelFeature->setFont(plain);
    FLabelFeature->setWordWrap(true);

    FGroupBoxSpecification = new QGroupBox(this);
    FGroupBoxSpecification->setObjectName(QStringLiteral("GroupBoxSpecification"));
    FGroupBoxSpecification->setGeometry(16, 320, 545, 249);
    FGroupBoxSpecification->setFont(bold);
    FLabelSpecification = NewTextLabel(FGroupBoxSpecification, "LabelSpecification", QRect(16, 24, 513, 209));
    FLabelSpecification->setFont(plain);
    FLabelSpecification->setWordWrap(true);

    FLabelMore = NewTextLabel(this, "LabelMore", QRect(16, 584, 545, 16));
    FLabelMore->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    FLabelMore->setFont(bold);
    QPalette link = FLabelMore->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    FLabelMore->setPalette(link);
    FLabelMore->setCursor(Qt::PointingHandCursor);
    FLabelMore->installEventFilter(this);

    FButton = new QPushButton(this);
    FButton->setObjectName(QStringLiteral("Button"));
    FButton->setGeometry(236, 624, 105, 25);
    connect(FButton, &QPushButton::clicked, this, &QDialog::reject);

    // The designed spacing, kept whatever the texts' heights.
    const int featureFrame = FGroupBoxFeature->height() - FLabelFeature->height();
    const int specificationFrame = FGroupBoxSpecification->height() - FLabelSpecification->height();
    const int gapBoxes = FGroupBoxSpecification->y() - Bottom(FGroupBoxFeature);
    const int gapMore = FLabelMore->y() - Bottom(FGroupBoxSpecification);
    const int moreBottom = Bottom(FLabelMore);
    const int buttonTop = FButton->y();
    const int bottomMargin = height() - Bottom(FButton);

    setWindowTitle(Text(TEXT_PRODUCT_NAME));
    FGroupBoxFeature->setTitle(Text(TEXT_FEATURE));
    FLabelFeature->setText(Text(TEXT_FEATURE_LIST));
    FGroupBoxSpecification->setTitle(Text(TEXT_SPECIFICATION));
    FLabelSpecification->setText(Text(TEXT_SPECIFICATION_LIST));
    FLabelMore->setText(Text(TEXT_MORE));
    FButton->setText(Text(TEXT_CLOSE));
    FitHeight(FLabelFeature);
    FitHeight(FLabelSpecification);

    FGroupBoxFeature->resize(FGroupBoxFeature->width(), FLabelFeature->height() + featureFrame);
    FGroupBoxSpecification->setGeometry(FGroupBoxSpecification->x(), Bottom(FGroupBoxFeature) + gapBoxes,
                                        FGroupBoxSpecification->width(),
                                        FLabelSpecification->height() + specificationFrame);
    FLabelMore->move(FLabelMore->x(), Bottom(FGroupBoxSpecification) + gapMore);
    FButton->move(FButton->x(), buttonTop + (Bottom(FLabelMore) - moreBottom));
    setFixedSize(width(), Bottom(FButton) + bottomMargin);
}

bool TFormOverview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FLabelMore && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && FLabelMore->rect().contains(mouse->position().toPoint())) {
            LabelMoreClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// More about the instrument is in its user manual, found and opened as the
// tool bar's command does, failures told the same way.
void TFormOverview::LabelMoreClick() {
    RunUserManualCommand(this, FManualsFolder);
}

void ShowOverview(QWidget* mainWindow) {
    TFormOverview form(mainWindow, ProgramFolder());
    DialogSeam().Exec(form);
}
