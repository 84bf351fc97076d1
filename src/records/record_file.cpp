#include "records/record_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// Unicode code points of the bytes 0x80 to 0x9F. The five bytes that Windows-1252 leaves
// undefined map to the C1 control of the same value, so they survive a read and a write.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

struct OpenFile {
    QFile file;
    int recordLength = 0;
    int number = 0;
};

constexpr int kMaxFileNumber = 255;
std::array<std::unique_ptr<OpenFile>, kMaxFileNumber + 1> g_files;

OpenFile *fileFor(int number)
{
    if (number < 1 || number > kMaxFileNumber)
        return nullptr;
    return g_files[static_cast<std::size_t>(number)].get();
}

RecordStatus notOpen(int number)
{
    return {RecordStatus::NotOpen, QStringLiteral("Record file %1 is not open.").arg(number)};
}

QString fileName(const OpenFile &f)
{
    return QFileInfo(f.file.fileName()).fileName();
}

// Reads `length` bytes at `offset`; bytes past the end of the file are zero bytes. `available`
// receives how many bytes really came from the file.
QByteArray readAt(OpenFile &f, qint64 offset, qint64 length, qint64 *available = nullptr)
{
    QByteArray out(length, Qt::Uninitialized);
    qint64 got = 0;
    if (offset >= 0 && f.file.seek(offset)) {
        got = f.file.read(out.data(), length);
        if (got < 0)
            got = 0;
    }
    // Only what the file did not give is zeroed: a large block is not written twice.
    if (got < length)
        std::memset(out.data() + got, 0, std::size_t(length - got));
    if (available)
        *available = got;
    return out;
}

RecordDisk::FlushHandler g_flush;
RecordDisk::WriteGate g_gate;

RecordStatus failedWrite(const OpenFile &f, const QString &reason)
{
    return {RecordStatus::IoError,
            QStringLiteral("Could not write to the file %1: %2").arg(f.file.fileName(), reason)};
}

// What the gate says of the next write to `f`: empty to let it through.
QString gateRefusal(const OpenFile &f)
{
    return g_gate ? g_gate(f.number) : QString();
}

RecordStatus writeAt(OpenFile &f, qint64 offset, QByteArrayView bytes)
{
    if (const QString refused = gateRefusal(f); !refused.isEmpty())
        return failedWrite(f, refused);
    // Records between the old end of the file and the new record are written as zero bytes
    // in the same write, so the gap never holds anything but zeros.
    const qint64 size = f.file.size();
    QByteArray padded;
    qint64 start = offset;
    if (offset > size) {
        padded = QByteArray(offset - size, '\0');
        padded.append(bytes);
        bytes = padded;
        start = size;
    }
    if (!f.file.seek(start) || f.file.write(bytes.data(), bytes.size()) != bytes.size() ||
        !f.file.flush()) {
        const QString reason = f.file.errorString();
        f.file.unsetError();
        return failedWrite(f, reason);
    }
    return RecordStatus::success();
}

qint64 recordOffset(const OpenFile &f, qint64 record)
{
    return (record - 1) * f.recordLength;
}

} // namespace

namespace Cp1252 {

QByteArray fromUnicode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append('?'); // one character outside the code page: one "?"
            ++i;
            continue;
        }
        out.append(encodeChar(c.unicode()));
    }
    return out;
}

QString unstorable(QStringView text)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype width = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            width = 2;
        else if (encodeChar(text[i].unicode()) != '?' || text[i] == u'?')
            continue;
        const QStringView c = text.sliced(i, width);
        if (!found.contains(c))
            found.append(c);
        i += width - 1;
    }
    return found;
}

QString toUnicode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighTable[b - 0x80]) : QChar(b);
    }
    return out;
}

} // namespace Cp1252

namespace RecordCodec {

QString decodeString(QByteArrayView record)
{
    if (record.size() < 2)
        return {};
    const qsizetype declared = qFromLittleEndian<quint16>(record.data());
    const qsizetype length = std::min(declared, record.size() - 2);
    return Cp1252::toUnicode(record.sliced(2, length));
}

// The first `size` bytes of a record; those cut off by the end of the file are zero bytes.
template <std::size_t size> std::array<char, size> leading(QByteArrayView record)
{
    std::array<char, size> bytes{};
    std::copy_n(record.data(), std::min<qsizetype>(record.size(), size), bytes.data());
    return bytes;
}

qint16 decodeFlag(QByteArrayView record)
{
    return qFromLittleEndian<qint16>(leading<2>(record).data());
}

CountValue decodeCount(QByteArrayView record)
{
    const std::array<char, 6> bytes = leading<6>(record);
    CountValue c;
    c.tag = qFromLittleEndian<quint16>(bytes.data());
    if (c.tag == 2)
        c.value = qFromLittleEndian<qint16>(bytes.data() + 2);
    else if (c.tag == 3)
        c.value = qFromLittleEndian<qint32>(bytes.data() + 2);
    else
        c = CountValue{};
    return c;
}

QByteArray encodeString(QStringView text)
{
    const QByteArray bytes = Cp1252::fromUnicode(text);
    QByteArray out(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(std::min<qsizetype>(bytes.size(), 0xFFFF)),
                             out.data());
    out.append(bytes);
    return out;
}

} // namespace RecordCodec

namespace {

// Puts a folder's list of files on the disk, so that a file just made in it is found there
// after a power loss. Where the system cannot (a file system that has no such flush), the file
// is as durable as the system makes it.
void flushFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

bool openWithMode(int number, const QString &path, int recordLength, QIODevice::OpenMode mode,
                  QString *error)
{
    if (number < 1 || number > kMaxFileNumber || recordLength < 8) {
        if (error)
            *error = QStringLiteral("Bad record file number %1.").arg(number);
        return false;
    }
    CloseRecordFile(number);
    auto f = std::make_unique<OpenFile>();
    f->file.setFileName(path);
    f->recordLength = recordLength;
    f->number = number;
    const bool made = mode != QIODevice::ReadOnly && !QFileInfo::exists(path);
    // Unbuffered: every write reaches the operating system before the call returns.
    if (!f->file.open(mode | QIODevice::Unbuffered)) {
        if (error)
            *error =
                QStringLiteral("Could not open the file %1: %2").arg(path, f->file.errorString());
        return false;
    }
    if (made)
        flushFolder(QFileInfo(path).absolutePath());
    g_files[static_cast<std::size_t>(number)] = std::move(f);
    return true;
}

} // namespace

bool OpenRecordFile(int number, const QString &path, int recordLength, QString *error)
{
    return openWithMode(number, path, recordLength, QIODevice::ReadWrite, error);
}

bool OpenRecordFileReadOnly(int number, const QString &path, int recordLength, QString *error)
{
    return openWithMode(number, path, recordLength, QIODevice::ReadOnly, error);
}

bool LockRecordFile(int number)
{
    OpenFile *f = fileFor(number);
    if (!f)
        return false;
#ifdef Q_OS_UNIX
    return ::flock(f->file.handle(), LOCK_EX | LOCK_NB) == 0;
#else
    return true;
#endif
}

void CloseRecordFile(int number)
{
    if (number < 1 || number > kMaxFileNumber)
        return;
    g_files[static_cast<std::size_t>(number)].reset();
}

bool IsRecordFileOpen(int number)
{
    return fileFor(number) != nullptr;
}

QString RecordFilePath(int number)
{
    const OpenFile *f = fileFor(number);
    return f ? f->file.fileName() : QString();
}

int RecordFileLength(int number)
{
    const OpenFile *f = fileFor(number);
    return f ? f->recordLength : 0;
}

qint64 RecordFileRecordCount(int number)
{
    const OpenFile *f = fileFor(number);
    if (!f)
        return 0;
    return (f->file.size() + f->recordLength - 1) / f->recordLength;
}

qint64 RecordFileSize(int number)
{
    const OpenFile *f = fileFor(number);
    return f ? f->file.size() : 0;
}

namespace RecordDisk {

void setFlushHandler(FlushHandler handler)
{
    g_flush = std::move(handler);
}

QString systemFlush(int number)
{
    OpenFile *f = fileFor(number);
    if (!f)
        return QStringLiteral("the file is not open");
#if defined(Q_OS_LINUX)
    // The data and the file's length, without the times the file was last used.
    if (::fdatasync(f->file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
#elif defined(Q_OS_UNIX)
    if (::fsync(f->file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return {};
}

void setWriteGate(WriteGate gate)
{
    g_gate = std::move(gate);
}

} // namespace RecordDisk

namespace {
int g_batchDepth = 0;
QList<int> g_batchFiles; // written while a batch lives, each once
} // namespace

RecordDisk::FlushBatch::FlushBatch()
{
    ++g_batchDepth;
}

RecordDisk::FlushBatch::~FlushBatch()
{
    finish();
}

RecordStatus RecordDisk::FlushBatch::finish()
{
    if (m_finished)
        return RecordStatus::success();
    m_finished = true;
    if (--g_batchDepth > 0)
        return RecordStatus::success();
    RecordStatus first = RecordStatus::success();
    for (const int number : std::exchange(g_batchFiles, {})) {
        if (const RecordStatus status = FlushRecordFile(number); !status.ok() && first.ok())
            first = status;
    }
    return first;
}

RecordStatus FlushRecordFile(int number)
{
    OpenFile *f = fileFor(number);
    if (!f)
        return notOpen(number);
    if (g_batchDepth > 0) {
        if (!g_batchFiles.contains(number))
            g_batchFiles.append(number);
        return RecordStatus::success();
    }
    const QString reason = g_flush ? g_flush(number) : RecordDisk::systemFlush(number);
    if (reason.isEmpty())
        return RecordStatus::success();
    return {RecordStatus::IoError, QStringLiteral("Could not write the file %1 to the disk: %2")
                                       .arg(f->file.fileName(), reason)};
}

RecordStatus TruncateRecordFile(int number, qint64 size)
{
    OpenFile *f = fileFor(number);
    if (!f)
        return notOpen(number);
    if (size < 0 || size >= f->file.size())
        return RecordStatus::success();
    QString reason = gateRefusal(*f);
    if (reason.isEmpty() && !f->file.resize(size))
        reason = f->file.errorString();
    if (!reason.isEmpty()) {
        f->file.unsetError();
        return {
            RecordStatus::IoError,
            QStringLiteral("Could not shorten the file %1: %2").arg(f->file.fileName(), reason)};
    }
    return RecordStatus::success();
}

QByteArray ReadRecords(int number, qint64 firstRecord, qint64 count, qint64 *available)
{
    if (available)
        *available = 0;
    OpenFile *f = fileFor(number);
    if (!f || count <= 0)
        return {};
    if (firstRecord < 1)
        return QByteArray(count * f->recordLength, '\0');
    return readAt(*f, recordOffset(*f, firstRecord), count * f->recordLength, available);
}

QString GetString(int number, qint64 record)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return {};
    qint64 available = 0;
    const QByteArray bytes = readAt(*f, recordOffset(*f, record), f->recordLength, &available);
    // A text cut short by the end of the file keeps only the bytes that are there.
    return RecordCodec::decodeString(QByteArrayView(bytes).first(std::max<qint64>(available, 0)));
}

RecordStatus PutString(int number, qint64 record, QStringView text)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return notOpen(number);
    const QByteArray bytes = RecordCodec::encodeString(text);
    if (bytes.size() > f->recordLength) {
        return {RecordStatus::RecordLength,
                QStringLiteral("Bad record length: a text of %1 bytes does not fit a record of %2 "
                               "in the file %3.")
                    .arg(bytes.size() - 2)
                    .arg(f->recordLength)
                    .arg(fileName(*f))};
    }
    return writeAt(*f, recordOffset(*f, record), bytes);
}

qint16 GetFlag(int number, qint64 record)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return 0;
    return RecordCodec::decodeFlag(readAt(*f, recordOffset(*f, record), 2));
}

RecordStatus PutFlag(int number, qint64 record, bool yes)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return notOpen(number);
    QByteArray bytes(2, '\0');
    qToLittleEndian<qint16>(yes ? -1 : 0, bytes.data());
    return writeAt(*f, recordOffset(*f, record), bytes);
}

CountValue GetCount(int number, qint64 record)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return {};
    return RecordCodec::decodeCount(readAt(*f, recordOffset(*f, record), 6));
}

RecordStatus PutCount(int number, qint64 record, qint32 count)
{
    const bool small = count >= -32768 && count <= 32767;
    return PutCount(number, record, CountValue{static_cast<quint16>(small ? 2 : 3), count});
}

RecordStatus PutCount(int number, qint64 record, CountValue count)
{
    OpenFile *f = fileFor(number);
    if (!f || record < 1)
        return notOpen(number);
    QByteArray bytes;
    if (count.tag == 3) {
        bytes.resize(6);
        qToLittleEndian<quint16>(3, bytes.data());
        qToLittleEndian<qint32>(count.value, bytes.data() + 2);
    } else {
        bytes.resize(4);
        qToLittleEndian<quint16>(2, bytes.data());
        qToLittleEndian<qint16>(static_cast<qint16>(count.value), bytes.data() + 2);
    }
    return writeAt(*f, recordOffset(*f, record), bytes);
}

RecordFileView::RecordFileView(int number, qint64 firstRecord, qint64 count)
{
    OpenFile *f = fileFor(number);
    if (!f || firstRecord < 1 || count <= 0)
        return;
    const qint64 offset = recordOffset(*f, firstRecord);
    const qint64 length = std::min(count * f->recordLength, f->file.size() - offset);
    if (length <= 0)
        return;
#ifdef Q_OS_UNIX
    // Mapped with its pages entered at once: a run is looked at whole, and entering them one
    // fault at a time costs more.
    const qint64 page = ::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE) : 4096;
    const qint64 start = offset - offset % page;
    int flags = MAP_SHARED;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;
#endif
    void *map = ::mmap(nullptr, std::size_t(length + offset - start), PROT_READ, flags,
                       f->file.handle(), off_t(start));
    if (map != MAP_FAILED) {
        m_systemMap = map;
        m_systemMapLength = length + offset - start;
        m_bytes = QByteArrayView(static_cast<const char *>(map) + (offset - start), length);
        return;
    }
#endif
    m_map = f->file.map(offset, length);
    if (m_map) {
        m_file = f;
        m_bytes = QByteArrayView(m_map, length);
        return;
    }
    qint64 available = 0;
    m_copy = readAt(*f, offset, length, &available);
    m_bytes = QByteArrayView(m_copy).first(std::max<qint64>(available, 0));
}

RecordFileView::~RecordFileView()
{
#ifdef Q_OS_UNIX
    if (m_systemMap)
        ::munmap(m_systemMap, std::size_t(m_systemMapLength));
#endif
    if (!m_map)
        return;
    // A file closed meanwhile has given up its mappings with it.
    for (const auto &open : g_files) {
        if (open.get() == m_file) {
            open->file.unmap(m_map);
            return;
        }
    }
}

namespace {

// How much of a file a move maps at once.
constexpr qint64 kWindowBytes = qint64(1) << 20;
constexpr qint64 kReadWindowBytes = qint64(128) << 10;

} // namespace

RecordReader::RecordReader(int number, qint64 firstRecord, qint64 count)
    : m_number(number), m_length(RecordFileLength(number)), m_first(firstRecord),
      m_end(firstRecord + std::max<qint64>(count, 0))
{}

RecordReader::~RecordReader() = default;

QByteArrayView RecordReader::record(qint64 r)
{
    if (r < m_first || r >= m_end || m_length <= 0)
        return {};
    // A scan reads the file a window at a time into one buffer small enough to stay in the
    // processor's cache, which costs less than mapping the file's pages into memory.
    const qint64 perWindow = std::max<qint64>(1, kReadWindowBytes / m_length);
    if (m_windowCount == 0 || r < m_windowFirst || r >= m_windowFirst + m_windowCount) {
        OpenFile *f = fileFor(m_number);
        if (!f)
            return {};
        m_windowFirst = r;
        m_windowCount = std::min(perWindow, m_end - r);
        const qint64 length = m_windowCount * m_length;
        if (m_window.size() < length)
            m_window.resize(length);
        m_available = 0;
        if (f->file.seek(recordOffset(*f, r)))
            m_available = std::max<qint64>(0, f->file.read(m_window.data(), length));
    }
    const qint64 offset = (r - m_windowFirst) * m_length;
    if (offset >= m_available)
        return {};
    return QByteArrayView(m_window).sliced(offset,
                                           std::min<qint64>(m_length, m_available - offset));
}

namespace {

// The length of the common start of two runs of bytes.
qsizetype commonPrefix(QByteArrayView a, QByteArrayView b)
{
    constexpr qsizetype kStep = 4096;
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i + kStep <= n && std::memcmp(a.data() + i, b.data() + i, std::size_t(kStep)) == 0)
        i += kStep;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// The length of the common end of two runs of bytes of the same length, before `floor`.
qsizetype commonSuffix(QByteArrayView a, QByteArrayView b, qsizetype floor)
{
    constexpr qsizetype kStep = 4096;
    qsizetype end = a.size();
    while (end - kStep >= floor &&
           std::memcmp(a.data() + end - kStep, b.data() + end - kStep, std::size_t(kStep)) == 0)
        end -= kStep;
    while (end > floor && a[end - 1] == b[end - 1])
        --end;
    return a.size() - end;
}

} // namespace

RecordStatus MoveRecordsDown(int number, qint64 fromRecord, qint64 toRecord, qint64 count)
{
    OpenFile *f = fileFor(number);
    if (!f || toRecord < 1 || fromRecord <= toRecord)
        return notOpen(number);
    const qint64 len = f->recordLength;
    // The bytes that move: the source records as far as the file holds them.
    const qint64 total = std::min(count * len, f->file.size() - recordOffset(*f, fromRecord));
    if (total <= 0)
        return RecordStatus::success();

    // The file is looked at a window of records at a time; a window of the targets also
    // shows their sources, `shift` bytes further on.
    const qint64 distance = fromRecord - toRecord;
    const qint64 shift = distance * len;
    const qint64 per = std::max(kWindowBytes / len, distance);
    struct Window {
        std::unique_ptr<RecordFileView> view;
        QByteArrayView source; // from byte `start` of the moving bytes
        QByteArrayView target;
        qint64 start = 0;
    };
    auto window = [&](qint64 at) {
        Window w;
        w.start = at * len;
        const qint64 n = std::min(per, (total - w.start + len - 1) / len);
        w.view = std::make_unique<RecordFileView>(number, toRecord + at, n + distance);
        const QByteArrayView all = w.view->bytes();
        if (all.size() > shift) {
            w.source = all.sliced(shift).first(std::min(all.size() - shift, total - w.start));
            w.target = all.first(std::min(all.size(), w.source.size()));
        }
        return w;
    };

    // Only the run from the first to the last byte that changes is written.
    qint64 first = -1;
    for (qint64 at = 0; at * len < total && first < 0; at += per) {
        const Window w = window(at);
        const qsizetype same = commonPrefix(w.source, w.target);
        if (same < w.source.size())
            first = w.start + same;
    }
    if (first < 0)
        return RecordStatus::success();
    qint64 end = first + 1;
    for (qint64 at = ((total - 1) / len) / per * per; at >= 0; at -= per) {
        const Window w = window(at);
        if (w.target.size() < w.source.size()) {
            end = w.start + w.source.size();
            break;
        }
        const qsizetype same = commonSuffix(w.source, w.target, 0);
        if (same < w.source.size()) {
            end = w.start + w.source.size() - same;
            break;
        }
    }

    // Written in ascending order, a window at a time.
    for (qint64 at = first / len / per * per; at * len < end; at += per) {
        const Window w = window(at);
        const qint64 from = std::max(first, w.start);
        const qint64 to = std::min(end, w.start + w.source.size());
        if (to <= from)
            break;
        const RecordStatus status = writeAt(*f, recordOffset(*f, toRecord) + from,
                                            w.source.sliced(from - w.start, to - from));
        if (!status.ok())
            return status;
    }
    return RecordStatus::success();
}

RecordStatus WriteRecordSpan(int number, qint64 firstRecord, QByteArrayView bytes)
{
    OpenFile *f = fileFor(number);
    if (!f || firstRecord < 1)
        return notOpen(number);
    return writeAt(*f, recordOffset(*f, firstRecord), bytes);
}

CountReading DecodeStoreCount(QByteArrayView record, qint32 capacity)
{
    CountReading c;
    if (record.size() < 2) {
        c.kind = record.isEmpty() ? CountReading::NeverWritten : CountReading::CutOff;
        return c;
    }
    c.tag = qFromLittleEndian<quint16>(record.data());
    if (c.tag == 0)
        return c;
    if (c.tag != 2 && c.tag != 3) {
        c.kind = CountReading::UnknownTag;
        return c;
    }
    if (record.size() < (c.tag == 2 ? 4 : 6)) {
        c.kind = CountReading::CutOff;
        return c;
    }
    c.value = c.tag == 2 ? qFromLittleEndian<qint16>(record.data() + 2)
                         : qFromLittleEndian<qint32>(record.data() + 2);
    if (c.value < 0) {
        c.kind = CountReading::Negative;
    } else if (c.value > capacity) {
        c.kind = CountReading::OverCapacity;
        c.usable = capacity;
    } else {
        c.kind = CountReading::Sound;
        c.usable = c.value;
    }
    return c;
}

StoreCount ReadStoreCount(int number, qint64 record, qint32 capacity)
{
    // Bytes past the end of the file read as zero bytes: a count record the file does not
    // reach is a never-written one.
    const QByteArray raw = ReadRecords(number, record, 1);
    if (raw.size() < 6)
        return {};
    const CountReading c = DecodeStoreCount(raw, capacity);
    switch (c.kind) {
    case CountReading::UnknownTag:
        return {0,
                QStringLiteral("record %1 holds the unknown type tag %2").arg(record).arg(c.tag)};
    case CountReading::Negative:
        return {0, QStringLiteral("record %1 holds the count %2").arg(record).arg(c.value)};
    case CountReading::OverCapacity:
        return {capacity, QStringLiteral("record %1 holds the count %2, more than the %3 entries "
                                         "the file can hold")
                              .arg(record)
                              .arg(c.value)
                              .arg(capacity)};
    default:
        return {c.usable, {}};
    }
}
