// Form9: the launcher view (My Desktop).
#pragma once

#include <QWidget>

class DesktopWindow : public QWidget {
    Q_OBJECT
public:
    explicit DesktopWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
