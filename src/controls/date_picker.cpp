#include "controls/date_picker.h"

#include "controls/seams.h"

#include <QLocale>

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setMinimumDate(QDate(1601, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    useShortDateFormat();
    // Only the user's changes raise Change; the program refreshes by itself after setting it.
    connect(this, &QDateEdit::userDateChanged, this, [this](QDate) {
        if (!signalsBlocked())
            emit Change();
    });
}

bool DatePicker::canShow(QDate value) const
{
    return value.isValid() && value >= minimumDate() && value <= maximumDate();
}

void DatePicker::setValue(QDate value)
{
    // A date the picker cannot show gives today's date, never the date shown before.
    const QSignalBlocker blocker(this);
    setDate(canShow(value) ? value : Clock::Today());
}

bool DatePicker::setValueFromText(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    bool okDay = false;
    bool okMonth = false;
    bool okYear = false;
    QDate value;
    if (parts.size() == 3)
        value = QDate(parts[2].toInt(&okYear), parts[1].toInt(&okMonth), parts[0].toInt(&okDay));
    if (!okDay || !okMonth || !okYear)
        value = QDate();
    setValue(value);
    return canShow(value);
}

void DatePicker::useShortDateFormat()
{
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    // A two-digit year would hide the century of the diary's dates.
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    setDisplayFormat(format);
}

void DatePicker::useDayMonthYearFormat()
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
}
