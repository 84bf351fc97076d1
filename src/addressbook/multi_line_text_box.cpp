#include "addressbook/multi_line_text_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include <limits>

namespace {

// A typed, pasted or stored line break in any of its forms becomes LF inside the box.
QString toBoxLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

// The length a text has once its line breaks are written as CR LF.
int storedLength(const QString &boxText)
{
    return int(boxText.size() + boxText.count(QLatin1Char('\n')));
}

} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab moves on to the next control, as in the program's other boxes.
    setTabChangesFocus(true);
}

QString MultiLineTextBox::text() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void MultiLineTextBox::setText(const QString &text)
{
    setPlainText(toBoxLineBreaks(text));
}

int MultiLineTextBox::textLength() const
{
    return storedLength(toPlainText());
}

int MultiLineTextBox::room() const
{
    if (m_maxLength <= 0)
        return std::numeric_limits<int>::max();
    const int selected = storedLength(toBoxLineBreaks(textCursor().selectedText()));
    return std::max(0, m_maxLength - textLength() + selected);
}

QString MultiLineTextBox::fitting(const QString &text) const
{
    const QString boxText = toBoxLineBreaks(text);
    const int left = room();
    int used = 0;
    qsizetype n = 0;
    for (; n < boxText.size(); ++n) {
        int cost = boxText[n] == QLatin1Char('\n') ? 2 : 1;
        // A surrogate pair is one character on screen: it goes in whole or not at all.
        if (boxText[n].isHighSurrogate() && n + 1 < boxText.size())
            cost = 2;
        if (used + cost > left)
            break;
        used += cost;
        if (cost == 2 && boxText[n] != QLatin1Char('\n'))
            ++n;
    }
    return boxText.left(n);
}

void MultiLineTextBox::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && m_maxLength > 0) {
        const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
        const bool inserts =
            lineBreak || (!typed.isEmpty() && typed.at(0).isPrint() &&
                          !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
        if (inserts && fitting(typed).size() < toBoxLineBreaks(typed).size()) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!isReadOnly() && m_maxLength > 0 && !event->commitString().isEmpty()) {
        const QString fit = fitting(event->commitString());
        if (fit != event->commitString()) {
            QInputMethodEvent trimmed(event->preeditString(), event->attributes());
            trimmed.setCommitString(fit, event->replacementStart(), event->replacementLength());
            QPlainTextEdit::inputMethodEvent(&trimmed);
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void MultiLineTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    const QString fit = fitting(source->text());
    QTextCursor cursor = textCursor();
    if (!fit.isEmpty() || cursor.hasSelection()) {
        cursor.insertText(fit);
        setTextCursor(cursor);
    }
    ensureCursorVisible();
}
