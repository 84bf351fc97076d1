#include "shell/date_picker.h"

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

void DatePicker::setValue(QDate value)
{
    if (!value.isValid())
        return;
    const QSignalBlocker blocker(this);
    setDate(value);
}

bool DatePicker::setValueFromText(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return false;
    bool okDay = false;
    bool okMonth = false;
    bool okYear = false;
    const QDate value(parts[2].toInt(&okYear), parts[1].toInt(&okMonth), parts[0].toInt(&okDay));
    if (!okDay || !okMonth || !okYear || !value.isValid())
        return false;
    setValue(value);
    return true;
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
