// Bringing a calendar or contacts file into a data folder, through the stores, for the command
// tallowby-import and the program's File > Import. Nothing is half-written: each entry goes in
// whole or not at all, and where an import stops the summary says so.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace Import {

enum class Kind { Calendar, Contacts };

struct Options {
    QDate from;  // recurring events give appointments from this day
    QDate to;    // up to this day
    QDate today; // the stored birthday date of a contact without one
    bool dryRun = false;

    // From one year before `today` to two years after it.
    static Options around(QDate today);
};

struct Summary {
    Kind kind = Kind::Calendar;
    bool dryRun = false;
    bool refused = false; // nothing was imported: unreadable or malformed file, folder in use
    bool stopped = false; // stopped partway: the store is full or a write failed
    int imported = 0;
    int skipped = 0;
    int shortened = 0;
    QString error;       // why it refused or where it stopped
    QStringList details; // what was skipped, cut or left out, one line each
    QStringList planned; // with dryRun: the entries that would be imported

    // The whole outcome as one message: counts, the error, the details.
    QString text() const;
};

// Imports `file` into the data folder `folder`. When the program has this folder's files open
// in this process (record files 1 and 3), they are used as they are; otherwise the folder's
// Appoint.dat and AddBook.dat are opened and Appoint.dat locked as the program locks it, and a
// folder that a running program holds is refused. With dryRun nothing is written and the
// files are only read.
Summary ImportFile(Kind kind, const QString &file, const QString &folder, const Options &options);

// The text of tallowby-import --help.
QString ImportHelpText();

// tallowby-import's command line (without the program name). Exit status: 0 done, 1 stopped
// partway, 2 refused or a bad command line.
int RunImportCommand(const QStringList &arguments, QTextStream &out, QTextStream &err, QDate today);

} // namespace Import
