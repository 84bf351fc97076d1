// The command line of tallowby-export: subcommands ical, vcard, notes and check.
#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QStringList>
#include <QTextStream>

namespace Export {

enum ExitCode {
    ExitOk = 0,
    ExitFindings = 1, // check found broken rules
    ExitFailure = 2,  // bad command line, unreadable folder, unwritable output
};

// The text of --help.
QString HelpText();

// Runs the command given by `arguments` (without the program name). Exports written to
// standard output go to `out`; messages, warnings and findings to `err` (check reports to
// `out`). `now` becomes the DTSTAMP of an iCalendar export.
int RunExportCommand(const QStringList &arguments, QIODevice &out, QTextStream &err,
                     const QDateTime &now);

} // namespace Export
