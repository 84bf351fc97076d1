// The appointments file Appoint.dat (file number 1, 128-byte records, block size 8).
// Record 8 holds the count; the appointment at position i holds its seven fields in records
// 8*i+1 to 8*i+7. No window code here: the Module1 procedures call these operations.
#pragma once

#include "records/data_layout.h"
#include "records/store_result.h"

#include <QDate>
#include <QList>
#include <QString>

struct Appointment {
    QString AppointmentId; // YYYYMMDD-n
    QString Subject;
    QString StartTime;     // hh:mm
    QString EndTime;       // hh:mm
    qint16 ReminderOn = 0; // -1 yes, 0 no
    QString ReminderMinutes;
    QString Description;
};

class AppointmentStore {
public:
    static constexpr const DataFileLayout &Layout = kAppointmentsFile;
    static constexpr int FileNumber = Layout.number;
    static constexpr int RecordLength = Layout.recordLength;
    static constexpr int BlockSize = Layout.blockSize;
    static constexpr int Capacity = Layout.capacity;

    explicit AppointmentStore(int fileNumber = FileNumber) : m_file(fileNumber) {}

    // The count of record 8, never below 0 nor above the capacity.
    int GetAppointmentCount() const;
    // "YYYYMMDD" of a date.
    static QString DayKey(QDate date);
    // "YYYYMMDD-n".
    static QString MakeAppointmentId(QDate date, int n);
    // The id for a new appointment of the day "YYYYMMDD": the day's number of appointments in
    // the file plus one, or the next number no appointment carries in a file whose numbering
    // is broken.
    QString NextAppointmentId(const QString &dayKey) const;
    Appointment ReadAppointment(int position) const;
    // Position of the appointment with that id (last match wins), or -1.
    int FindAppointment(const QString &id) const;
    // Positions whose id begins with the day key, in position order.
    QList<int> ListDayAppointments(const QString &dayKey) const;
    // The ids of all appointments, in position order, read in one pass.
    QStringList ReadAllIds() const;
    // The appointments of one day, in position order, read in one pass.
    QList<Appointment> ReadDayAppointments(const QString &dayKey) const;
    // Every appointment in file order, read in one pass.
    QList<Appointment> ReadAllAppointments() const;
    // The days (1 to 31) of a month that have an appointment, ascending, in one pass over the
    // ids looked at in place.
    QList<int> DaysWithAppointments(int year, int month) const;

    StoreResult AddAppointment(const Appointment &a);
    // Overwrites fields 2 to 7 of the appointment whose id equals `id` (of the last one, where a
    // broken file holds the id twice).
    StoreResult UpdateAppointment(const QString &id, const Appointment &fields);
    StoreResult DeleteAppointment(const QString &id);

private:
    int m_file;
};
