#include "test_support.h"

#include "app/forms.h"
#include "app/main_window.h"
#include "app/module1.h"
#include "records/record_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

TestEnvironment::TestEnvironment()
    : m_oldCurrent(QDir::currentPath()), m_now(QDateTime(QDate(2024, 1, 5), QTime(9, 0)))
{
    QDir::setCurrent(m_dir.path());
    Clock::setSource([this] {
        // While the splash period runs, every reading moves the clock on a second.
        if (m_splashing)
            return m_now.addSecs(m_clockReads++);
        return m_now;
    });
    MessageBox::setHandler([this](const QString &text) { messages.append(text); });
    FileDialog::setHandler([this](QWidget *, const FileDialog::Request &request) {
        fileDialogRequests.append(request);
        if (fileDialogAnswers.isEmpty())
            return std::optional<QString>();
        return fileDialogAnswers.takeFirst();
    });
    ProcessEnd::setHandler([this] { ++processEnds; });
    ProgramLauncher::setHandler([this](const QString &path) {
        launched.append(path);
        return launchError;
    });
}

TestEnvironment::~TestEnvironment()
{
    delete m_main;
    Forms::destroyTopLevelForms();
    Module1::CloseDataFiles();
    for (int n = 1; n <= 16; ++n)
        CloseRecordFile(n);
    Module1::FileDialogOpen = 0;
    Module1::KeptMarksFile.clear();
    Module1::EditMode = 0;
    Module1::ButtonCaptions.clear();
    Module1::ButtonPaths.clear();
    Clock::setSource({});
    MessageBox::setHandler({});
    FileDialog::setHandler({});
    ProgramLauncher::setHandler({});
    ProcessEnd::setHandler({});
    QDir::setCurrent(m_oldCurrent);
}

QString TestEnvironment::path(const QString &fileName) const
{
    return m_dir.filePath(fileName);
}

MainWindow *TestEnvironment::startProgram(const QString &cacheFolder)
{
    m_main = new MainWindow;
    m_main->cacheFolder = cacheFolder;
    m_splashing = true;
    m_clockReads = 0;
    const bool ok = m_main->startUp();
    m_splashing = false;
    if (!ok) {
        delete m_main;
        m_main = nullptr;
    }
    return m_main;
}

QByteArray TestEnvironment::storedString(const QString &fileName, int recordLength,
                                         int record) const
{
    const QByteArray r = this->record(fileName, recordLength, record);
    const int n = quint8(r[0]) | (quint8(r[1]) << 8);
    return r.left(2 + std::min(n, recordLength - 2));
}

bool TestEnvironment::openDataFiles()
{
    Module1::DataFolder = QDir::currentPath();
    return Module1::OpenDataFiles();
}

QByteArray TestEnvironment::fileBytes(const QString &fileName) const
{
    QFile f(path(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray TestEnvironment::record(const QString &fileName, int recordLength, int record) const
{
    QByteArray bytes = fileBytes(fileName).mid(qsizetype(record - 1) * recordLength, recordLength);
    bytes.append(QByteArray(recordLength - bytes.size(), '\0'));
    return bytes;
}

void TestEnvironment::writeFile(const QString &fileName, const QByteArray &bytes) const
{
    QFile f(path(fileName));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

namespace Bytes {

QByteArray string(const QByteArray &latin1)
{
    QByteArray out(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(latin1.size()), out.data());
    return out + latin1;
}

QByteArray count16(qint16 value)
{
    QByteArray out(4, '\0');
    qToLittleEndian<quint16>(2, out.data());
    qToLittleEndian<qint16>(value, out.data() + 2);
    return out;
}

QByteArray count32(qint32 value)
{
    QByteArray out(6, '\0');
    qToLittleEndian<quint16>(3, out.data());
    qToLittleEndian<qint32>(value, out.data() + 2);
    return out;
}

QByteArray flag(bool yes)
{
    return yes ? QByteArray("\xFF\xFF", 2) : QByteArray(2, '\0');
}

QByteArray padded(const QByteArray &value, int length)
{
    return value + QByteArray(length - value.size(), '\0');
}

} // namespace Bytes
