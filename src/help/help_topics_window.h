// Form12: the tree of help topics.
#pragma once

#include <QWidget>

class HelpTopicsWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpTopicsWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
