// Form11: the dialog that changes the picture of a launcher button.
#pragma once

#include <QWidget>

class ChangeIconDialog : public QWidget {
    Q_OBJECT
public:
    explicit ChangeIconDialog(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
