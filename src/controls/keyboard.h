// The keyboard in the program's editors and dialogs: Enter presses the window's default button
// and Escape its cancel button, as in a dialog box, and buttons show their access keys. Also
// the names that a screen reader gives the parts of a combo box.
#pragma once

#include <QString>

class QAbstractButton;
class QComboBox;
class QPushButton;
class QWidget;

namespace Keyboard {

// A caption as it reads on screen: the "&" before its access key taken out, "&&" read as "&".
QString plainCaption(const QString &caption);

// In `window`, Enter presses `defaultButton` (or the push button that has the focus) and Escape
// presses `cancelButton`; without a cancel button, or while it is hidden, Escape closes the
// window as its close box does. Keys that the control with the focus uses itself, such as Enter
// in a multi-line box or in an open list, stay with that control.
void setDialogKeys(QWidget *window, QPushButton *defaultButton,
                   QAbstractButton *cancelButton = nullptr);

// Names a combo box for a screen reader, with its list and, when it is editable, its text box:
// a screen reader meets each of them on its own.
void nameComboBox(QComboBox *box, const QString &name);

} // namespace Keyboard
