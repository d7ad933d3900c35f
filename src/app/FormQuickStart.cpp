#include "app/FormQuickStart.h"

#include "app/AuxWindows.h"
#include "app/DialogSeam.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QLabel>
#include <QPushButton>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

int Bottom(const QWidget* widget) {
    return widget->y() + widget->height();
}

} // namespace

// A tool window: a note beside the main window rather than a dialog of its own.
TFormQuickStart::TFormQuickStart(QWidget* owner) : QDialog(owner, Qt::Tool) {
    setObjectName(QStringLiteral("FormQuickStart"));
    setModal(true);
    resize(577, 345);

    FLabelQuickStartText = new QLabel(this);
    FLabelQuickStartText->setObjectName(QStringLiteral("LabelQuickStartText"));
    FLabelQuickStartText->setGeometry(16, 16, 545, 265);
    FLabelQuickStartText->setTextFormat(Qt::PlainText);
    FLabelQuickStartText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FLabelQuickStartText->setWordWrap(true);

    FButton = new QPushButton(this);
    FButton->setObjectName(QStringLiteral("Button"));
    FButton->setGeometry(236, 304, 105, 25);
    connect(FButton, &QPushButton::clicked, this, &QDialog::reject);

    const int buttonTop = FButton->y();
    const int labelBottom = Bottom(FLabelQuickStartText);
    const int bottomMargin = height() - Bottom(FButton);

    setWindowTitle(Text(TEXT_QUICK_START_TITLE));
    FLabelQuickStartText->setText(Text(TEXT_QUICK_START));
    FButton->setText(Text(TEXT_CLOSE));
    FLabelQuickStartText->resize(FLabelQuickStartText->width(),
                                 FLabelQuickStartText->heightForWidth(FLabelQuickStartText->width()));

    FButton->move(FButton->x(), buttonTop + (Bottom(FLabelQuickStartText) - labelBottom));
    setFixedSize(width(), Bottom(FButton) + bottomMargin);
}

void ShowQuickStart(QWidget* mainWindow) {
    TFormQuickStart form(mainWindow);
    // Centre on centre, client areas both. Left to Qt, a note shown this
    // early is placed by a guess at window frames the window system may not
    // have drawn yet, and misses the centre by about a title bar.
    QRect area(QPoint(), form.size());
    area.moveCenter(mainWindow->window()->geometry().center());
    form.setGeometry(area);
    DialogSeam().Exec(form);
}
