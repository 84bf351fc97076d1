#include "app/file_import.h"

#include "app/forms.h"
#include "app/module1.h"
#include "controls/seams.h"
#include "import/import_run.h"

#include <QFile>
#include <QFileInfo>

namespace FileImport {

namespace {

// What a file holds, from its first component: a vCard or else a calendar; the name's ending
// decides a file that names neither at its start.
Import::Kind kindOf(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray start = file.read(4096).toUpper();
        const qsizetype card = start.indexOf("BEGIN:VCARD");
        const qsizetype calendar = start.indexOf("BEGIN:VCALENDAR");
        if (card >= 0 && (calendar < 0 || card < calendar))
            return Import::Kind::Contacts;
        if (calendar >= 0)
            return Import::Kind::Calendar;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard")
               ? Import::Kind::Contacts
               : Import::Kind::Calendar;
}

// The summary with at most a screenful of its details.
QString message(const Import::Summary &summary)
{
    constexpr int MostDetails = 12;
    Import::Summary shown = summary;
    if (shown.details.size() > MostDetails) {
        const qsizetype more = shown.details.size() - MostDetails;
        shown.details.resize(MostDetails);
        shown.details.append(QStringLiteral("... and %1 more.").arg(more));
    }
    return shown.text();
}

} // namespace

void ImportChosenFile(QWidget *parent)
{
    FileDialog::Request request;
    request.title = QStringLiteral("Import");
    request.filters = {QStringLiteral("Calendars and contacts (*.ics *.ical *.vcf *.vcard)"),
                       QStringLiteral("iCalendar files (*.ics *.ical)"),
                       QStringLiteral("vCard files (*.vcf *.vcard)"),
                       QStringLiteral("All files (*)")};
    const std::optional<QString> path = FileDialog::getOpenFileName(parent, request);
    if (!path)
        return;
    const Import::Summary summary = Import::ImportFile(kindOf(*path), *path, Module1::DataFolder,
                                                       Import::Options::around(Clock::Today()));
    MessageBox::show(message(summary));
    if (summary.imported == 0 || summary.dryRun)
        return;
    // The markers, an open day and the address book's list show the files as they are now.
    Module1::MarkCalendarDays();
    if (summary.kind == Import::Kind::Contacts && Forms::exists("Form3")) {
        Module1::FillAddressList();
        Module1::ShowAddressDetails();
    }
}

} // namespace FileImport
