#include "desktop/desktop_window.h"

DesktopWindow::DesktopWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("My Desktop"));
}

void DesktopWindow::load()
{
}
