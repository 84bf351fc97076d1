// Shared fixture for the tests: a temporary data folder as the current directory, a clock the
// test sets, and message boxes, file dialogs and program starts that record instead of block.
#pragma once

#include "controls/seams.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

class MainWindow;

class TestEnvironment {
public:
    // Makes a fresh temporary folder the current directory and installs the test seams.
    TestEnvironment();
    // Closes and destroys everything the test created and puts the seams back.
    ~TestEnvironment();

    QString folder() const { return m_dir.path(); }
    QString path(const QString &fileName) const;

    // The clock: a fixed moment, until the test moves it.
    void setNow(const QDateTime &now) { m_now = now; }
    QDateTime now() const { return m_now; }

    // Creates the main window and runs the whole start-up in this folder. The splash period
    // passes at once. Returns nullptr when start-up failed (see messages). `cacheFolder`: where
    // the splash's drawing and the month's marks are kept between starts (none by default).
    MainWindow *startProgram(const QString &cacheFolder = {});
    MainWindow *mainWindow() const { return m_main; }
    // Opens the four data files in this folder without any window (for store tests).
    bool openDataFiles();

    // Message boxes shown so far, in order.
    QStringList messages;
    // Answers for the next open-file dialogs (nullopt = cancel); the requests that came.
    QList<std::optional<QString>> fileDialogAnswers;
    QList<FileDialog::Request> fileDialogRequests;
    // Programs started, and the error to report for each start (empty = success).
    QStringList launched;
    QString launchError;
    // How often the program ended its process.
    int processEnds = 0;

    // Bytes of a file in the data folder; of one record of it.
    QByteArray fileBytes(const QString &fileName) const;
    QByteArray record(const QString &fileName, int recordLength, int record) const;
    // The String value of a record as stored: its length prefix and the text it announces.
    QByteArray storedString(const QString &fileName, int recordLength, int record) const;
    void writeFile(const QString &fileName, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    QDateTime m_now;
    bool m_splashing = false;
    int m_clockReads = 0;
    MainWindow *m_main = nullptr;
};

// Encoders for building expected bytes and fixtures.
namespace Bytes {
QByteArray string(const QByteArray &latin1);
QByteArray count16(qint16 value);
QByteArray count32(qint32 value);
QByteArray flag(bool yes);
// One record of `length` bytes: `value` followed by zero bytes.
QByteArray padded(const QByteArray &value, int length);
} // namespace Bytes
