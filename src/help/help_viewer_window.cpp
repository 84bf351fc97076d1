#include "help/help_viewer_window.h"

HelpViewerWindow::HelpViewerWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("Tallowby Help"));
}

void HelpViewerWindow::load()
{
}
