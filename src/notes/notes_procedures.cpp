// The procedures of the notes view: they read the pad, the name box and the list of Form2 and
// work on the notes file through NoteStore.
#include "notes/notes_procedures.h"
#include "controls/flex_grid.h"
#include "controls/limited_text_box.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "data/note_store.h"
#include "data/stored_text.h"
#include "notes/notes_forms.h"
#include "notes/notes_window.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

// "1", "2", ... up to at least `count`: the texts of the list's number column. They are made
// once and shared by every fill of the list afterwards.
const PackedTexts &rowNumbers(int count)
{
    static PackedTexts numbers;
    if (numbers.ends.size() < count) {
        for (int n = int(numbers.ends.size()) + 1; n <= count; ++n) {
            numbers.chars += QString::number(n);
            numbers.ends.append(numbers.chars.size());
        }
    }
    return numbers;
}

} // namespace

namespace NotesProcedures {

void FillNoteList()
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

    // A full file holds thousands of notes: read the names in one pass and fill the list a
    // column at a time, the rows made at once.
    const PackedTexts names = NoteStore().ReadPackedNoteNames();
    const int count = int(names.ends.size());
    if (count > 0) {
        const PackedTexts &numbers = rowNumbers(count);
        list->setRows(count + 1);
        list->setColumnTexts(0, 1, numbers.chars, numbers.ends);
        list->setColumnTexts(1, 1, names.chars, names.ends);
        list->setFixedRows(1);
    } else {
        // The header row can be declared fixed only while a row stands below it.
        list->setRows(2);
        list->setFixedRows(1);
        list->setRows(1);
    }
    form->selectNoNote();
}

void ResetPad()
{
    NotesWindow *form = Forms::Form2();
    // In this order, so that the button ends disabled although both changes enable it.
    form->Text1->clear();
    form->Text2->setText(QStringLiteral("Note"));
    form->Command1->setEnabled(false);
}

void OpenNote(int number)
{
    NotesWindow *form = Forms::Form2();
    ProgramFrame::showView(form);
    // "Save Note As:" is enabled while the pad holds changes not saved.
    if (form->Command1->isEnabled() &&
        !Question::ask(QStringLiteral("The note in the pad has changes that are not saved. "
                                      "Replace it with the note found?")))
        return;
    form->MSFlexGrid1->ensureFilled();
    // A note the list does not show yet: the list is read again.
    if (number >= form->MSFlexGrid1->Rows())
        FillNoteList();
    if (number < 1 || number >= form->MSFlexGrid1->Rows())
        return;
    form->MSFlexGrid1->setRow(number);
    Module1::ViewNote();
}

} // namespace NotesProcedures

namespace Module1 {

void LoadNoteList()
{
    NotesProcedures::FillNoteList();
    NotesProcedures::ResetPad();
}

void SaveNote()
{
    NotesWindow *form = Forms::Form2();
    // The list shows the file as it was loaded: a filling put off runs before the file changes.
    form->MSFlexGrid1->ensureFilled();
    const QString name = form->Text2->text();
    int appended = 0;
    const StoreResult result = NoteStore().SaveNoteByName(name, form->Text1->text(), &appended);
    if (!result.ok()) {
        MessageBox::show(result.message);
        return;
    }
    if (appended > 0) {
        // A new note is only appended to the list, as the last row.
        FlexGrid *list = form->MSFlexGrid1;
        const int row = list->Rows();
        list->setRows(row + 1);
        list->setTextMatrix(row, 0, QString::number(appended));
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
    form->Text1->setText(StoredText::trimBlanks(note.NoteText));
    form->Text2->setText(StoredText::trimBlanks(note.NoteName));
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
