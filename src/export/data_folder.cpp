#include "export/data_folder.h"

#include "records/record_file.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace Export {

QString Finding::toString() const
{
    QString out = file;
    if (!where.isEmpty())
        out += QStringLiteral(", ") + where;
    if (!out.isEmpty())
        out += QStringLiteral(": ");
    return out + message;
}

QByteArrayView FileImage::record(qint64 number) const
{
    if (number < 1)
        return {};
    const qint64 start = (number - 1) * layout.recordLength;
    if (start >= bytes.size())
        return {};
    return QByteArrayView(bytes).sliced(
        start, std::min<qint64>(layout.recordLength, bytes.size() - start));
}

namespace {

// File numbers of the record-file layer that the program itself never uses.
constexpr int kFirstToolFileNumber = 241;

class Decoder {
public:
    Decoder(const FileImage &image, QList<Finding> &findings) : m_image(image), m_findings(findings)
    {}

    void error(const QString &where, const QString &message)
    {
        m_findings.append(
            {Finding::Error, QString::fromLatin1(m_image.layout.fileName), where, message});
    }

    // The number of entries that can be read: the count record, checked against the file.
    int usableCount()
    {
        const FileLayout &l = m_image.layout;
        if (m_image.bytes.isEmpty())
            return 0; // missing or empty file: no entries, as the program would create it
        const QString where = QStringLiteral("record %1 (count)").arg(l.blockSize);
        const QByteArrayView rec = m_image.record(l.blockSize);
        if (rec.isEmpty()) {
            error(where, QStringLiteral("the count record is missing: the file ends at byte %1")
                             .arg(m_image.bytes.size()));
            return 0;
        }
        const CountReading count = DecodeStoreCount(rec, l.capacity);
        switch (count.kind) {
        case CountReading::NeverWritten:
            return 0; // never written: empty, read as 0
        case CountReading::CutOff:
            error(where, QStringLiteral("the count record is cut off by the end of the file"));
            return 0;
        case CountReading::UnknownTag:
            error(where,
                  QStringLiteral("the count record has the unknown type tag %1").arg(count.tag));
            return 0;
        case CountReading::Negative:
            error(where, QStringLiteral("the count is negative (%1)").arg(count.value));
            return 0;
        case CountReading::OverCapacity:
            error(where, QStringLiteral("the count %1 is over the capacity of %2 %3s")
                             .arg(count.value)
                             .arg(l.capacity)
                             .arg(QString::fromLatin1(l.entryWord)));
            break;
        case CountReading::Sound:
            break;
        }
        const qint64 c = count.usable;
        // Entries are written in full before the count grows, so every counted entry must have
        // all its field records in the file.
        qint64 present = 0;
        while (present < c && m_image.recordStarts(present * l.blockSize + l.fieldCount))
            ++present;
        if (present < c) {
            error(where, QStringLiteral("the count is %1, but the file holds only %2 %3%4 (it "
                                        "ends at byte %5)")
                             .arg(count.value)
                             .arg(present)
                             .arg(QString::fromLatin1(l.entryWord))
                             .arg(present == 1 ? QString() : QStringLiteral("s"))
                             .arg(m_image.bytes.size()));
        }
        return static_cast<int>(present);
    }

    QString entryName(int position) const
    {
        // Entries are counted from 1 in file order, as the notes list numbers its notes.
        return QStringLiteral("%1 %2")
            .arg(QString::fromLatin1(m_image.layout.entryWord))
            .arg(position + 1);
    }

    QString text(int position, int field)
    {
        const FileLayout &l = m_image.layout;
        const qint64 number = qint64(position) * l.blockSize + field;
        const QByteArrayView rec = m_image.record(number);
        // Named only for a finding: most texts have none.
        const auto where = [&] {
            return entryName(position) + QStringLiteral(", record %1").arg(number);
        };
        if (rec.size() < 2) {
            error(where(), QStringLiteral("the text is cut off by the end of the file"));
            return {};
        }
        const int declared = qFromLittleEndian<quint16>(rec.data());
        if (declared > l.recordLength - 2) {
            error(where(), QStringLiteral("the text length %1 overruns its record (at most %2 "
                                          "bytes fit)")
                               .arg(declared)
                               .arg(l.recordLength - 2));
        } else if (declared > rec.size() - 2) {
            error(where(), QStringLiteral("the text of %1 bytes is cut off by the end of the file "
                                          "after %2 bytes")
                               .arg(declared)
                               .arg(rec.size() - 2));
        }
        return RecordCodec::decodeString(rec);
    }

    qint16 flag(int position, int field)
    {
        const qint64 number = qint64(position) * m_image.layout.blockSize + field;
        const QByteArrayView rec = m_image.record(number);
        if (rec.size() < 2) {
            error(entryName(position) + QStringLiteral(", record %1").arg(number),
                  QStringLiteral("the flag is cut off by the end of the file"));
            return 0;
        }
        return RecordCodec::decodeFlag(rec);
    }

private:
    const FileImage &m_image;
    QList<Finding> &m_findings;
};

bool loadImage(const QString &folder, const FileLayout &layout, int fileNumber, FileImage *image,
               QString *error)
{
    image->layout = layout;
    const QString path = QDir(folder).filePath(QString::fromLatin1(layout.fileName));
    const QFileInfo info(path);
    image->exists = info.exists();
    if (!image->exists)
        return true;
    image->modified = info.lastModified().toUTC();
    if (!OpenRecordFileReadOnly(fileNumber, path, layout.recordLength, error))
        return false;
    const qint64 records = RecordFileRecordCount(fileNumber);
    QByteArray bytes = ReadRecords(fileNumber, 1, records);
    CloseRecordFile(fileNumber);
    // ReadRecords pads a partial last record with zeros; keep only what the file holds.
    bytes.truncate(std::min<qint64>(bytes.size(), info.size()));
    image->bytes = bytes;
    return true;
}

} // namespace

void DecodeDataFolder(DataFolderContents &contents)
{
    contents.appointments.clear();
    contents.notes.clear();
    contents.addresses.clear();
    contents.buttons.clear();
    QList<Finding> &findings = contents.findings;

    {
        Decoder d(contents.appointmentsFile, findings);
        const int c = d.usableCount();
        for (int i = 0; i < c; ++i) {
            AppointmentRecord a;
            a.position = i;
            a.AppointmentId = d.text(i, 1);
            a.Subject = d.text(i, 2);
            a.StartTime = d.text(i, 3);
            a.EndTime = d.text(i, 4);
            a.ReminderOn = d.flag(i, 5);
            a.ReminderMinutes = d.text(i, 6);
            a.Description = d.text(i, 7);
            contents.appointments.append(a);
        }
    }
    {
        Decoder d(contents.notesFile, findings);
        const int c = d.usableCount();
        for (int i = 0; i < c; ++i) {
            NoteRecord n;
            n.number = i + 1;
            n.NoteName = d.text(i, 1);
            n.NoteText = d.text(i, 2);
            contents.notes.append(n);
        }
    }
    {
        Decoder d(contents.addressesFile, findings);
        const int c = d.usableCount();
        for (int i = 0; i < c; ++i) {
            AddressRecord a;
            a.position = i;
            QString *fields[] = {
                &a.DisplayName,    &a.Name,           &a.Surname,     &a.Address,  &a.PhoneHome,
                &a.PhoneBusiness1, &a.PhoneBusiness2, &a.PhoneMobile, &a.PhoneFax, &a.PhoneOther,
                &a.BirthdayDate,   &a.HasBirthday,    &a.EMail,       &a.HomePage, &a.Notes};
            int k = 1;
            for (QString *field : fields)
                *field = d.text(i, k++);
            contents.addresses.append(a);
        }
    }
    {
        Decoder d(contents.desktopFile, findings);
        const int c = d.usableCount();
        for (int i = 0; i < c; ++i) {
            DesktopRecord b;
            b.position = i;
            b.ButtonCaption = d.text(i, 1);
            b.ProgramPath = d.text(i, 2);
            b.IconPath = d.text(i, 3);
            contents.buttons.append(b);
        }
    }
}

std::optional<DataFolderContents> ReadDataFolder(const QString &folder, QString *error, int which)
{
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir()) {
        if (error)
            *error = QStringLiteral("%1: no such folder").arg(folder);
        return std::nullopt;
    }
    DataFolderContents contents;
    contents.folder = folder;
    struct Slot {
        const FileLayout &layout;
        FileImage DataFolderContents::*image;
        DataFiles file;
    };
    const Slot files[] = {
        {AppointmentsLayout, &DataFolderContents::appointmentsFile, AppointmentsFile},
        {NotesLayout, &DataFolderContents::notesFile, NotesFile},
        {AddressesLayout, &DataFolderContents::addressesFile, AddressesFile},
        {DesktopLayout, &DataFolderContents::desktopFile, DesktopFile}};
    int number = kFirstToolFileNumber;
    bool any = false;
    for (const Slot &slot : files) {
        FileImage &image = contents.*slot.image;
        if (!(which & slot.file)) {
            // Not read: only whether it is there counts, for a folder that holds none.
            image.layout = slot.layout;
            any = any || QFileInfo::exists(
                             QDir(folder).filePath(QString::fromLatin1(slot.layout.fileName)));
            ++number;
            continue;
        }
        if (!loadImage(folder, slot.layout, number++, &image, error))
            return std::nullopt;
        any = any || image.exists;
        if (which != AllDataFiles) {
            // A file read for an export is decoded at once and its bytes let go before the
            // next file is read, so that no two images are held together.
            DataFolderContents one;
            one.*slot.image = image; // the bytes shared, then let go here
            image.bytes = QByteArray();
            DecodeDataFolder(one);
            contents.appointments += std::move(one.appointments);
            contents.notes += std::move(one.notes);
            contents.addresses += std::move(one.addresses);
            contents.buttons += std::move(one.buttons);
            contents.findings += std::move(one.findings);
        }
    }
    if (!any) {
        if (error)
            *error = QStringLiteral("%1: holds none of the data files Appoint.dat, Notes.dat, "
                                    "AddBook.dat, MyDesk.dat")
                         .arg(folder);
        return std::nullopt;
    }
    if (which == AllDataFiles)
        DecodeDataFolder(contents);
    return contents;
}

} // namespace Export
