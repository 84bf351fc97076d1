// Tests of tallowby-export: escaping of text values, event times and titles, home pages, note
// file names, the findings of the folder check and the command line. What the readers make of
// every field (folding, reminders, birthdays, all the vCard fields, stable UIDs) is tested by
// the round trip through them, export_roundtrip.py.
#include "export/content_lines.h"
#include "export/data_folder.h"
#include "export/export_command.h"
#include "export/folder_check.h"
#include "export/ical_export.h"
#include "export/notes_export.h"
#include "export/vcard_export.h"
#include "store_images.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Export;

namespace {

StoreEntry appointment(const QByteArray &id, const QByteArray &subject = "Meet",
                       const QByteArray &start = "09:00", const QByteArray &end = "10:00")
{
    return {id, subject, start, end, StoreRecord::raw(Bytes::flag(false)), "15", ""};
}

StoreEntry address(const QByteArray &surname, const QByteArray &name,
                   const QByteArray &birthday = "05/03/1970", const QByteArray &has = "0")
{
    const QByteArray displayName = surname + ", " + name;
    return {displayName, name, surname, "", "", "", "", "", "", "", birthday, has, "", "", ""};
}

DataFolderContents contentsOf(const QByteArray &appointments, const QByteArray &addresses = {},
                              const QByteArray &notes = {})
{
    DataFolderContents c;
    c.appointmentsFile = {AppointmentsLayout, true, appointments, {}};
    c.addressesFile = {AddressesLayout, true, addresses, {}};
    c.notesFile = {NotesLayout, true, notes, {}};
    c.desktopFile = {DesktopLayout, true, {}, {}};
    DecodeDataFolder(c);
    return c;
}

QStringList messages(const QList<Finding> &findings)
{
    QStringList out;
    for (const Finding &f : findings)
        out << (f.severity == Finding::Error ? "error: " : "warning: ") + f.toString();
    return out;
}

} // namespace

Q_DECLARE_METATYPE(DataFolderContents)

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void escaping()
    {
        // Each name, then the file it gets.
        const QStringList cases{"a/b\\c:d*e?f\"g<h>i|j",
                                "a_b_c_d_e_f_g_h_i_j",
                                "",
                                "Unnamed note",
                                "  ",
                                "Unnamed note (2)",
                                "...",
                                "Unnamed note (3)",
                                "Note",
                                "Note",
                                "note",
                                "note (2)",
                                "NOTE",
                                "NOTE (3)",
                                "x (2)",
                                "x (2)",
                                "x",
                                "x",
                                "x",
                                "x (3)",
                                "con",
                                "con_",
                                "LPT1",
                                "LPT1_",
                                "nul.txt",
                                "nul_.txt",
                                "com1.log",
                                "com1_.log",
                                "CONIN$",
                                "CONIN$_",
                                "Lpt¹ .x",
                                "Lpt¹_ .x",
                                "console",
                                "console",
                                ".hidden",
                                "hidden",
                                "two\r\nlines",
                                "two lines",
                                "Café €",
                                "Café €"};
        QList<NoteRecord> notes;
        QStringList expected, planned;
        for (qsizetype i = 0; i < cases.size(); i += 2) {
            notes.append({{cases[i], "x\r\ny"}, int(notes.size()) + 1});
            expected << cases[i + 1] + ".txt";
        }
        for (const NoteFile &f : PlanNoteFiles(notes)) {
            planned << f.fileName;
            QCOMPARE(f.text, QStringLiteral("x\ny"));
        }
        QCOMPARE(planned, expected);
    }

    void checkFindings_data()
    {
        QTest::addColumn<DataFolderContents>("folder");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *tag, QStringList expected, QByteArray appointments,
                            QByteArray addresses = {}, QByteArray notes = {}) {
            QTest::newRow(tag) << contentsOf(appointments, addresses, notes) << expected;
        };
        const auto appointments = [](QList<StoreEntry> entries, QByteArray count = {}) {
            return storeImage(AppointmentsLayout, entries, count);
        };
        const QString day = "error: Appoint.dat, day 20240105: the appointments are numbered ";
        const QString count = "error: Appoint.dat, record 8 (count): the count ";
        const QString past9999 = EndsAfterYear9999Message();
        const QByteArray threeOnTwoDays = appointments(
            {appointment("20240105-1"), appointment("20240106-1"), appointment("20240105-2")});

        row("a sound folder has no findings", {}, threeOnTwoDays, storeImage(AddressesLayout, {}),
            storeImage(NotesLayout, {}));
        row("new empty files have no findings", {}, {});
        QByteArray beyond = threeOnTwoDays;
        beyond.replace(7 * 128, 4, Bytes::count16(5));
        row("count beyond the file",
            {count + "is 5, but the file holds only 3 appointments (it ends at byte 2944)"},
            beyond);
        row("negative count", {count + "is negative (-2)"}, appointments({}, Bytes::count16(-2)));
        QList<StoreEntry> full;
        for (int n = 1; n <= 4096; ++n)
            full << appointment("20240105-" + QByteArray::number(n));
        row("count over the capacity", {count + "5000 is over the capacity of 4096 appointments"},
            appointments(full, Bytes::count32(5000)));
        row("count record missing",
            {"error: Appoint.dat, record 8 (count): the count record is missing: the file ends at "
             "byte 384"},
            QByteArray(384, '\0'));
        row("count record cut off",
            {"error: Appoint.dat, record 8 (count): the count record is cut off by the end of the "
             "file"},
            QByteArray(7 * 128, '\0') + "\x02");
        row("unknown count tag",
            {"error: Appoint.dat, record 8 (count): the count record has the unknown type tag 5"},
            appointments({}, QByteArray("\x05\x00\x01\x00", 4)));
        row("gap in a day's numbers", {day + "1, 3 in file order, not 1 to 2; missing: 2"},
            appointments({appointment("20240105-1"), appointment("20240105-3")}));
        row("repeat in a day's numbers", {day + "1, 1 in file order, not 1 to 2; repeated: 1"},
            appointments({appointment("20240105-1"), appointment("20240105-1")}));
        row("day's numbers out of order", {day + "2, 1 in file order, not 1 to 2; out of order"},
            appointments({appointment("20240105-2"), appointment("20240105-1")}));
        // One broken rule in each row, so that no finding stands in for another.
        const auto in = [](const QString &where, const QString &finding) {
            const qsizetype colon = finding.indexOf(u':') + 2;
            return QStringList{finding.left(colon) + where + ": " + finding.mid(colon)};
        };
        const auto one = [&](const char *tag, const QString &finding, StoreEntry a) {
            const QString id = QString::fromLatin1(a[0].bytes.mid(2));
            row(tag, in("Appoint.dat, appointment 1 (" + id + ")", finding), appointments({a}));
        };
        const QString badId = "error: the id is not of the form YYYYMMDD-n with a valid date";
        one("id too short", badId, appointment("20240105-"));
        one("id without its dash", badId, appointment("20240105x1"));
        one("id of no date", badId, appointment("20240230-1"));
        one("id with a leading zero", badId, appointment("20240105-01"));
        one("id with a letter", badId, appointment("20240105-1a"));
        StoreEntry flag = appointment("20240105-1");
        flag[4] = StoreRecord::raw(QByteArray("\x01\x00", 2));
        one("reminder flag not -1 or 0", "error: the reminder flag holds 1 (-1 or 0 expected)",
            flag);
        flag[4] = StoreRecord::raw(Bytes::flag(true));
        flag[5] = "x";
        one("reminder minutes no number", "warning: the reminder minutes \"x\" are not a number",
            flag);
        one("start time not hh:mm", "warning: the start time \"9:00\" is not hh:mm",
            appointment("20240105-1", "x", "9:00", "10:00"));
        one("end time not hh:mm", "warning: the end time \"10:60\" is not hh:mm",
            appointment("20240105-1", "x", "10:00", "10:60"));
        one("end not after start", "warning: the end time 10:00 is not after the start time 10:00",
            appointment("20240105-1", "x", "10:00", "10:00"));
        QByteArray overrun = appointments({appointment("20240105-1")});
        overrun.replace(128, 2, QByteArray("\x7f\x00", 2)); // subject: 127 bytes in a 128 record
        row("text length overruns its record",
            {"error: Appoint.dat, appointment 1, record 2: the text length 127 overruns its record "
             "(at most 126 bytes fit)"},
            overrun);
        QByteArray cut = appointments({appointment("20240105-1"), appointment("20240105-2")});
        cut.replace(14 * 128, 2, QByteArray("\x50\x00", 2)); // description: 80 bytes declared
        cut.truncate(14 * 128 + 12);
        row("text cut off by the end of the file",
            {"error: Appoint.dat, appointment 2, record 15: the text of 80 bytes is cut off by the "
             "end of the file after 10 bytes"},
            cut);
        row("events that end after 9999",
            {"warning: Appoint.dat, appointment 1 (99991231-1): " + past9999,
             "warning: AddBook.dat, entry 1 (Smith, John): " + past9999},
            appointments({appointment("99991231-1", "x", "23:30", "24:00")}),
            storeImage(AddressesLayout, {address("Smith", "John", "31/12/9999", "1")}));
        row("duplicate display names",
            {"error: AddBook.dat, entries 1, 3: the display name \"Smith, John\" is used 2 times"},
            {},
            storeImage(AddressesLayout, {address("Smith", "John"), address("Jones", "Ann"),
                                         address("Smith", "John")}));
        const auto card = [&](const char *tag, const QString &finding, StoreEntry e) {
            row(tag, in("AddBook.dat, entry 1 (Smith, John)", finding), {},
                storeImage(AddressesLayout, {e}));
        };
        StoreEntry named = address("Smith", "John");
        named[1] = "Jon";
        card("display name not surname and name",
             "warning: the display name is not the surname, a comma, a blank and the first name",
             named);
        card("birthday flag not 0 or 1",
             "error: the birthday flag is \"yes\" (\"0\" or \"1\" expected)",
             address("Smith", "John", "05/03/1970", "yes"));
        card("birthday no date, flag 1",
             "error: the birthday \"1/2/70\" is not a valid dd/mm/yyyy date",
             address("Smith", "John", "1/2/70", "1"));
        card("birthday no date, flag 0",
             "warning: the birthday \"31/02/1970\" is not a valid dd/mm/yyyy date",
             address("Smith", "John", "31/02/1970", "0"));
        row("duplicate note names",
            {"error: Notes.dat, notes 1, 2: the name \"Note\" is used 2 times"}, {}, {},
            storeImage(NotesLayout, {{"Note", "a"}, {"Note", "b"}}));
    }

    void checkFindings()
    {
        QFETCH(DataFolderContents, folder);
        QFETCH(QStringList, expected);
        QCOMPARE(messages(CheckDataFolder(folder)), expected);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
