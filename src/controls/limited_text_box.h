// A multi-line text box whose text goes to a data file with CR LF line breaks: the notes pad,
// the address and notes of an address entry, an appointment's description. With a maximum
// length, a line break counts two characters, as it does in the file; the user cannot type,
// paste, drop or compose text beyond the maximum. Text set by the program is taken as it
// stands.
#pragma once

#include <QPlainTextEdit>

class LimitedTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedTextBox(QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int maxLength) { m_maxLength = maxLength; }

    // The text exactly as the box holds it, with its line breaks as CR LF, as the files keep
    // them. Every other character comes back as it went in (a no-break space stays one).
    QString text() const;
    // Sets the text; CR LF (and a lone CR or LF) becomes a line break.
    void setText(const QString &text);
    // Length of the text as the file counts it: every line break is two characters.
    int textLength() const;

    // Length of a text as the file counts it: a line break (LF, or the paragraph and line
    // separators of the editor) counts two characters.
    static int lengthOf(QStringView text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // Room left for text that replaces the current selection.
    int roomForInsertion() const;
    // The longest start of `text` that fits into `room` (never half a line break).
    static QString fitting(const QString &text, int room);

    int m_maxLength = 0; // 0 = no limit
};
