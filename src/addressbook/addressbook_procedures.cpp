#include "addressbook/addressbook_procedures.h"
#include "addressbook/address_book_window.h"
#include "addressbook/address_entry_editor.h"
#include "addressbook/addressbook_forms.h"
#include "controls/date_picker.h"
#include "controls/limited_text_box.h"
#include "controls/program_frame.h"
#include "controls/seams.h"
#include "data/address_store.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

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
        for (QLineEdit *box : book->Text3)
            box->clear();
        book->Text1->setText(QString());
        book->Text5->clear();
        book->Text6->clear();
        book->Text7->setText(QString());
        book->Text8->clear();
        return;
    }
    const AddressEntry entry = store.ReadAddressEntry(position);
    book->Text1->setText(entry.Address);
    // The same reading of the flag as the calendar's markers.
    const bool hasBirthday = AddressStore::FlagIsOne(entry.HasBirthday);
    book->Text8->setVisible(hasBirthday);
    book->Label1[0]->setVisible(hasBirthday);
    book->Check1->setChecked(hasBirthday);
    book->Text8->setText(entry.BirthdayDate);
    book->Text5->setText(entry.EMail);
    book->Text6->setText(entry.HomePage);
    book->Text7->setText(entry.Notes);
    const QString phones[6] = {entry.PhoneHome,   entry.PhoneBusiness1, entry.PhoneBusiness2,
                               entry.PhoneMobile, entry.PhoneFax,       entry.PhoneOther};
    for (int k = 0; k < 6; ++k)
        book->Text3[size_t(k)]->setText(phones[k]);
    book->Text4->setText(entry.Name);
    book->Text10->setText(entry.Surname);
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
    QStringList phones;
    for (const QLineEdit *box : editor->Text3)
        phones.append(box->text());
    const AddressEntry entry = AddressStore::BuildEntry(
        editor->text2(0), editor->text2(1), editor->text2(2), phones, editor->DTPicker1->Value(),
        editor->Check1->isChecked(), editor->text2(3), editor->text2(4), editor->text2(5));

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
