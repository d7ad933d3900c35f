#include "app/UserInputWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

TUserInputWatch::TUserInputWatch(std::function<void()> onInput, QObject* parent)
    : QObject(parent), FOnInput(std::move(onInput)) {
    QCoreApplication::instance()->installEventFilter(this);
}

TUserInputWatch::~TUserInputWatch() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool TUserInputWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        // A widget's event reaches the filter once per widget that sees it
        // (the window's own handling of a child's event): all the same input.
        FOnInput();
        break;
    case QEvent::MouseMove: {
        const QPointF at = static_cast<QMouseEvent*>(event)->globalPosition();
        if (at != FLastPointer) {
            FLastPointer = at;
            FOnInput();
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
