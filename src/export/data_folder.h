// A read-only image of a Tallowby data folder, for the export tool.
//
// The four data files are opened read-only, read into memory in one go and closed again, so the
// tool can run beside the program. Everything is decoded from the raw records: no count is
// trusted beyond what the file really holds, and every broken rule met while reading is kept
// as a finding.
#pragma once

#include "data/address_store.h"
#include "data/appointment_store.h"
#include "data/desktop_store.h"
#include "data/note_store.h"
#include "records/data_layout.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace Export {

struct Finding {
    enum Severity { Error, Warning };
    Severity severity = Error;
    QString file;    // "Appoint.dat", ...
    QString where;   // "appointment 3", "record 16", ... or empty for the whole file
    QString message; // what is wrong

    // "Appoint.dat, appointment 3: message"
    QString toString() const;
};

// The layouts of the four files, from the program's own table.
using FileLayout = DataFileLayout;
inline constexpr const FileLayout &AppointmentsLayout = kAppointmentsFile;
inline constexpr const FileLayout &NotesLayout = kNotesFile;
inline constexpr const FileLayout &AddressesLayout = kAddressesFile;
inline constexpr const FileLayout &DesktopLayout = kDesktopFile;

// The bytes of one data file as they are on disk.
struct FileImage {
    FileLayout layout{};
    bool exists = false;
    QByteArray bytes;
    QDateTime modified; // the file's last change, when read from disk

    // The bytes of a record that the file really holds (shorter for a partial last record,
    // empty past the end).
    QByteArrayView record(qint64 number) const;
    bool recordStarts(qint64 number) const { return !record(number).isEmpty(); }
};

// The program's own record types, each with its place in the file.
struct AppointmentRecord : Appointment {
    int position = 0; // 0-based
};
struct AddressRecord : AddressEntry {
    int position = 0; // 0-based
};
struct NoteRecord : Note {
    int number = 0; // 1-based
};
struct DesktopRecord : DesktopEntry {
    int position = 0; // 0-based
};

struct DataFolderContents {
    QString folder;
    FileImage appointmentsFile;
    FileImage notesFile;
    FileImage addressesFile;
    FileImage desktopFile;

    QList<AppointmentRecord> appointments;
    QList<NoteRecord> notes;
    QList<AddressRecord> addresses;
    QList<DesktopRecord> buttons;

    // Broken rules of the file structure met while reading (counts, text lengths).
    QList<Finding> findings;
};

// Which of the four files a command reads.
enum DataFiles {
    AppointmentsFile = 1,
    NotesFile = 2,
    AddressesFile = 4,
    DesktopFile = 8,
    AllDataFiles = 15,
};

// Reads the data folder: the files in `which`; the others stay empty (as if absent) and are
// not read at all. The file images (FileImage::bytes) are kept only when all four are read. Fails
// (nullopt, with *error) when the folder does not exist, holds none of the four data files, or a
// file to read that exists cannot be opened for reading.
std::optional<DataFolderContents> ReadDataFolder(const QString &folder, QString *error,
                                                 int which = AllDataFiles);

// Decodes the entries of already loaded file images (used by ReadDataFolder and the tests).
void DecodeDataFolder(DataFolderContents &contents);

} // namespace Export
