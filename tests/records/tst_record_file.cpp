// The record-file layer: byte images of each encoding, refusals, reads past the end and
// corrupt bytes.
#include "records/record_file.h"
#include "store_steps.h"
#include "test_support.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTest>

class RecordFileTest : public QObject {
    Q_OBJECT

    // Every check of the file reads it through a second handle while the record file is open:
    // each write must be in the file at once.
    QByteArray bytes() const { return m_env->fileBytes("t.dat"); }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(OpenRecordFile(9, m_env->path("t.dat"), 128));
    }
    void cleanup() { m_env.reset(); } // closes the record files too

    // Every byte both ways against the table of an independent codec: 0x80 to 0x9F as it gives
    // them (the undefined five as C1 controls, which survive a read and a write), the others as
    // the character of the same number; a C1 control that Windows-1252 replaced becomes "?".
    void wholeCodePage()
    {
        QByteArray all;
        QString chars;
        for (int b = 0; b < 256; ++b) {
            all += char(b);
            chars += QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
        }
        QCOMPARE(Cp1252::toUnicode(all), chars);
        QCOMPARE(Cp1252::fromUnicode(chars), all);
        QString replaced;
        for (char16_t u = 0x80; u < 0xA0; ++u)
            if (!QStringView(kCp1252High, 32).contains(QChar(u)))
                replaced += QChar(u);
        QCOMPARE(replaced.size(), 27);
        QCOMPARE(Cp1252::fromUnicode(replaced), QByteArray(27, '?'));
        QCOMPARE(Cp1252::unstorable(replaced + chars), replaced);
        // Beyond the code page, also beyond 16 bits: one "?" for each character.
        QCOMPARE(Cp1252::fromUnicode(u"a\u0151b\U0001F600c"), QByteArray("a?b?c"));
        m_env->writeFile("t.dat", Bytes::string(all.mid(0x80, 126)));
        QVERIFY(PutString(9, 1, GetString(9, 1)).ok());
        QCOMPARE(bytes(), Bytes::string(all.mid(0x80, 126)));
    }

    // A count record of each tag, in a whole record: 2 and 3 hold counts, 0 was never written,
    // any other is damage.
    void countTags()
    {
        QStringList kinds;
        for (char tag = 0; tag <= 6; ++tag) {
            const QByteArray record =
                Bytes::padded(QByteArray(1, tag) + QByteArray("\0\5\0", 3), 128);
            const CountReading r = DecodeStoreCount(record, 4096);
            m_env->writeFile("t.dat", record);
            kinds << QStringLiteral("%1 %2 %3 %4")
                         .arg(r.kind)
                         .arg(r.usable)
                         .arg(GetCount(9, 1).isEmpty())
                         .arg(ReadStoreCount(9, 1, 4096).damaged());
        }
        QCOMPARE(kinds, QStringList({"1 0 1 0", "2 0 1 1", "0 5 0 0", "0 5 0 0", "2 0 1 1",
                                     "2 0 1 1", "2 0 1 1"}));
    }

    void textOfRecordLengthLessTwoFitsAndOneMoreIsRefused()
    {
        QVERIFY(PutString(9, 1, QString(126, QLatin1Char('a'))).ok());
        const QByteArray before = bytes();
        const RecordStatus refused = PutString(9, 1, QString(127, QLatin1Char('b')));
        QCOMPARE(refused.code, RecordStatus::RecordLength);
        QVERIFY(refused.message.contains(QLatin1String("t.dat")));
        QCOMPARE(bytes(), before);
        // Refused past the end too: the file does not grow.
        QVERIFY(!PutString(9, 5, QString(200, QLatin1Char('c'))).ok());
        QCOMPARE(bytes(), before);
    }

    void flagsAndCounts()
    {
        for (const RecordStatus &written :
             {PutFlag(9, 1, true), PutFlag(9, 2, false), PutCount(9, 3, 1), PutCount(9, 4, 40000),
              PutCount(9, 5, CountValue{3, 7})})
            QVERIFY(written.ok());
        QCOMPARE(bytes(), fileImage({QByteArray("\xFF\xFF", 2), QByteArray(2, '\0'),
                                     QByteArray("\x02\x00\x01\x00", 4), Bytes::count32(40000),
                                     Bytes::count32(7)},
                                    128));
        QCOMPARE(
            (QList<qint32>{GetFlag(9, 1), GetFlag(9, 2), GetCount(9, 3).valueOrZero(),
                           GetCount(9, 4).valueOrZero(), GetCount(9, 5).tag, GetCount(9, 5).value}),
            (QList<qint32>{-1, 0, 1, 40000, 3, 7}));
    }

    void writingPastTheEndFillsTheGapWithZeros()
    {
        m_env->writeFile("t.dat", QByteArray(10, 'x'));
        QVERIFY(PutString(9, 3, QStringLiteral("hi")).ok());
        QCOMPARE(bytes(), QByteArray(10, 'x') + QByteArray(246, '\0') + Bytes::string("hi"));
    }

    void readsPastTheEndGiveZeroBytes()
    {
        QCOMPARE(GetString(9, 1000), QString());
        QCOMPARE(GetFlag(9, 1000), qint16(0));
        QVERIFY(GetCount(9, 1000).isEmpty());
        QCOMPARE(ReadRecords(9, 3, 2), QByteArray(256, '\0'));
        // A value cut by the end of the file reads alike from a file and from a block. One byte
        // of a flag: the missing high byte is a zero byte, whichever way it is read.
        m_env->writeFile("t.dat", QByteArray(128, '\0') + QByteArray("\x31", 1));
        QCOMPARE(GetFlag(9, 2), qint16(0x31));
        QCOMPARE(RecordCodec::decodeFlag(QByteArrayView("\x31", 1)), qint16(0x31));
        QCOMPARE(RecordCodec::decodeCount(QByteArrayView("\x02\x00\x07", 3)).value, 7);
    }

    void corruptBytesStayInsideTheirRecord_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("string1");
        QTest::addColumn<bool>("countEmpty");
        // The text that a count record's value bytes 05 00 give when read as a string.
        const QString fiveZero = QString::fromLatin1("\x05\x00", 2);
        QTest::newRow("length prefix beyond the record gives at most 126 bytes")
            << (QByteArray("\xFF\xFF", 2) + QByteArray(126, 'a') + QByteArray(128, 'b'))
            << QString(126, QLatin1Char('a')) << true;
        QTest::newRow("text cut short by the end of the file")
            << QByteArray::fromHex("0a00") + "abc" << QStringLiteral("abc") << true;
        QTest::newRow("half a length prefix") << QByteArray("\x01", 1) << QString() << true;
        QTest::newRow("tag 3 cut short reads its missing bytes as zeros")
            << QByteArray("\x03\x00\x05\x00", 4) << fiveZero << false;
    }
    void corruptBytesStayInsideTheirRecord()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, string1);
        QFETCH(bool, countEmpty);
        m_env->writeFile("t.dat", file);
        QCOMPARE(GetString(9, 1), string1);
        QCOMPARE(GetCount(9, 1).isEmpty(), countEmpty);
        QCOMPARE(bytes(), file); // reading never writes
    }

    void moveDownCopiesWholeRecordsAcrossWindows_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("a few records") << 6;
        QTest::newRow("more than one window of the file") << 12000;
    }
    void moveDownCopiesWholeRecordsAcrossWindows()
    {
        QFETCH(int, records);
        // Record r holds the text "r<r>"; the last value ends the file.
        QByteArray file;
        for (int r = 1; r <= records; ++r) {
            QByteArray record = Bytes::string("r" + QByteArray::number(r));
            if (r < records)
                record.resize(128, char(r % 251));
            file += record;
        }
        m_env->writeFile("t.dat", file);
        QVERIFY(OpenRecordFile(9, m_env->path("t.dat"), 128)); // opened again on the new bytes

        // Records 3 to the last move down by one; records 1 and 2 stay.
        QVERIFY(MoveRecordsDown(9, 3, 2, records - 2).ok());
        QCOMPARE(GetString(9, 1), QStringLiteral("r1"));
        for (int r = 2; r < records; ++r)
            QCOMPARE(GetString(9, r), QStringLiteral("r%1").arg(r + 1));
        // The old last record keeps its value, and the file its length.
        QCOMPARE(GetString(9, records), QStringLiteral("r%1").arg(records));
        QCOMPARE(bytes().size(), file.size());
    }

    void moveDownLeavesEqualRecordsUnwritten()
    {
        m_env->writeFile("t.dat", fileImage(strings({"same", "same", "same"}), 128));
        QVERIFY(OpenRecordFile(9, m_env->path("t.dat"), 128));
        const QDateTime before = QFileInfo(m_env->path("t.dat")).lastModified();
        QVERIFY(MoveRecordsDown(9, 2, 1, 2).ok());
        QCOMPARE(QFileInfo(m_env->path("t.dat")).lastModified(), before);
        QCOMPARE(GetString(9, 1), QStringLiteral("same"));
    }

    void readerSeesRecordsAsFarAsTheFileHoldsThem()
    {
        QVERIFY(PutString(9, 1, QStringLiteral("one")).ok());
        QVERIFY(PutString(9, 3, QStringLiteral("three")).ok());
        RecordReader reader(9, 1, 5);
        QCOMPARE(RecordCodec::decodeString(reader.record(1)), QStringLiteral("one"));
        // Record 3's value ends the file; record 6 lies outside the run.
        QCOMPARE((QList<qsizetype>{reader.record(2).size(), reader.record(3).size(),
                                   reader.record(4).size(), reader.record(6).size()}),
                 (QList<qsizetype>{128, 7, 0, 0}));
    }

    void openFailureNamesTheFile()
    {
        QString error;
        QVERIFY(!OpenRecordFile(10, m_env->path("missing-folder/x.dat"), 128, &error));
        QVERIFY(error.contains(QLatin1String("x.dat")));
        QVERIFY(!IsRecordFileOpen(10));
        QVERIFY(!PutString(10, 1, QStringLiteral("a")).ok());
        CloseRecordFile(10); // closing a number that is not open is harmless
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_GUILESS_MAIN(RecordFileTest)
#include "tst_record_file.moc"
