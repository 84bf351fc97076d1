// The procedures of the notes view: they read the pad, the name box and the list of Form2 and
// work on the notes file through NoteStore.
#include "notes/note_store.h"
#include "notes/notes_window.h"
#include "shell/flex_grid.h"
#include "shell/forms.h"
#include "shell/limited_text_box.h"
#include "shell/module1.h"
#include "shell/seams.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

// Removes leading and trailing blanks only; line breaks and tabs stay.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

namespace Module1 {

void LoadNoteList()
{
    NotesWindow *form = Forms::Form2();
    FlexGrid *list = form->MSFlexGrid1;

    list->Clear();
    list->setRows(1);
    list->setCols(2);
    list->setTextMatrix(0, 0, QStringLiteral("Nr."));
    list->setTextMatrix(0, 1, QStringLiteral("Description"));
    list->setColWidth(0, 500);
    list->setColWidth(1, 3360);

    // A full file holds thousands of notes: read the names in one pass and fill the list with
    // its painting held back, the rows made at once.
    const QStringList names = NoteStore().ReadNoteNames();
    const int count = int(names.size());
    list->setUpdatesEnabled(false);
    if (count > 0) {
        list->setRows(count + 1);
        for (int n = 1; n <= count; ++n) {
            list->setTextMatrix(n, 0, QString::number(n));
            list->setTextMatrix(n, 1, names.at(n - 1));
        }
        list->setFixedRows(1);
    } else {
        // The header row can be declared fixed only while a row stands below it.
        list->setRows(2);
        list->setFixedRows(1);
        list->setRows(1);
    }
    list->setUpdatesEnabled(true);
    form->selectNoNote();

    // In this order, so that the button ends disabled although both changes enable it.
    form->Text1->clear();
    form->Text2->setText(QStringLiteral("Note"));
    form->Command1->setEnabled(false);
}

void SaveNote()
{
    NotesWindow *form = Forms::Form2();
    NoteStore store;
    const QString name = form->Text2->text();
    const QString text = form->Text1->text();

    const int count = store.GetNoteCount();
    const int existing = count > 0 ? store.FindNoteByName(name) : 0;
    if (existing > 0) {
        const StoreResult result = store.ReplaceNoteText(existing, text);
        if (!result.ok()) {
            MessageBox::show(result.message);
            return;
        }
    } else {
        const StoreResult result = store.AppendNote(name, text);
        if (!result.ok()) {
            MessageBox::show(result.message);
            return;
        }
        // A new note is only appended to the list, as the last row.
        FlexGrid *list = form->MSFlexGrid1;
        const int row = list->Rows();
        list->setRows(row + 1);
        list->setTextMatrix(row, 0, QString::number(count + 1));
        list->setTextMatrix(row, 1, name);
        if (list->FixedRows() == 0)
            list->setFixedRows(1);
    }
    form->Command1->setEnabled(false);
}

void ViewNote()
{
    NotesWindow *form = Forms::Form2();
    const int row = form->MSFlexGrid1->Row();
    if (row <= 0)
        return;
    NoteStore store;
    const int count = store.GetNoteCount();
    if (count <= 0 || row > count)
        return;
    const Note note = store.ReadNote(row);
    form->Text1->setText(trimBlanks(note.NoteText));
    form->Text2->setText(trimBlanks(note.NoteName));
    form->Command1->setEnabled(false);
}

void DeleteNote()
{
    NotesWindow *form = Forms::Form2();
    const int row = form->MSFlexGrid1->Row();
    if (row <= 0)
        return;
    const StoreResult result = NoteStore().RemoveNote(row);
    if (!result.ok()) {
        MessageBox::show(result.message);
        return;
    }
    LoadNoteList();
}

} // namespace Module1
