// What a calendar or contacts file brings in, before it meets the data folder: one entry per
// appointment or address entry, with the line of the file it comes from and the notes made
// while reading it (a text cut at its field limit, an alarm left out).
#pragma once

#include "data/address_store.h"
#include "data/appointment_store.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace Import {

// The lengths the program's editors allow, as the files count them (a line break is CR LF).
inline constexpr int kSubjectLength = 100;
inline constexpr int kDescriptionLength = 100;
inline constexpr int kMinutesLength = 6;
inline constexpr int kNameLength = 20;       // name and surname
inline constexpr int kMultiLineLength = 100; // address and notes
inline constexpr int kPhoneLength = 20;
inline constexpr int kWebLength = 30; // e-mail and home page

struct NewAppointment {
    QDate day; // the id is given when it is added
    Appointment fields;
    int line = 0;      // the line of its BEGIN:VEVENT
    QStringList notes; // what was changed on the way in
    bool shortened = false;
};

struct NewAddress {
    AddressEntry entry;
    int line = 0;
    QStringList notes;
    bool shortened = false;
};

template <typename T> struct FileContents {
    QList<T> entries;
    int skipped = 0;   // left out while reading, each with a note
    QStringList notes; // "line 12 (Dentist): ..."
};

// Cuts a text to at most `limit` characters as the files count them, never inside a CR LF.
// True when it cut.
inline bool FitText(QString *text, int limit)
{
    int length = 0;
    for (qsizetype i = 0; i < text->size(); ++i) {
        const bool lineBreak =
            text->at(i) == u'\r' && i + 1 < text->size() && text->at(i + 1) == u'\n';
        if (length + (lineBreak ? 2 : 1) > limit) {
            text->truncate(i);
            return true;
        }
        length += lineBreak ? 2 : 1;
        i += lineBreak ? 1 : 0;
    }
    return false;
}

} // namespace Import
