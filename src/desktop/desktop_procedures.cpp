// The launcher's procedures: rebuilding the toolbar from the launcher file, adding a button,
// and the work of the delete and change-icon dialogs.
#include "desktop/desktop_procedures.h"

#include "controls/program_frame.h"
#include "controls/seams.h"
#include "data/desktop_store.h"
#include "desktop/change_icon_dialog.h"
#include "desktop/delete_button_dialog.h"
#include "desktop/desktop_forms.h"
#include "desktop/desktop_window.h"

#include <QHash>

#include <algorithm>

#include <optional>

std::function<void()> DesktopReminderCheck = [] {
    if (PartLinks::checkReminders)
        PartLinks::checkReminders();
};

namespace {

const QString NoIcon = QStringLiteral("none");

void runReminderCheck()
{
    if (DesktopReminderCheck)
        DesktopReminderCheck();
}

// The end of a command that showed the open-file dialog, on every path out of it.
void endFileCommand()
{
    Module1::FileDialogOpen = 0;
    runReminderCheck();
}

// Shows the open-file dialog with the reminder check held off while it is on screen, and runs
// the check once it has closed with a file. Cancel or failure gives nothing.
std::optional<QString> askForFile(const FileDialog::Request &request)
{
    Module1::FileDialogOpen = -1;
    const std::optional<QString> chosen = FileDialog::getOpenFileName(Forms::Form9(), request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    Module1::FileDialogOpen = 0;
    runReminderCheck();
    return chosen;
}

void showStoreFailure(const QString &what, const StoreResult &result)
{
    MessageBox::show(result.message.isEmpty() ? what : what + QLatin1Char('\n') + result.message);
}

// A button picture from an icon, bitmap or other picture file; the default picture when the
// file is missing or holds no picture we can read.
QIcon loadButtonPicture(const QString &path, const QIcon &fallback)
{
    const QIcon icon(path);
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return fallback;
    return icon;
}

} // namespace

namespace Module1 {

void LoadDesktopButtons()
{
    DesktopWindow *form = Forms::Form9();
    // This rebuild takes the place of one put off at the launcher's load.
    form->Toolbar1->cancelPendingFill();
    const DesktopButtons buttons = DesktopStore().ReadButtons();
    ButtonCaptions = buttons.captions;
    ButtonPaths = buttons.programPaths;
    form->ImageList1 = QList<QIcon>();
    form->ImageList1.reserve(buttons.iconPaths.size());

    // Each picture file is read once per rebuild, however many buttons use it.
    QHash<QString, QIcon> loaded;
    const QIcon defaultPicture = form->defaultPicture();
    for (const QString &iconPath : buttons.iconPaths) {
        if (iconPath == NoIcon) {
            form->ImageList1.append(defaultPicture);
            continue;
        }
        auto found = loaded.constFind(iconPath);
        if (found == loaded.constEnd())
            found = loaded.insert(iconPath, loadButtonPicture(iconPath, defaultPicture));
        form->ImageList1.append(found.value());
    }
    form->Toolbar1->fitButtons(ButtonCaptions);
    form->Toolbar1->buttons()->setButtons(ButtonCaptions, form->ImageList1, ButtonPaths);
}

void AddDesktopButton()
{
    FileDialog::Request request;
    request.title = QStringLiteral("Select Program");
#ifdef Q_OS_WIN
    request.filters = {QStringLiteral("Program (*.exe)")};
#else
    // Programs here have no name extension: the dialog lists every executable file.
    request.filters = {QStringLiteral("Program (*)")};
#endif
    request.executablesOnly = true;
    const std::optional<QString> path = askForFile(request);
    if (!path) {
        endFileCommand();
        return;
    }
    const StoreResult result = DesktopStore().AppendDesktopEntry(CaptionFromPath(*path), *path);
    if (!result.ok()) {
        showStoreFailure(QStringLiteral("The program could not be added to My Desktop."), result);
        endFileCommand();
        return;
    }
    LoadDesktopButtons();
    endFileCommand();
}

QString CaptionFromPath(const QString &path)
{
    // The file name after the last separator, without a final ".exe".
    const qsizetype separator =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(separator + 1);
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

void DeleteDesktopButton()
{
    const int position = Forms::Form10()->chosenPosition();
    if (position < 0)
        return;
    const StoreResult result = DesktopStore().RemoveDesktopEntry(position);
    if (!result.ok())
        showStoreFailure(QStringLiteral("The button could not be deleted."), result);
    LoadDesktopButtons();
}

void ChangeDesktopButtonIcon()
{
    const int position = Forms::Form11()->chosenPosition();
    if (position < 0)
        return;
    FileDialog::Request request;
    request.title = QStringLiteral("Select Icon");
    request.filters = {QStringLiteral("Icon File (*.ico *.bmp)"),
                       QStringLiteral("PNG Picture (*.png)")};
    const std::optional<QString> path = askForFile(request);
    if (!path) {
        endFileCommand();
        return;
    }
    const StoreResult result = DesktopStore().SetDesktopIcon(position, *path);
    if (!result.ok()) {
        showStoreFailure(QStringLiteral("The picture could not be given to the button."), result);
        endFileCommand();
        return;
    }
    LoadDesktopButtons();
    endFileCommand();
}

} // namespace Module1
