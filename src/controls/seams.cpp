#include "controls/seams.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

#include <cmath>

namespace {
Clock::Source g_clock;
MessageBox::Handler g_messageBox;
FileDialog::Handler g_fileDialog;
ProgramLauncher::Handler g_launcher;
ProcessEnd::Handler g_processEnd;
} // namespace

namespace Clock {

void setSource(Source source)
{
    g_clock = std::move(source);
}

QDateTime Now()
{
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

QDate Today()
{
    return Now().date();
}

QTime TimeOfDay()
{
    return Now().time();
}

double SecondsSinceMidnight()
{
    return Now().time().msecsSinceStartOfDay() / 1000.0;
}

} // namespace Clock

namespace MessageBox {

void setHandler(Handler handler)
{
    g_messageBox = std::move(handler);
}

void show(const QString &text)
{
    if (g_messageBox) {
        g_messageBox(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tallowby"), text, QMessageBox::Ok);
    // Messages quote names, subjects and paths from the files as typed: never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace MessageBox

namespace FileDialog {

void setHandler(Handler handler)
{
    g_fileDialog = std::move(handler);
}

std::optional<QString> getOpenFileName(QWidget *parent, const Request &request)
{
    if (g_fileDialog)
        return g_fileDialog(parent, request);
    QFileDialog dialog(parent, request.title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(request.filters);
    if (request.executablesOnly) {
        // Programs here have no name extension: list the files that may be executed.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace FileDialog

namespace ProcessEnd {

void setHandler(Handler handler)
{
    g_processEnd = std::move(handler);
}

void now()
{
    if (g_processEnd) {
        g_processEnd();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace ProcessEnd

namespace ProgramLauncher {

void setHandler(Handler handler)
{
    g_launcher = std::move(handler);
}

QString start(const QString &path)
{
    if (g_launcher)
        return g_launcher(path);
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (!info.isFile() || !info.isExecutable())
        return QStringLiteral("The file is not a program that can be started.");
    QProcess process;
    process.setProgram(path);
    if (!process.startDetached())
        return process.errorString();
    return {};
}

} // namespace ProgramLauncher

namespace Question {

namespace {
Handler g_question;
} // namespace

void setHandler(Handler handler)
{
    g_question = std::move(handler);
}

bool ask(const QString &text)
{
    if (g_question)
        return g_question(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tallowby"), text,
                    QMessageBox::Yes | QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace Question
