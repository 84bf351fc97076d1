#include <QTest>
class TestImport : public QObject {
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
