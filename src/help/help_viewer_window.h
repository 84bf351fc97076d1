// Form13: the help viewer.
#pragma once

#include <QWidget>

class HelpViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewerWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
