#include "controls/keyboard.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

// Watches the keys that the window's controls leave unused: they reach the window itself.
class DialogKeys : public QObject {
public:
    DialogKeys(QWidget *window, QPushButton *defaultButton, QAbstractButton *cancelButton)
        : QObject(window), m_window(window), m_default(defaultButton), m_cancel(cancelButton)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if (modifiers != Qt::NoModifier &&
            !(modifiers == Qt::KeypadModifier && key->key() == Qt::Key_Enter))
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto *focused = qobject_cast<QPushButton *>(m_window->focusWidget());
            press(focused ? focused : m_default.data());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (m_cancel && m_cancel->isVisible())
                press(m_cancel);
            else
                m_window->close();
            return true;
        }
        return false;
    }

private:
    static void press(QAbstractButton *button)
    {
        if (button && button->isVisible() && button->isEnabled())
            button->click();
    }

    QWidget *m_window;
    QPointer<QPushButton> m_default;
    QPointer<QAbstractButton> m_cancel;
};

} // namespace

namespace Keyboard {

QString plainCaption(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        plain.append(caption.at(i));
    }
    return plain;
}

void nameComboBox(QComboBox *box, const QString &name)
{
    box->setAccessibleName(name);
    box->view()->setAccessibleName(name);
    if (box->lineEdit())
        box->lineEdit()->setAccessibleName(name);
}

void setDialogKeys(QWidget *window, QPushButton *defaultButton, QAbstractButton *cancelButton)
{
    // Drawn as the default button, which Enter presses.
    if (defaultButton)
        defaultButton->setDefault(true);
    new DialogKeys(window, defaultButton, cancelButton);
}

} // namespace Keyboard
