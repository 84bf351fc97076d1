// A second copy of the program on the same data folder, in another process, stops with a
// message and writes nothing; once the first copy is gone, however it ended, the folder can be
// used again. A data folder where no file can be made, or one deleted after the program was
// started from it, stops the program with a message too, and nothing is written anywhere.
//
// The same executable, started with --hold <folder>, is the first copy: it opens the data files
// of the folder as start-up does, says so on stdout and waits until it is killed.
#include "app/main_window.h"
#include "app/module1.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

int holdDataFolder(const char *folder)
{
    Module1::DataFolder = QString::fromLocal8Bit(folder);
    QString error;
    if (!Module1::OpenDataFiles(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    std::printf("open\n");
    std::fflush(stdout);
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1) {
    }
    return 0;
}

} // namespace

class SecondCopyTest : public QObject {
    Q_OBJECT

private slots:
    void secondCopyStopsUntilTheFirstIsKilled()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("Notes.dat"), QByteArray(1000, '\0') + Bytes::count16(0));
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--hold"), env.folder()});
        QVERIFY(first.waitForStarted());
        while (!first.canReadLine() && first.state() == QProcess::Running)
            first.waitForReadyRead(10000);
        QCOMPARE(first.readLine(), QByteArray("open\n"));

        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(env.folder()).entryList(QDir::Files))
            files[name] = env.fileBytes(name);
        QVERIFY(!env.startProgram());
        QCOMPARE(env.messages, QStringList{"Tallowby is already running with the data folder " +
                                           QDir::toNativeSeparators(QDir::currentPath()) + "."});
        for (auto it = files.begin(); it != files.end(); ++it)
            QCOMPARE(env.fileBytes(it.key()), it.value());

        // The first copy dies without closing anything: the system releases its lock.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(env.startProgram());
        QCOMPARE(env.messages.size(), 1);
    }

    void unwritableDataFolderStopsWithAMessage()
    {
        // Even the superuser cannot make files in a process's fdinfo folder.
        const QString folder = QStringLiteral("/proc/self/fdinfo");
        QFile probe(folder + "/Tallowby-probe");
        if (!QFileInfo(folder).isDir() || probe.open(QIODevice::ReadWrite))
            QSKIP("no folder here in which files cannot be made");
        TestEnvironment env;
        QVERIFY(QDir::setCurrent(folder));
        const QString current = QDir::currentPath();
        QVERIFY(!env.startProgram());
        QVERIFY2(env.messages.size() == 1 &&
                     env.messages[0].startsWith("The data folder " +
                                                QDir::toNativeSeparators(current) +
                                                " cannot be written"),
                 qPrintable(env.messages.join('\n')));
        QVERIFY(!Module1::DataFolder.isEmpty());
    }

    void deletedStartFolderStopsAndWritesNothingAnywhere()
    {
        const QStringList names = {"Appoint.dat", "Notes.dat", "AddBook.dat", "MyDesk.dat"};
        for (const QString &name : names) {
            if (QFileInfo::exists(QDir::rootPath() + name))
                QSKIP("the root folder holds data files already");
        }
        TestEnvironment env;
        QVERIFY(QDir().mkdir(QStringLiteral("gone")));
        QVERIFY(QDir::setCurrent(QStringLiteral("gone")));
        QVERIFY(QDir(env.folder()).rmdir(QStringLiteral("gone")));

        QVERIFY(!env.startProgram());
        QVERIFY2(
            env.messages.size() == 1 &&
                env.messages[0].startsWith("The folder Tallowby was started in no longer exists"),
            qPrintable(env.messages.join('\n')));
        for (const QString &name : names)
            QVERIFY2(!QFileInfo::exists(QDir::rootPath() + name), qPrintable(name));
        QVERIFY(QDir(env.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) {
        QCoreApplication app(argc, argv);
        return holdDataFolder(argv[2]);
    }
    QApplication app(argc, argv);
    SecondCopyTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_second_copy.moc"
