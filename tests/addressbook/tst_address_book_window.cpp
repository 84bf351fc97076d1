// The address book view: letter groups, the name list, the details panels and deleting.
#include "address_book_fixture.h"

#include "addressbook/address_book_window.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "controls/keyboard.h"
#include "controls/limited_text_box.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using AddressFixture::entry;
using AddressFixture::openAddressBook;

namespace {

QStringList listed(const AddressBookWindow *book)
{
    QStringList names;
    for (int i = 0; i < book->Combo1->count(); ++i)
        names.append(book->Combo1->itemText(i));
    return names;
}

QPushButton *letterButton(AddressBookWindow *book, int index)
{
    auto *button = book->findChild<QPushButton *>(QStringLiteral("Command4(%1)").arg(index));
    if (!button)
        qFatal("letter button %d missing", index);
    return button;
}

} // namespace

class TestAddressBookWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithGroupAAndColoursOnlyTheChosenLetter();
    void letterGroupLists_data();
    void letterGroupLists();
    void emptyGroupClearsTheBoxes();
    void detailsToggleAndBirthdayLine_data();
    void detailsToggleAndBirthdayLine();
    void deleteEntry_data();
    void deleteEntry();
};

void TestAddressBookWindow::startsWithGroupAAndColoursOnlyTheChosenLetter()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann")});
    QVERIFY(book);
    QCOMPARE(book->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("A"));
    QVERIFY(book->Label2->isHidden());
    QCOMPARE(book->Combo1->count(), 0);
    QCOMPARE(Keyboard::plainCaption(book->Command5->text()), QStringLiteral("View Details"));
    QVERIFY(book->Frame2->isVisible());
    QVERIFY(book->Frame4->isHidden());
    const QColor face = QApplication::palette(book->Command4[0]).color(QPalette::Button);
    for (int k = 0; k < 24; ++k)
        QCOMPARE(book->letterButtonColor(k), face);

    letterButton(book, 22)->click();
    letterButton(book, 1)->click();
    for (int k = 0; k < 24; ++k)
        QCOMPARE(book->letterButtonColor(k), k == 1 ? QColor(255, 255, 0) : face);
    QCOMPARE(book->Label2->text(), QStringLiteral("B"));
}

void TestAddressBookWindow::letterGroupLists_data()
{
    QTest::addColumn<QList<AddressEntry>>("entries");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("expected");

    // Which names each group lists is tested on the store (tst_address_store).
    QTest::newRow("XYZ in alphabetical order")
        << QList<AddressEntry>{entry("Zimmer", "Zoe"), entry("Young", "Yan"), entry("Xu", "Xi")}
        << 22 << QStringList{"Xu, Xi", "Young, Yan", "Zimmer, Zoe"};
    QTest::newRow("P lists neither Q nor R")
        << QList<AddressEntry>{entry("Roberts", "Rob"), entry("Quinn", "Quentin")} << 15
        << QStringList{};
}

void TestAddressBookWindow::letterGroupLists()
{
    QFETCH(QList<AddressEntry>, entries);
    QFETCH(int, button);
    QFETCH(QStringList, expected);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);

    letterButton(book, button)->click();

    QCOMPARE(listed(book), expected);
    QCOMPARE(book->Label2->text(), book->Command4[size_t(button)]->text());
    if (expected.isEmpty()) {
        QCOMPARE(book->Combo1->currentText(), QString());
        return;
    }
    // The first name is selected and its entry shown.
    QCOMPARE(book->Combo1->currentText(), expected.first());
    const QString surname = expected.first().section(QStringLiteral(", "), 0, 0);
    QCOMPARE(book->findChild<QLineEdit *>(QStringLiteral("Text3(0)"))->text(),
             QStringLiteral("H-") + surname);
    QCOMPARE(book->findChild<QLineEdit *>(QStringLiteral("Text3(5)"))->text(),
             QStringLiteral("O-") + surname);
    QCOMPARE(book->Text1->toPlainText(), QStringLiteral("1 %1 Street\nTown").arg(surname));
}

void TestAddressBookWindow::emptyGroupClearsTheBoxes()
{
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, {entry("Adams", "Ann", "02/02/1980", true)});
    QVERIFY(book);
    letterButton(book, 0)->click();
    QCOMPARE(book->Text5->text(), QStringLiteral("adams@example.org"));

    letterButton(book, 1)->click();

    QCOMPARE(book->Combo1->count(), 0);
    QCOMPARE(book->Combo1->currentText(), QString());
    for (const char *name : {"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)", "Text3(5)",
                             "Text5", "Text6", "Text8"})
        QVERIFY2(book->findChild<QLineEdit *>(QLatin1String(name))->text().isEmpty(), name);
    QVERIFY(book->Text1->toPlainText().isEmpty());
    QVERIFY(book->Text7->toPlainText().isEmpty());
}

void TestAddressBookWindow::detailsToggleAndBirthdayLine_data()
{
    QTest::addColumn<bool>("hasBirthday");
    QTest::newRow("with a birthday the line shows") << true;
    QTest::newRow("without a birthday no line") << false;
}

void TestAddressBookWindow::detailsToggleAndBirthdayLine()
{
    QFETCH(bool, hasBirthday);
    TestEnvironment env;
    AddressBookWindow *book =
        openAddressBook(env, {entry("Carter", "Cy", "24/07/1975", hasBirthday)});
    QVERIFY(book);
    letterButton(book, 2)->click();

    book->Command5->click();
    QCOMPARE(Keyboard::plainCaption(book->Command5->text()), QStringLiteral("View Address"));
    QVERIFY(book->Frame2->isHidden());
    QVERIFY(book->Frame4->isVisible());

    auto *birthdayLabel = book->findChild<QLabel *>(QStringLiteral("Label1(0)"));
    QCOMPARE(birthdayLabel->text(), QStringLiteral("Birthday:"));
    QCOMPARE(birthdayLabel->isVisible(), hasBirthday);
    QCOMPARE(book->Text8->isVisible(), hasBirthday);
    QCOMPARE(book->Text8->text(), QStringLiteral("24/07/1975"));
    QCOMPARE(book->Text5->text(), QStringLiteral("carter@example.org"));
    QCOMPARE(book->Text6->text(), QStringLiteral("www.carter.example"));
    QCOMPARE(book->Text7->toPlainText(), QStringLiteral("Notes on Carter"));

    book->Command5->click();
    QCOMPARE(Keyboard::plainCaption(book->Command5->text()), QStringLiteral("View Details"));
    QVERIFY(book->Frame2->isVisible());
    QVERIFY(book->Frame4->isHidden());
}

void TestAddressBookWindow::deleteEntry_data()
{
    QTest::addColumn<QList<AddressEntry>>("entries");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QStringList>("fileAfter");

    QTest::newRow("the only entry of the group leaves the list empty")
        << QList<AddressEntry>{entry("Adams", "Ann"), entry("Baker", "Bo")} << QStringList{}
        << QStringList{"Baker, Bo"};
    QTest::newRow("the next name of the group is shown")
        << QList<AddressEntry>{entry("Avery", "Al"), entry("Adams", "Ann")}
        << QStringList{"Avery, Al"} << QStringList{"Avery, Al"};
}

void TestAddressBookWindow::deleteEntry()
{
    QFETCH(QList<AddressEntry>, entries);
    QFETCH(QStringList, listedAfter);
    QFETCH(QStringList, fileAfter);
    TestEnvironment env;
    AddressBookWindow *book = openAddressBook(env, entries);
    QVERIFY(book);
    letterButton(book, 0)->click();
    QCOMPARE(book->Combo1->currentText(), QStringLiteral("Adams, Ann"));

    book->Command1->click();

    QVERIFY(env.messages.isEmpty());
    QCOMPARE(listed(book), listedAfter);
    QCOMPARE(AddressFixture::countRecord(env), Bytes::count16(qint16(fileAfter.size())));
    for (int i = 0; i < fileAfter.size(); ++i)
        QCOMPARE(AddressFixture::fieldsAt(env, i).first(), fileAfter[i]);
    if (listedAfter.isEmpty()) {
        QVERIFY(book->Text3[0]->text().isEmpty());
        QVERIFY(book->Text1->toPlainText().isEmpty());
    } else {
        QCOMPARE(book->Text3[0]->text(), QStringLiteral("H-Avery"));
    }
}

QTEST_MAIN(TestAddressBookWindow)
#include "tst_address_book_window.moc"
