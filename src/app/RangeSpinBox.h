#pragma once
// TRangeSpinBox: a number field that refuses a value outside its range and
// says why, instead of changing what the user typed. A plain QDoubleSpinBox
// drops the key that would pass the maximum (100000 rpm becomes 10000, an
// angle of 95 becomes 9.0) and puts back its old value under the minimum
// without a word. Here the text stays as typed until the edit ends (Enter or
// leaving the field); a number outside the range then goes back to the last
// accepted value and OnRefused is told the refused text. The wheel changes
// the value only of a field the user has entered, so that scrolling a form
// past it changes nothing.
#include <QDoubleSpinBox>

#include <functional>

class TRangeSpinBox : public QDoubleSpinBox {
  public:
    TRangeSpinBox(QWidget* parent, const char* name, double low, double high, int decimals);

    // Runs in the GUI thread when an edit ends on a number outside the range.
    std::function<void(const QString& refused)> OnRefused;

    // The number as the field would show it, without trailing zeros.
    static QString Figure(double value);

  protected:
    QValidator::State validate(QString& text, int& pos) const override;
    // A wheel turned over a field the user is not in scrolls what holds it.
    void wheelEvent(QWheelEvent* event) override;
    void fixup(QString& text) const override;

  private:
    // The typed number, when the text is one (the locale's or C's form).
    bool ParseNumber(const QString& text, double& value) const;
};
