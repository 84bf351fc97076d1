// Long random series of store operations, run on the four stores over their real files and on a
// small model of the files made from their record layouts alone. After every step the step's
// result must be the model's, and the file it worked on must hold the model's bytes: every value,
// every count, every record never written, and the file's length. Only what follows a value
// inside its record is not compared: no reader looks at it, and the layout leaves it to the
// writer whether it is zero or what was there before.
//
//   TALLOWBY_LONG=1     1,000,000 series instead of 2,000 (about half an hour), and the files at
//                       capacity filled by the store alone
//   TALLOWBY_SEED=<n>   only the series of seed n, as a failure names it
#include "robustness.h"
#include "store_steps.h"

#include <QFile>
#include <QTest>

#include <optional>
#include <random>

namespace {

// The four files as their layouts give them: entries of `fields` String records in blocks of
// `block` records, the count in record `block`, and as many entries as fit in record 32767.
struct Layout {
    const char *name;
    int length, block, fields, capacity;
};
constexpr Layout kLayouts[] = {{"Appoint.dat", 128, 8, 7, 4096},
                               {"Notes.dat", 500, 3, 2, 10922},
                               {"AddBook.dat", 128, 16, 15, 2048},
                               {"MyDesk.dat", 128, 4, 3, 8192}};

// The Windows-1252 bytes of a text, or nothing when a character has none.
std::optional<QByteArray> codePage(const QString &text)
{
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        const auto high = std::find(std::begin(kCp1252High), std::end(kCp1252High), u);
        if (high != std::end(kCp1252High))
            out += char(0x80 + (high - std::begin(kCp1252High)));
        else if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            out += char(u);
        else
            return std::nullopt;
    }
    return out;
}

QByteArray le16(int value)
{
    const char bytes[] = {char(value & 0xFF), char((value >> 8) & 0xFF)};
    return QByteArray(bytes, 2);
}

QString text(const QByteArray &stored)
{
    QString out;
    for (char c : stored) {
        const uchar b = uchar(c);
        out += b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

// One file: its bytes and what its entries hold, changed as the layouts say each operation
// changes them. Each value is written from the first byte of its record, and a write past the
// end of the file makes it as long as the value.
struct ModelFile {
    Layout l;
    QByteArray image;
    QList<QByteArrayList> entries; // the text of each field as stored; a flag as "-1" or "0"

    void put(qint64 record, const QByteArray &value)
    {
        const qint64 at = (record - 1) * l.length;
        if (image.capacity() < at + value.size())
            image.reserve(2 * (at + value.size()));
        if (image.size() < at + value.size())
            image.resize(at + value.size(), '\0');
        std::copy(value.begin(), value.end(), image.begin() + at);
    }
    static QByteArray string(const QByteArray &text) { return le16(int(text.size())) + text; }
    void putCount() { put(l.block, QByteArray("\x02\x00", 2) + le16(int(entries.size()))); }
    // Fields first to the last of the entry at `position`.
    void putFields(qint64 position, int first, const QByteArrayList &fields)
    {
        for (int k = first; k <= int(fields.size()); ++k)
            put(position * l.block + k,
                l.fields == 7 && k == 5 ? le16(fields[4].toInt()) : string(fields[k - 1]));
    }
    void add(const QByteArrayList &fields)
    {
        putFields(entries.size(), 1, fields);
        entries.append(fields);
        putCount();
    }
    // The later entries move one block down, the old last block gets empty texts (the flag
    // too) and the count goes down.
    void remove(qsizetype p)
    {
        entries.removeAt(p);
        for (qsizetype j = p; j < entries.size(); ++j)
            putFields(j, 1, entries[j]);
        for (int k = 1; k <= l.fields; ++k)
            put(entries.size() * l.block + k, QByteArray(2, '\0'));
        putCount();
    }
    // The position of the last entry whose field 1 is `key`, or -1.
    qsizetype find(const QString &key) const
    {
        for (qsizetype i = entries.size() - 1; i >= 0; --i)
            if (text(entries[i][0]) == key)
                return i;
        return -1;
    }
};

// The bytes of a file that hold its values. What follows a value inside its record is left to
// the writer and read by no one, so it is made zero; the records K, 2K, ... after the count
// record are never written and stay whole.
QByteArray significant(const Layout &l, QByteArray bytes)
{
    const auto u16 = [&](qsizetype i) {
        return i + 1 < bytes.size() ? quint8(bytes[i]) | quint8(bytes[i + 1]) << 8 : 0;
    };
    for (qsizetype at = 0; at < bytes.size(); at += l.length) {
        const qsizetype r = at / l.length + 1, k = (r - 1) % l.block + 1;
        qsizetype keep = 2 + std::min(u16(at), l.length - 2);
        if (k == l.block)
            keep = r > l.block ? l.length : u16(at) == 3 ? 6 : 4;
        else if (l.fields == 7 && k == 5)
            keep = 2;
        const qsizetype end = std::min<qsizetype>(at + l.length, bytes.size());
        std::fill(bytes.begin() + std::min(at + keep, end), bytes.begin() + end, '\0');
    }
    return bytes;
}

// The long run takes longer than Qt Test lets a test function run by default.
const bool kLongRun = qEnvironmentVariableIntValue("TALLOWBY_LONG") == 1 &&
                      qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");

} // namespace

class TestStoreModel : public QObject, StoreFolder {
    Q_OBJECT

    std::mt19937_64 rng;
    QList<ModelFile> model;
    QString step; // what the step did, for the message of a mismatch
    int done = 0; // steps compared

    int pick(int n) { return int(rng() % unsigned(n)); }
    template <typename T> T pickOf(std::initializer_list<T> list)
    {
        return list.begin()[pick(int(list.size()))];
    }

    // A text of up to a few characters, now and then exactly at, one below or one over `limit`
    // bytes; its characters from Windows-1252 (the five undefined bytes too), once in a while
    // one that the code page lacks.
    QString randomText(int limit, const QString &more = {})
    {
        static const QString chars = QStringLiteral("aZ 9,\r\n\u00e9\u00ff\u20ac\u0152\u2122"
                                                    "\u0081\u009d\u00a0");
        const int n = pickOf({0, limit - 1, limit, limit + 1, 1, 2, 3, 5, 8, 12, 1, 4});
        QString t;
        for (int i = 0; i < n; ++i)
            t += pick(4) || more.isEmpty() ? chars[pick(int(chars.size()))]
                                           : more[pick(int(more.size()))];
        if (!pick(40))
            t.insert(pick(int(t.size()) + 1), pickOf({u'\u0151', u'\u0080', u'\u4e2d'}));
        return t;
    }

    // The result the model gives for new texts, before anything is written: the first that has a
    // character the code page lacks (Unstorable) or does not fit its record (TooLong) decides.
    // `stored` gets their bytes.
    StoreResult::Status check(int file, const QStringList &texts, QByteArrayList *stored)
    {
        for (const QString &t : texts) {
            const std::optional<QByteArray> bytes = codePage(t);
            if (!bytes)
                return StoreResult::Unstorable;
            if (t.size() > kLayouts[file].length - 2)
                return StoreResult::TooLong;
            stored->append(*bytes);
        }
        return StoreResult::Ok;
    }

    // An add: refused when the file is full, else as check() says, else made.
    StoreResult::Status adding(ModelFile &m, bool full, const QStringList &texts)
    {
        QByteArrayList f;
        const StoreResult::Status status =
            full ? StoreResult::CapacityFull : check(int(&m - model.data()), texts, &f);
        if (status == StoreResult::Ok)
            m.add(f);
        return status;
    }
    // Compares what the step gave and the file's bytes with the model's.
    bool same(int file, StoreResult::Status got, StoreResult::Status expected, quint64 seed)
    {
        ++done;
        const QByteArray bytes = significant(kLayouts[file], env->fileBytes(kLayouts[file].name));
        const QByteArray want = significant(kLayouts[file], model[file].image);
        if (got == expected && bytes == want)
            return true;
        qsizetype at = 0;
        while (at < bytes.size() && at < want.size() && bytes[at] == want[at])
            ++at;
        qWarning("seed %llu, step %d: %s gave %d (model %d); %s is %lld bytes (model %lld), first "
                 "difference at byte %lld",
                 seed, done, qPrintable(step), got, expected, kLayouts[file].name, bytes.size(),
                 want.size(), at);
        return false;
    }

    // A day of three, and an id of that day: mostly the next number, else a number in use, one
    // with a leading zero or no number at all.
    QString randomId()
    {
        const QString day = pickOf({"20240105", "20240106", "19991231"});
        int n = 1;
        for (const QByteArrayList &e : model[0].entries)
            n += e[0].startsWith(day.toLatin1());
        return day + pickOf<QString>({"-" + QString::number(n), "-" + QString::number(n),
                                      "-" + QString::number(pick(12) + 1),
                                      "-0" + QString::number(n), "-x", ""});
    }
    // Field 1 of an entry of the model, or now and then a key that no entry has.
    QString someKey(int file, const QString &missing)
    {
        const auto &entries = model[file].entries;
        return entries.isEmpty() || !pick(6) ? missing
                                             : text(entries[pick(int(entries.size()))][0]);
    }
    int somePosition(int file) { return pick(int(model[file].entries.size()) + 2) - 1; }

    // Runs one random operation on the stores and on the model. False on a mismatch.
    bool randomStep(quint64 seed, int only = -1)
    {
        const int file = only >= 0 ? only : pick(4);
        ModelFile &m = model[file];
        const qsizetype c = m.entries.size();
        const bool full = c == m.l.capacity;
        QByteArrayList f;
        StoreResult::Status want = StoreResult::Ok;
        StoreResult got;
        const int kind = pick(file == 0 || file == 2 ? 3 : 4);
        if (file == 0) {
            const Appointment a{randomId(),      randomText(126),  pickOf({"09:30", "24:00", ""}),
                                randomText(126), qint16(-pick(2)), randomText(126),
                                randomText(126)};
            const QStringList texts{a.AppointmentId,
                                    a.Subject,
                                    a.StartTime,
                                    a.EndTime,
                                    QString::number(a.ReminderOn),
                                    a.ReminderMinutes,
                                    a.Description};
            if (kind == 0) {
                step = "AddAppointment " + a.AppointmentId;
                got = AppointmentStore().AddAppointment(a);
                want = adding(m, full, texts);
            } else if (kind == 1) {
                const QString id = someKey(0, randomId());
                step = "UpdateAppointment " + id;
                got = AppointmentStore().UpdateAppointment(id, a);
                const qsizetype p = m.find(id);
                want = check(0, texts.mid(1), &f);
                if (want == StoreResult::Ok && p < 0)
                    want = StoreResult::NotFound;
                // The last appointment with the id gets the new fields 2 to 7; one that carries
                // the same id in a file whose numbering is broken keeps its own.
                if (want == StoreResult::Ok) {
                    f.prepend(m.entries[p][0]);
                    m.putFields(p, 2, m.entries[p] = f);
                }
            } else {
                const QString id = someKey(0, randomId());
                step = "DeleteAppointment " + id;
                got = AppointmentStore().DeleteAppointment(id);
                const qsizetype p = m.find(id);
                if (p < 0) {
                    want = StoreResult::NotFound;
                } else {
                    const QByteArray deleted = m.entries[p][0];
                    const int s = deleted.mid(9).toInt();
                    m.remove(p);
                    // The later appointments of the same day go one number down.
                    for (qsizetype i = 0; i < c - 1; ++i) {
                        QByteArray &later = m.entries[i][0];
                        const int n = later.mid(9).toInt();
                        if (later.left(8) == deleted.left(8) && n > s) {
                            later = later.left(9) + QByteArray::number(n - 1);
                            m.put(i * 8 + 1, ModelFile::string(later));
                        }
                    }
                }
            }
        } else if (file == 1) {
            const QString name = pickOf<QString>({"Note", "note", "Note ", "", "N\u20ac"}) +
                                 (pick(3) ? QString() : randomText(498));
            const QString body = randomText(498);
            const int n = somePosition(1) + 1;
            const qsizetype named = m.find(name);
            if (kind == 0 || (kind == 3 && named < 0)) {
                step = "AppendNote " + name;
                got = kind ? NoteStore().SaveNoteByName(name, body)
                           : NoteStore().AppendNote(name, body);
                want = adding(m, full, {name, body});
            } else if (kind == 1 || kind == 3) {
                const int target = kind == 3 ? int(named) + 1 : n;
                step = QStringLiteral("ReplaceNoteText %1").arg(target);
                got = kind == 3 ? NoteStore().SaveNoteByName(name, body)
                                : NoteStore().ReplaceNoteText(n, body);
                want = target < 1 || target > c ? StoreResult::NotFound : check(1, {body}, &f);
                if (want == StoreResult::Ok) {
                    m.entries[target - 1][1] = f[0];
                    m.put(3 * (target - 1) + 2, ModelFile::string(f[0]));
                }
            } else {
                step = QStringLiteral("RemoveNote %1").arg(n);
                got = NoteStore().RemoveNote(n);
                if (n < 1 || n > c)
                    want = StoreResult::NotFound;
                else
                    m.remove(n - 1);
            }
        } else if (file == 2) {
            const QString surname = pickOf<QString>({"Smith", "smith", "M\u00fcller", " "}) +
                                    (pick(3) ? QString() : randomText(20));
            const QString name =
                pickOf<QString>({"", "John", "John "}) + (pick(4) ? QString() : randomText(126));
            const QDate born(1900 + pick(200), 1 + pick(12), 1 + pick(28));
            const bool has = pick(2);
            QStringList phones;
            for (int k = 0; k < 6; ++k)
                phones << randomText(20);
            const AddressEntry e =
                AddressStore::BuildEntry(name, surname, randomText(126, "\r\n"), phones, born, has,
                                         randomText(30), randomText(30), randomText(126, "\r\n"));
            const QStringList texts = QStringList{surname + ", " + name, name, surname, e.Address} +
                                      phones +
                                      QStringList{QStringLiteral("%1/%2/%3")
                                                      .arg(born.day(), 2, 10, QChar('0'))
                                                      .arg(born.month(), 2, 10, QChar('0'))
                                                      .arg(born.year()),
                                                  has ? "1" : "0", e.EMail, e.HomePage, e.Notes};
            const QString old = someKey(2, "Nobody, ");
            const qsizetype p = m.find(old);
            if (kind == 0) {
                step = "AddAddressEntry " + texts[0];
                got = AddressStore().AddAddressEntry(e);
                want = m.find(texts[0]) >= 0 ? StoreResult::NameTaken : adding(m, full, texts);
            } else if (kind == 1) {
                step = "ReplaceAddressEntry " + old + " by " + texts[0];
                got = AddressStore().ReplaceAddressEntry(old, e);
                want = p < 0                                      ? StoreResult::NotFound
                       : texts[0] != old && m.find(texts[0]) >= 0 ? StoreResult::NameTaken
                                                                  : check(2, texts, &f);
                if (want == StoreResult::Ok) {
                    // The new entry goes to the block after the last, the later entries and it
                    // move down over the old one, and the block it stood in is blanked.
                    const qsizetype size = m.image.size();
                    m.putFields(c, 1, f);
                    m.entries.append(f);
                    m.remove(p);
                    // A full file has no room for that block: it is given back, and the file
                    // ends where it ended or where the value of the entry now last ends.
                    const qint64 end = (c * 16 - 2) * 128 + 2 + f[14].size();
                    if (c == m.l.capacity)
                        m.image.truncate(std::max(size, end));
                }
            } else {
                step = "DeleteAddressEntry " + old;
                got = AddressStore().DeleteAddressEntry(old);
                if (p < 0 || old.isEmpty())
                    want = StoreResult::NotFound;
                else
                    m.remove(p);
            }
        } else {
            const QString caption = randomText(126), path = "C:\\" + randomText(123);
            const int p = somePosition(3);
            if (kind < 2) {
                step = "AppendDesktopEntry " + caption;
                got = DesktopStore().AppendDesktopEntry(caption, path);
                want = adding(m, full, {caption, path, "none"});
            } else if (kind == 2) {
                step = QStringLiteral("SetDesktopIcon %1").arg(p);
                got = DesktopStore().SetDesktopIcon(p, path);
                want = p < 0 || p >= c ? StoreResult::NotFound : check(3, {path}, &f);
                if (want == StoreResult::Ok) {
                    m.entries[p][2] = f[0];
                    m.put(4 * p + 3, ModelFile::string(f[0]));
                }
            } else {
                step = QStringLiteral("RemoveDesktopEntry %1").arg(p);
                got = DesktopStore().RemoveDesktopEntry(p);
                if (p < 0 || p >= c)
                    want = StoreResult::NotFound;
                else
                    m.remove(p);
            }
        }
        return same(file, got.status, want, seed);
    }

    // What the stores read must be what the model holds.
    bool readsAgree(quint64 seed)
    {
        Stores expected;
        for (int file = 0; file < 4; ++file)
            for (const QByteArrayList &e : model[file].entries) {
                QStringList fields;
                for (const QByteArray &b : e)
                    fields << text(b);
                expected[file] << fields;
            }
        if (readStores() == expected)
            return true;
        qWarning() << "seed" << seed << ": the stores read other entries than the model holds";
        return false;
    }

    void writeFile(const ModelFile &m)
    {
        QFile f(env->path(m.l.name));
        QVERIFY(f.open(QIODevice::ReadWrite) && f.write(m.image) > 0 && f.resize(m.image.size()));
    }
    // The four files new as start-up makes them in the first series; in the others holding a
    // count of 0, with the tag of a 16-bit or of a 32-bit count, and opened again. The files are
    // overwritten and cut to length, never emptied: a file emptied and written again is flushed
    // to the disk when it is closed, which would take most of the time of a run.
    void startSeries()
    {
        const bool fresh = !env;
        if (fresh)
            QVERIFY(openFolder());
        model.clear();
        for (const Layout &l : kLayouts) {
            model.append({l, {}, {}});
            if (fresh || pick(4))
                model.last().putCount();
            else
                model.last().put(l.block, QByteArray("\x03\x00\x00\x00\x00\x00", 6));
            if (!fresh)
                writeFile(model.last());
        }
        QVERIFY(env->openDataFiles());
    }

private slots:
    void randomSeries()
    {
        bool one = false;
        const quint64 only = qEnvironmentVariable("TALLOWBY_SEED").toULongLong(&one);
        const quint64 first = one ? only : 1, last = one ? only : kLongRun ? 1000000 : 2000;
        for (quint64 seed = first; seed <= last; ++seed) {
            rng.seed(seed);
            startSeries();
            const int steps = 1 + pick(60);
            for (int s = 0; s < steps; ++s)
                QVERIFY(randomStep(seed));
            QVERIFY(readsAgree(seed));
        }
        qInfo("%d steps of %llu series agree with the model", done, last - first + 1);
    }

    // Each file filled to its capacity, then changed at the full mark. The store adds the last
    // 64 entries to a file that the model wrote with the others (in the long run it adds all).
    void seriesAtCapacity()
    {
        for (int file = 0; file < 4; ++file) {
            rng.seed(file);
            startSeries();
            ModelFile &m = model[file];
            const int capacity = m.l.capacity, prefilled = kLongRun ? 0 : capacity - 64;
            for (int i = 0; i < capacity; ++i) {
                const QString key = QStringLiteral("20240107-%1").arg(i + 1);
                const QByteArray k = key.toLatin1();
                const QByteArrayList fields = QList<QByteArrayList>{
                    {k, "S", "09:00", "10:00", "-1", "5", "D"},
                    {k, "T"},
                    {"S, " + k, k, "S", "A", "", "", "", "", "", "", "02/01/2000", "1", "", "", ""},
                    {k, "C:\\x.exe", "none"}}[file];
                m.add(fields);
                if (i + 1 == prefilled) {
                    writeFile(m);
                    QVERIFY(env->openDataFiles());
                }
                if (i < prefilled)
                    continue;
                const StoreResult r = file == 0 ? AppointmentStore().AddAppointment(
                                                      {key, "S", "09:00", "10:00", -1, "5", "D"})
                                      : file == 1 ? NoteStore().AppendNote(key, "T")
                                      : file == 2
                                          ? AddressStore().AddAddressEntry(AddressStore::BuildEntry(
                                                key, "S", "A", {}, {2000, 1, 2}, true, {}, {}, {}))
                                          : DesktopStore().AppendDesktopEntry(key, "C:\\x.exe");
                QVERIFY(r.ok());
            }
            step = "filling";
            QVERIFY(same(file, StoreResult::Ok, StoreResult::Ok, file));
            for (int s = 0; s < 40; ++s)
                QVERIFY(randomStep(file, file));
            QVERIFY(readsAgree(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreModel)
#include "tst_store_model.moc"
