// A date picker with a drop-down calendar. Value is a date without time; setValueFromText reads
// dd/mm/yyyy as day, month and year. Change is raised when the user picks another date.
// Whatever the program sets, the picker shows a date of its own range, today's when in doubt.
#pragma once

#include <QDate>
#include <QDateEdit>

class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    QDate Value() const { return date(); }
    // Shows `value`; a date that is not valid or lies outside the picker's years (1601 to
    // 9999) shows today's date instead.
    void setValue(QDate value);
    // Reads "dd/mm/yyyy" (day, month, year); a text that is no date of that form, or of a year
    // outside the picker's, shows today's date and gives false.
    bool setValueFromText(const QString &text);
    // The system's short date (the default) or "dd/MM/yyyy".
    void useShortDateFormat();
    void useDayMonthYearFormat();

signals:
    void Change();

private:
    bool canShow(QDate value) const;
};
