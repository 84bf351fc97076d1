// Form2: the notes view: a pad and the list of named notes.
#pragma once

#include <QWidget>

class NotesWindow : public QWidget {
    Q_OBJECT
public:
    explicit NotesWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
