// Form10: the dialog that deletes a launcher button.
#pragma once

#include <QWidget>

class DeleteButtonDialog : public QWidget {
    Q_OBJECT
public:
    explicit DeleteButtonDialog(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
