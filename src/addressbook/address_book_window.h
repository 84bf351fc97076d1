// Form3: the address book view, browsed by letter groups.
#pragma once

#include <QWidget>

class AddressBookWindow : public QWidget {
    Q_OBJECT
public:
    explicit AddressBookWindow(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
