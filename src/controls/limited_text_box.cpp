#include "controls/limited_text_box.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Line breaks of any kind become LF, the editor's own line break.
QString withLfBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

LimitedTextBox::LimitedTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab moves the focus on to the next control, as in every other text box of the program.
    setTabChangesFocus(true);
}

QString LimitedTextBox::text() const
{
    // The document's raw text, not toPlainText(), which turns a no-break space into a space.
    // Its paragraph and line separators (and an LF, should one get in) are the line breaks.
    const QString raw = document()->toRawText();
    QString text;
    text.reserve(raw.size() + 16);
    for (QChar c : raw) {
        if (isLineBreak(c))
            text.append(QLatin1String("\r\n"));
        else
            text.append(c);
    }
    return text;
}

void LimitedTextBox::setText(const QString &text)
{
    setPlainText(withLfBreaks(text));
}

int LimitedTextBox::textLength() const
{
    return lengthOf(document()->toRawText());
}

int LimitedTextBox::lengthOf(QStringView text)
{
    qsizetype length = text.size();
    for (QChar c : text) {
        if (isLineBreak(c))
            ++length;
    }
    return int(length);
}

int LimitedTextBox::roomForInsertion() const
{
    if (m_maxLength <= 0)
        return std::numeric_limits<int>::max();
    const int selected = lengthOf(textCursor().selectedText());
    return std::max(0, m_maxLength - (textLength() - selected));
}

QString LimitedTextBox::fitting(const QString &text, int room)
{
    int used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const int weight = isLineBreak(text.at(end)) ? 2 : 1;
        if (used + weight > room)
            break;
        // Keep a surrogate pair together.
        if (text.at(end).isHighSurrogate() && end + 1 < text.size()) {
            if (used + 2 > room)
                break;
            used += 2;
            end += 2;
            continue;
        }
        used += weight;
        ++end;
    }
    return text.left(end);
}

void LimitedTextBox::keyPressEvent(QKeyEvent *event)
{
    QString typed;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        typed = QStringLiteral("\n");
    } else {
        // The characters the editor would insert for this key; control characters it ignores.
        for (QChar c : event->text()) {
            if (c.isPrint() || c.isSurrogate())
                typed.append(c);
        }
    }
    if (!typed.isEmpty() && !isReadOnly() && lengthOf(typed) > roomForInsertion()) {
        // A full pad refuses the key, as a text box at its maximum length does.
        event->accept();
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Only plain text goes in, with LF line breaks, and only as much as the pad has room for.
    const QString text = withLfBreaks(source->text());
    const QString fits = fitting(text, roomForInsertion());
    if (fits.isEmpty() && !text.isEmpty()) {
        QApplication::beep();
        return;
    }
    QMimeData plain;
    plain.setText(fits);
    QPlainTextEdit::insertFromMimeData(&plain);
}

void LimitedTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty() || m_maxLength <= 0) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const QString fits = fitting(withLfBreaks(commit), roomForInsertion());
    if (fits == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(fits, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    event->accept();
}
