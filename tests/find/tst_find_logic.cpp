// What a search finds, without a window: which texts match, in what order, with what context.
#include "find/find_logic.h"

#include <QTest>

using namespace FindLogic;

namespace {

Appointment appointment(const char *id, const char *start, const char *subject,
                        const char *description = "")
{
    return {QString::fromUtf8(id),
            QString::fromUtf8(subject),
            QString::fromUtf8(start),
            QStringLiteral("23:00"),
            0,
            QString(),
            QString::fromUtf8(description)};
}

AddressEntry entry(const char *name, const char *surname, const char *phone = "",
                   const char *notes = "")
{
    AddressEntry e;
    e.Name = QString::fromUtf8(name);
    e.Surname = QString::fromUtf8(surname);
    e.DisplayName = e.Surname + QStringLiteral(", ") + e.Name;
    e.PhoneMobile = QString::fromUtf8(phone);
    e.Notes = QString::fromUtf8(notes);
    return e;
}

const FindIndex &diary()
{
    static const FindIndex index = FindIndex::Build(
        {appointment("20240105-1", "09:00", "Café with Zoë", "Bring the <b>plans</b>"),
         appointment("20250310-1", "14:00", "Dentist"),
         appointment("20250310-2", "16:30", "Call the café"),
         appointment("20231224-1", "18:00", "Dinner", "at the CAFE\r\nnear the station")},
        {entry("Zoë", "Ångström", "555-12 34"), entry("Bob", "Adams", "", "met at the café"),
         entry("Ann", "Brown", "0171 555 1234")},
        {{QStringLiteral("Shopping"), QStringLiteral("milk, coffee, cafe au lait")},
         {QStringLiteral("Phones"), QStringLiteral("office 555-1234")}});
    return index;
}

QStringList shown(const QList<Found> &found)
{
    static const char *const kinds[] = {"appointment", "address", "note"};
    QStringList out;
    for (const Found &f : found)
        out << QStringLiteral("%1 %2: %3").arg(kinds[int(f.kind)], f.key, f.context);
    return out;
}

} // namespace

class FindLogicTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void folding()
    {
        QCOMPARE(Fold(u"ÅNGSTRÖM Zoë café ÇA Ⅻ"), QStringLiteral("angstrom zoe cafe ca ⅻ"));
        // One character for one, so that a place in the folded text is a place in the text.
        const QString text = QStringLiteral("Ḝxtra ǅ ß \U0001F600");
        QCOMPARE(Fold(text).size(), text.size());
    }

    void finds_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("case and accents are ignored, newest appointments first, one per entry")
            << "CAFE"
            << QStringList{
                   "appointment 20250310-2: Call the café", "appointment 20240105-1: Café with Zoë",
                   "appointment 20231224-1: at the CAFE near the station",
                   "address Adams, Bob: met at the café", "note 1: milk, coffee, cafe au lait"};
        QTest::newRow("an accented query finds the plain text too")
            << "zoë"
            << QStringList{"appointment 20240105-1: Café with Zoë", "address Ångström, Zoë: Zoë"};
        QTest::newRow("phone numbers without their blanks and dashes")
            << "5551234"
            << QStringList{"address Ångström, Zoë: 555-12 34", "address Brown, Ann: 0171 555 1234"};
        QTest::newRow("a number typed with a dash finds it written with blanks, not other text")
            << "555-1234"
            << QStringList{"address Ångström, Zoë: 555-12 34", "address Brown, Ann: 0171 555 1234",
                           "note 2: office 555-1234"};
        QTest::newRow("markup is text like any other")
            << "<b>plans" << QStringList{"appointment 20240105-1: Bring the <b>plans</b>"};
        QTest::newRow("a query across two fields finds nothing") << "dentist14" << QStringList{};
        QTest::newRow("blanks alone find nothing") << "   " << QStringList{};
        QTest::newRow("nothing") << "" << QStringList{};
    }

    void finds()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QCOMPARE(shown(diary().Find(query)), expected);
        QCOMPARE(diary().Count(query), expected.size());
    }

    void resultsNameTheirPlaceAndShowContext()
    {
        const QList<Found> found = diary().Find(QStringLiteral("dentist"));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].where,
                 QLocale::system().toString(QDate(2025, 3, 10), QLocale::ShortFormat) +
                     QStringLiteral(" 14:00"));
        QCOMPARE(diary().Find(QStringLiteral("phones"))[0].where, QStringLiteral("Phones"));
        // Address entries by display name, a surname with its accent among the names under A.
        QStringList names;
        for (const Found &f : diary().Find(QStringLiteral("a")))
            if (f.kind == Kind::Address)
                names << f.where;
        QCOMPARE(names, (QStringList{"Adams, Bob", "Ångström, Zoë", "Brown, Ann"}));

        // A long text is cut around the match, on one line.
        const QString note = QStringLiteral("x").repeated(100) + QStringLiteral(" needle\r\nin ") +
                             QStringLiteral("y").repeated(100);
        const FindIndex index = FindIndex::Build({}, {}, {{QStringLiteral("n"), note}});
        const QString context = index.Find(QStringLiteral("NEEDLE"))[0].context;
        QVERIFY2(context.startsWith(QChar(0x2026)) && context.endsWith(QChar(0x2026)),
                 qPrintable(context));
        QVERIFY(context.contains(QStringLiteral("needle in y")));
        QVERIFY(context.size() < 100);
        // The limit lists the first results; the count still counts them all.
        QCOMPARE(diary().Find(QStringLiteral("e"), 2).size(), 2);
        QCOMPARE(diary().Count(QStringLiteral("e")), 8);
    }
};

QTEST_GUILESS_MAIN(FindLogicTest)
#include "tst_find_logic.moc"
