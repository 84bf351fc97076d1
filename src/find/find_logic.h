// What a search over the diary finds, without a window: every stored text of the appointments,
// the address entries and the notes, matched without regard to letter case or accents, phone
// numbers also without their blanks and dashes.
#pragma once

#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/note_store.h"

#include <QDate>
#include <QList>
#include <QString>

namespace FindLogic {

// The text as the search compares it: each character in lower case without its accent ("É"
// becomes "e"), one character for one, so that a place in the folded text is the same place in
// the text.
QString Fold(QStringView text);

// What a result is.
enum class Kind { Appointment, Address, Note };

// One thing found: what it is, where it is, and the text it was found in.
struct Found {
    Kind kind = Kind::Appointment;
    // The appointment's id, the entry's display name, the note's number (1-based) as text.
    QString key;
    // The appointment's date and start time, the entry's display name, the note's name.
    QString where;
    // The text that matched, with some context around the match on one line.
    QString context;
};

// The texts of the diary, folded once, searched at every keystroke. Appointments come newest
// first, then the address entries by display name, then the notes in list order; the results
// of a search come in the same order, one per entry.
class FindIndex {
public:
    // The index of the texts given (the tests), or of the three files (Load).
    static FindIndex Build(QList<Appointment> appointments, QList<AddressEntry> entries,
                           QList<Note> notes);
    static FindIndex Load();

    // What `query` finds, the first `limit` results; an empty or blank query finds nothing.
    QList<Found> Find(const QString &query, int limit = 1000) const;
    // How many entries `query` finds in all.
    int Count(const QString &query) const;

private:
    struct Field {
        qsizetype start = 0; // in its buffer's bytes
        int entry = 0;       // index in m_entries
        int text = 0;        // index in m_texts (the field as stored)
    };
    // Folded fields as UTF-8, each ended by a zero byte that no query holds, searched with the
    // system's fast byte search.
    struct Buffer {
        QByteArray bytes;
        QList<Field> fields;
        // Where the fields of entry i begin (one more for the end).
        QList<qsizetype> entryStarts;
        // The field that holds byte `at`.
        int fieldAt(qsizetype at) const;
    };
    struct Entry {
        Kind kind;
        QString key;
        QString where;
    };
    // Calls `hit` with the first match of each entry, in order, until it returns false.
    template <typename Hit> void matches(const QString &query, Hit hit) const;
    void addEntry(Kind kind, const QString &key, const QString &where);
    void addField(const QString &text, bool phone);
    void finish();
    Found found(const Buffer &buffer, int field, qsizetype at, qsizetype length) const;

    QList<Entry> m_entries;
    QStringList m_texts;
    // Every field as it is stored; the phone numbers also without blanks and dashes.
    Buffer m_text;
    Buffer m_phones;
};

} // namespace FindLogic
