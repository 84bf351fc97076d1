#include "shell/module1.h"

// Placeholders until the windows of this area are built.
namespace Module1 {

void LoadDesktopButtons()
{
}

void AddDesktopButton()
{
}

void DeleteDesktopButton()
{
}

void ChangeDesktopButtonIcon()
{
}

QString CaptionFromPath(const QString &path)
{
    return path;
}

} // namespace Module1
