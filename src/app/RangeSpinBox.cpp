#include "app/RangeSpinBox.h"

#include <QLineEdit>
#include <QWheelEvent>

TRangeSpinBox::TRangeSpinBox(QWidget* parent, const char* name, double low, double high, int decimals)
    : QDoubleSpinBox(parent) {
    setObjectName(QLatin1String(name));
    setDecimals(decimals);
    setRange(low, high);
    setKeyboardTracking(false);
    // The last accepted value comes back after a refusal, never a clamped one.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    // Not focused by the wheel: a wheel passing over it is the form's scroll.
    setFocusPolicy(Qt::StrongFocus);
}

void TRangeSpinBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore(); // on to the scroll area that holds the field
        return;
    }
    QDoubleSpinBox::wheelEvent(event);
}

QString TRangeSpinBox::Figure(double value) {
    return QString::number(value, 'g', 12);
}

bool TRangeSpinBox::ParseNumber(const QString& text, double& value) const {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    bool ok = false;
    value = locale().toDouble(trimmed, &ok);
    if (!ok) value = trimmed.toDouble(&ok);
    return ok;
}

QValidator::State TRangeSpinBox::validate(QString& text, int& pos) const {
    const QValidator::State state = QDoubleSpinBox::validate(text, pos);
    if (state != QValidator::Invalid) return state;
    // A number past the range stays as typed, to be refused with its reason.
    double value = 0.0;
    if (ParseNumber(text, value) && (value < minimum() || value > maximum())) return QValidator::Intermediate;
    return state;
}

void TRangeSpinBox::fixup(QString& text) const {
    double value = 0.0;
    if (OnRefused && ParseNumber(text, value) && (value < minimum() || value > maximum()))
        OnRefused(text.trimmed());
    QDoubleSpinBox::fixup(text);
}
