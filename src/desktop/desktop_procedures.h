// The launcher's procedures, and its hook for the reminder check that it runs after each close
// of its open-file dialog: the calendar's check, as the app layer links it; tests put their
// own function in its place.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Module1 {
// Caption and program path of each launcher button, by position, as of the last rebuild.
inline QStringList ButtonCaptions;
inline QStringList ButtonPaths;

void LoadDesktopButtons();
void AddDesktopButton();
QString CaptionFromPath(const QString &path);
void DeleteDesktopButton();
void ChangeDesktopButtonIcon();
} // namespace Module1

extern std::function<void()> DesktopReminderCheck;
