// Export of the notes of a data folder as one UTF-8 text file each.
#pragma once

#include "export/data_folder.h"

#include <QList>
#include <QString>

namespace Export {

struct NoteFile {
    int number = 0;   // the note's number in the notes list (1-based)
    QString fileName; // file name in the output folder, "Shopping list.txt"
    QString text;     // the note's text with Unix line ends
};

// A file name that is safe on every common file system: no path separators, reserved or
// control characters, no leading or trailing blanks and dots, no device names, at most 200
// bytes of UTF-8. An empty result becomes "Unnamed note". Without the ".txt" extension.
QString SafeFileStem(const QString &name);

// The file for each note: the safe name, made unique (" (2)", " (3)" ... without regard to
// letter case) where two notes would get the same one.
QList<NoteFile> PlanNoteFiles(const QList<NoteRecord> &notes);

// Writes the files into `outputFolder` (created when missing). Existing files of the same
// names are replaced; nothing else in the folder is touched.
bool WriteNoteFiles(const QList<NoteFile> &files, const QString &outputFolder, QString *error);

} // namespace Export
