// The program's contact points with the world that tests replace: the clock, message boxes,
// the open-file dialog and the starting of programs. Each is one function; the program uses
// the real one, a test installs its own and the code under test runs straight through.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>

class QWidget;

namespace Clock {
using Source = std::function<QDateTime()>;
// Installs the clock; an empty function puts the system clock back.
void setSource(Source source);
QDateTime Now();
QDate Today();
QTime TimeOfDay();
// Seconds since midnight, with fractions, as the start-up's splash period measures it.
double SecondsSinceMidnight();
} // namespace Clock

namespace MessageBox {
using Handler = std::function<void(const QString &text)>;
void setHandler(Handler handler);
// A message box titled "Tallowby" with an "OK" button only and no icon.
void show(const QString &text);
} // namespace MessageBox

namespace FileDialog {
struct Request {
    QString title;
    QStringList filters; // "Program (*.exe)" style entries
    bool executablesOnly = false;
};
using Handler = std::function<std::optional<QString>(QWidget *parent, const Request &request)>;
void setHandler(Handler handler);
// A modal open-file dialog; nullopt when the user cancels or the dialog fails.
std::optional<QString> getOpenFileName(QWidget *parent, const Request &request);
} // namespace FileDialog

namespace ProcessEnd {
using Handler = std::function<void()>;
void setHandler(Handler handler);
// Ends the process at once, with nothing more run: no window event, no question. The program
// calls it with every file closed. A test's handler records the end and returns.
void now();
} // namespace ProcessEnd

namespace ProgramLauncher {
// Starts the program without arguments and without waiting; returns an empty text on success,
// or the reason it could not be started.
using Handler = std::function<QString(const QString &path)>;
void setHandler(Handler handler);
QString start(const QString &path);
} // namespace ProgramLauncher

namespace Question {
using Handler = std::function<bool(const QString &text)>;
void setHandler(Handler handler);
// A question titled "Tallowby" with "Yes" and "No" ("No" the default); true for "Yes".
bool ask(const QString &text);
} // namespace Question
