// The Measurements window's exports of the selection (a point or a machine,
// within two dates if asked) and its copies of the database file.
#include "app/FormMeasurements.h"

#include "app/DialogSeam.h"
#include "pcdata/DateRange.h"
#include "pcdata/DbPlace.h"
#include "pcdata/Exports.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QDate DateOf(double time) {
    const TDateTimeParts t = DecodeDateTime(time);
    return QDate(t.Year, t.Month, t.Day);
}

} // namespace

// Until the user sets dates of their own, they follow the selection: its
// first and last readings' days.
void TFormMeasurements::ShowDateRange() {
    if (CheckDates->isChecked()) return;
    double first = 0, last = 0;
    for (const TDbReading& r : FReadings) {
        if (r.Time <= 0) continue;
        if (first == 0) first = r.Time;
        last = r.Time;
    }
    const QDate today = QDate::currentDate();
    DateFrom->setDate(first > 0 ? DateOf(first) : today);
    DateTo->setDate(last > 0 ? DateOf(last) : today);
}

void TFormMeasurements::ButtonExportClick() {
    if (!FDb) return;
    const int format = ComboExportFormat->currentIndex();
    static constexpr int FILTERS[] = {TEXT_PC_FILTER_CSV, TEXT_PC_FILTER_UFF, TEXT_PC_FILTER_WAV};
    static constexpr const char* NAMES[] = {"readings.csv", "readings.uff", "readings-wav"};
    const QString out =
        DialogSeam().GetSaveFileName(this, QLatin1String(NAMES[format]), Text(FILTERS[format]));
    if (out.isEmpty()) return;
    TDbSelection selection = Selection();
    std::string error;
    if (CheckDates->isChecked()) {
        // The same bounds as the command line's --from and --to: both days whole.
        const QString from = DateFrom->date().toString(Qt::ISODate),
                      to = DateTo->date().toString(Qt::ISODate);
        if (!ParseFromBound(from.toStdString(), selection.From, error) ||
            !ParseToBound(to.toStdString(), selection.To, error)) {
            LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
            return;
        }
    }
    const auto readings = FDb->Readings(selection, format != 0);
    const auto kind = format == 0   ? TExportFormat::Csv
                      : format == 1 ? TExportFormat::Uff58
                                    : TExportFormat::Wav;
    if (ExportReadings(readings, kind, out.toStdString(), error))
        LabelStatus->setText(Text(TEXT_PC_EXPORTED).arg(readings.size()).arg(out));
    else
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
}

void TFormMeasurements::ButtonSaveDbClick() {
    if (!FDb) return;
    const QString out =
        DialogSeam().GetSaveFileName(this, QLatin1String(MEASUREMENT_DB_NAME), Text(TEXT_PC_FILTER_DB));
    if (out.isEmpty()) return;
    std::string error;
    if (FDb->SaveCopy(out.toStdString(), error))
        LabelStatus->setText(Text(TEXT_PC_SAVED_DB).arg(out));
    else
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
}

void TFormMeasurements::ButtonImportDbClick() {
    if (!FDb) return;
    const QString from = DialogSeam().GetOpenFileName(this, QString(), Text(TEXT_PC_FILTER_DB));
    if (from.isEmpty()) return;
    std::string error;
    const int added = FDb->ImportFrom(from.toStdString(), error);
    if (added < 0) {
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(Utf8(error)));
        return;
    }
    FillTree();
    LabelStatus->setText(Text(TEXT_PC_IMPORTED).arg(added).arg(from));
}
