// The reminder pop-up on the timer's tick: what it shows, several due at once one after
// another, and no check while the launcher's file dialog is open. Which reminders are due is
// tested without a window (tst_calendar_logic).
#include "app/module1.h"
#include "calendar/reminder_window.h"
#include "calendar_fixtures.h"

#include <QPushButton>

using namespace Fixtures;

namespace {

const QDate kToday(2024, 1, 5);

// One tick of the main window's timer at hh:mm today (none when `at` is null). Returns "subject
// start end minutes" of each reminder the pop-up showed, one after another as each is answered with
// "OK", joined by " / "; an empty text when none came up.
QString tickAt(TestEnvironment &env, QTime at)
{
    if (!at.isNull()) {
        env.setNow(QDateTime(kToday, at.addSecs(20)));
        env.mainWindow()->Timer1_Timer();
    }
    ReminderWindow *popup = Forms::Form8();
    QStringList shown;
    for (int guard = 0; popup->isVisible() && guard < 10; ++guard) {
        shown.append(QStringList{popup->Label7[0]->text(), popup->Label7[1]->text(),
                                 popup->Label7[2]->text(), popup->Label2->text()}
                         .join(u' '));
        popup->Command1->click();
    }
    return shown.join(QStringLiteral(" / "));
}

} // namespace

class RemindersTest : public QObject {
    Q_OBJECT
private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }
    void popupTexts();

private:
    std::unique_ptr<TestEnvironment> env;
};

void RemindersTest::popupTexts()
{
    QVERIFY(startOn(*env, kToday, QTime(0, 0)));
    appointment("20240105-1", "  Budget review ", "10:00", "11:00", true, "15");
    appointment("20240105-2", "Lunch", "10:15", "11:00", true, "30");
    // Nothing while the launcher's file dialog is open; its close checks at once.
    Module1::FileDialogOpen = -1;
    QCOMPARE(tickAt(*env, QTime(9, 45)), QString());
    Module1::FileDialogOpen = 0;
    env->setNow(QDateTime(kToday, QTime(9, 45, 40)));
    Module1::CheckReminders();
    ReminderWindow *popup = Forms::Form8();
    QVERIFY(popup->isVisible() && popup->isWindow());
    QCOMPARE(popup->windowTitle(), QStringLiteral("Reminder"));
    const QStringList texts{popup->Label1->text(), popup->Label2->text(), popup->Label3->text(),
                            popup->Label7[0]->text()};
    QCOMPARE(texts, (QStringList{"You have a meeting in", "15", "minutes.", "Budget review"}));
    QCOMPARE(popup->accessibleDescription(),
             "You have a meeting in 15 minutes. Budget review, 10:00 to 11:00");
    // The second one due in the same check comes up when the first is answered.
    QCOMPARE(tickAt(*env, QTime()),
             QStringLiteral("Budget review 10:00 11:00 15 / Lunch 10:15 11:00 30"));
    QVERIFY(!popup->isVisible());
}

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
