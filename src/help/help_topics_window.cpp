#include "help/help_topics_window.h"

HelpTopicsWindow::HelpTopicsWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Tallowby Help Topics"));
}

void HelpTopicsWindow::load()
{
}
