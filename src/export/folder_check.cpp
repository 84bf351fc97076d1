#include "export/folder_check.h"

#include "export/ical_export.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <algorithm>

namespace Export {

namespace {

// "YYYYMMDD-n" with n a decimal number from 1, without leading zeros; the sequence number or
// 0 when the id has another form.
int sequenceNumber(const QString &id)
{
    if (id.size() < 10 || id[8] != QLatin1Char('-') || !AppointmentDate(id))
        return 0;
    const QStringView digits = QStringView(id).sliced(9);
    if (digits.front() == QLatin1Char('0'))
        return 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

QString numberList(const QList<int> &numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QStringLiteral(", "));
}

void checkAppointments(const DataFolderContents &data, QList<Finding> &out)
{
    const QString file = QString::fromLatin1(AppointmentsLayout.fileName);
    auto add = [&](Finding::Severity severity, const AppointmentRecord &a, const QString &msg) {
        out.append({severity, file,
                    QStringLiteral("appointment %1 (%2)").arg(a.position + 1).arg(a.AppointmentId),
                    msg});
    };
    QMap<QString, QList<int>> days; // day key -> sequence numbers in position order
    for (const AppointmentRecord &a : data.appointments) {
        const int n = sequenceNumber(a.AppointmentId);
        if (n == 0)
            add(Finding::Error, a,
                QStringLiteral("the id is not of the form YYYYMMDD-n with a "
                               "valid date"));
        else
            days[a.AppointmentId.left(8)].append(n);
        if (a.ReminderOn != 0 && a.ReminderOn != -1)
            add(Finding::Error, a,
                QStringLiteral("the reminder flag holds %1 (-1 or 0 expected)").arg(a.ReminderOn));
        const auto start = ParseTime(a.StartTime, false);
        const auto end = ParseTime(a.EndTime, true);
        if (!start)
            add(Finding::Warning, a,
                QStringLiteral("the start time \"%1\" is not hh:mm").arg(a.StartTime));
        if (!end)
            add(Finding::Warning, a,
                QStringLiteral("the end time \"%1\" is not hh:mm").arg(a.EndTime));
        if (start && end && *end <= *start)
            add(Finding::Warning, a,
                QStringLiteral("the end time %1 is not after the start time %2")
                    .arg(a.EndTime, a.StartTime));
        if (EndsAfterYear9999(a))
            add(Finding::Warning, a, EndsAfterYear9999Message());
        if (a.ReminderOn != 0 && !ReminderSeconds(a.ReminderMinutes))
            add(Finding::Warning, a,
                QStringLiteral("the reminder minutes \"%1\" are not a number")
                    .arg(a.ReminderMinutes));
    }
    // The appointments of each day must be numbered 1, 2, 3 ... in file order.
    for (auto it = days.cbegin(); it != days.cend(); ++it) {
        const QList<int> &numbers = it.value();
        QList<int> expected;
        for (int i = 1; i <= numbers.size(); ++i)
            expected.append(i);
        if (numbers == expected)
            continue;
        QList<int> sorted = numbers;
        std::sort(sorted.begin(), sorted.end());
        QList<int> repeated;
        QList<int> missing;
        for (qsizetype i = 1; i < sorted.size(); ++i) {
            if (sorted[i] == sorted[i - 1] && !repeated.contains(sorted[i]))
                repeated.append(sorted[i]);
        }
        for (int k = 1; k <= sorted.back(); ++k) {
            if (!sorted.contains(k))
                missing.append(k);
        }
        QString detail;
        if (!missing.isEmpty())
            detail += QStringLiteral("; missing: %1").arg(numberList(missing));
        if (!repeated.isEmpty())
            detail += QStringLiteral("; repeated: %1").arg(numberList(repeated));
        if (missing.isEmpty() && repeated.isEmpty())
            detail += QStringLiteral("; out of order");
        out.append({Finding::Error, file, QStringLiteral("day %1").arg(it.key()),
                    QStringLiteral("the appointments are numbered %1 in file order, not 1 to %2%3")
                        .arg(numberList(numbers))
                        .arg(numbers.size())
                        .arg(detail)});
    }
}

void checkAddresses(const DataFolderContents &data, QList<Finding> &out)
{
    const QString file = QString::fromLatin1(AddressesLayout.fileName);
    QHash<QString, QList<int>> byName;
    for (const AddressRecord &e : data.addresses) {
        byName[e.DisplayName].append(e.position + 1);
        const QString where =
            QStringLiteral("entry %1 (%2)").arg(e.position + 1).arg(e.DisplayName);
        if (e.DisplayName != e.Surname + QStringLiteral(", ") + e.Name)
            out.append({Finding::Warning, file, where,
                        QStringLiteral("the display name is not the surname, a comma, a blank "
                                       "and the first name")});
        if (e.HasBirthday != QLatin1String("0") && e.HasBirthday != QLatin1String("1"))
            out.append({Finding::Error, file, where,
                        QStringLiteral("the birthday flag is \"%1\" (\"0\" or \"1\" expected)")
                            .arg(e.HasBirthday)});
        const auto born = BirthdayDate(e.BirthdayDate);
        if (born && HasBirthday(e.HasBirthday) && EndsAfterYear9999(*born))
            out.append({Finding::Warning, file, where, EndsAfterYear9999Message()});
        if (!born)
            out.append({HasBirthday(e.HasBirthday) ? Finding::Error : Finding::Warning, file, where,
                        QStringLiteral("the birthday \"%1\" is not a valid dd/mm/yyyy date")
                            .arg(e.BirthdayDate)});
    }
    for (const AddressRecord &e : data.addresses) {
        const QList<int> &positions = byName.value(e.DisplayName);
        if (positions.size() < 2 || positions.front() != e.position + 1)
            continue;
        out.append({Finding::Error, file, QStringLiteral("entries %1").arg(numberList(positions)),
                    QStringLiteral("the display name \"%1\" is used %2 times")
                        .arg(e.DisplayName)
                        .arg(positions.size())});
    }
}

void checkNotes(const DataFolderContents &data, QList<Finding> &out)
{
    QHash<QString, QList<int>> byName;
    for (const NoteRecord &n : data.notes)
        byName[n.NoteName].append(n.number);
    for (const NoteRecord &n : data.notes) {
        const QList<int> &numbers = byName.value(n.NoteName);
        if (numbers.size() < 2 || numbers.front() != n.number)
            continue;
        out.append({Finding::Error, QString::fromLatin1(NotesLayout.fileName),
                    QStringLiteral("notes %1").arg(numberList(numbers)),
                    QStringLiteral("the name \"%1\" is used %2 times")
                        .arg(n.NoteName)
                        .arg(numbers.size())});
    }
}

} // namespace

QList<Finding> CheckDataFolder(const DataFolderContents &data)
{
    QList<Finding> out = data.findings;
    checkAppointments(data, out);
    checkNotes(data, out);
    checkAddresses(data, out);
    return out;
}

int ErrorCount(const QList<Finding> &findings)
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding &f) {
        return f.severity == Finding::Error;
    }));
}

} // namespace Export
