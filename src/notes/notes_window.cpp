#include "notes/notes_window.h"

NotesWindow::NotesWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Notes"));
}

void NotesWindow::load()
{
}
