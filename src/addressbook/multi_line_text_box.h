// A multi-line text box. Its text is handed out and taken in with CR LF line breaks, as the
// address file stores them. With a maximum length set, the user cannot type, paste or drop
// more characters than it allows, a line break counting as the two characters CR LF.
#pragma once

#include <QPlainTextEdit>

class MultiLineTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget *parent = nullptr);

    // The text with CR LF line breaks.
    QString text() const;
    // Sets the text as it stands (CR LF or LF line breaks); the maximum length applies only to
    // what the user enters.
    void setText(const QString &text);
    // 0 = no limit.
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }
    // The length of text() (every line break counted as two characters).
    int textLength() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // How many characters may still be inserted in place of the current selection.
    int room() const;
    // The longest start of `text` that fits the room left.
    QString fitting(const QString &text) const;

    int m_maxLength = 0;
};
