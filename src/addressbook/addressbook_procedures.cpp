#include "addressbook/addressbook_procedures.h"
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "addressbook/addressbook_forms.h"
#include "controls/keyboard.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "data/address_store.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// The calendar's birthday markers follow the file: the calendar's MarkCalendarDays, linked by
// the app layer.
void markCalendarDays()
{
    if (PartLinks::markCalendarDays)
        PartLinks::markCalendarDays();
}

} // namespace

namespace Module1 {

void FillAddressList()
{
    AddressBookWindow *book = Forms::Form3();
    QComboBox *list = book->Combo1;
    {
        // The rebuild itself is no pick of a name; the selection below is.
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(AddressStore().NamesOfLetterGroup(book->LetterGroup()));
        list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    }
    if (list->count() > 0)
        book->Combo1_Click();
}

void ShowAddressDetails()
{
    AddressBookWindow *book = Forms::Form3();
    const QString name = book->Combo1->currentText();
    const AddressStore store;
    const int position = name.isEmpty() ? -1 : store.FindAddressEntry(name);
    if (position < 0) {
        book->showEntry(nullptr);
        return;
    }
    const AddressEntry entry = store.ReadAddressEntry(position);
    book->showEntry(&entry);
}

void DeleteAddressEntry()
{
    const QString name = Forms::Form3()->Combo1->currentText();
    if (name.isEmpty())
        return;
    const StoreResult result = AddressStore().DeleteAddressEntry(name);
    if (result.ok())
        markCalendarDays();
    else if (result.status != StoreResult::NotFound)
        MessageBox::show(result.message);
}

void AddAddressEntry()
{
    AddressEntryEditor *editor = Forms::Form7();
    const AddressEntry entry = editor->entry();

    // The editor's own record of the entry it opened on decides between adding and replacing:
    // EditMode is shared with the appointment editor, which may have been opened since.
    AddressStore store;
    const StoreResult result = editor->EditedName.isEmpty()
                                   ? store.AddAddressEntry(entry)
                                   : store.ReplaceAddressEntry(editor->EditedName, entry);
    editor->EntryWritten = result.ok();
    if (result.ok())
        markCalendarDays();
    else if (result.status == StoreResult::NameTaken)
        MessageBox::show(QStringLiteral("Entry Already Exists!"));
    else
        MessageBox::show(result.message);
}

} // namespace Module1

namespace AddressBookProcedures {

void OpenAddressEntry(const QString &displayName)
{
    AddressBookWindow *book = Forms::Form3();
    ProgramFrame::showView(book);
    const QString group = LetterGroupOf(displayName);
    for (int i = 0; i < int(book->Command4.size()); ++i) {
        if (Keyboard::plainCaption(book->Command4[std::size_t(i)]->text()) == group) {
            book->Command4_Click(i);
            break;
        }
    }
    const int row = book->Combo1->findText(displayName, Qt::MatchExactly);
    if (row >= 0) {
        book->Combo1->setCurrentIndex(row);
        book->Combo1_Click();
    }
}

} // namespace AddressBookProcedures
