// Form7: the address entry editor.
#pragma once

#include <QWidget>

class AddressEntryEditor : public QWidget {
    Q_OBJECT
public:
    explicit AddressEntryEditor(QWidget *parent = nullptr);
    // Runs once, right after the window is created.
    void load();
};
