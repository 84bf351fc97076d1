// A date picker with a drop-down calendar. Value is a date without time; setValueFromText reads
// dd/mm/yyyy as day, month and year. Change is raised when the user picks another date.
#pragma once

#include <QDate>
#include <QDateEdit>

class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    QDate Value() const { return date(); }
    void setValue(QDate value);
    // Reads "dd/mm/yyyy" (day, month, year); returns false and keeps the date when the text is
    // not a valid date of that form.
    bool setValueFromText(const QString &text);
    // The system's short date (the default) or "dd/MM/yyyy".
    void useShortDateFormat();
    void useDayMonthYearFormat();

signals:
    void Change();
};
