// FormFind: one search over the appointments, the address entries and the notes. The results
// follow the text as it is typed; a result opens where it belongs. The window does not block
// the main window.
#pragma once

#include "find/find_logic.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QTreeView;

// How a result is opened, connected by the app layer: the appointment's day in its
// activities window, the address book on the entry, the note in the notes pad.
namespace FindLinks {
inline std::function<void(const QString &appointmentId)> openAppointment;
inline std::function<void(const QString &displayName)> openAddressEntry;
inline std::function<void(int noteNumber)> openNote;
} // namespace FindLinks

// The results as the list shows them: what, where, the text found.
class FindResults : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setResults(QList<FindLogic::Found> results);
    const QList<FindLogic::Found> &results() const { return m_results; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<FindLogic::Found> m_results;
};

class FindWindow : public QWidget {
    Q_OBJECT
public:
    // The most results listed at once; the count says how many there are in all.
    static constexpr int MostListed = 1000;

    explicit FindWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load() {}

    QLineEdit *TextFind = nullptr;
    QTreeView *ListFind = nullptr;
    // "3 found", read also by screen readers.
    QLabel *LabelFound = nullptr;

    // Shows the window in front with the focus in the text box, its text selected.
    void showFind();
    // Searches again for the text in the box, reading the files again if they changed.
    void TextFind_Change();
    // Opens the result in `row` (the current one when -1, else the first).
    void openResult(int row = -1);

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The size and modification time of the three files the index was read from.
    using Stamp = std::array<qint64, 6>;
    static Stamp filesStamp();

    FindResults m_results;
    FindLogic::FindIndex m_index;
    Stamp m_stamp{};
    bool m_indexed = false;
    bool m_placed = false;
};
