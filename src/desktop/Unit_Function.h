#pragma once

#include <QString>

// Shell routines: the desktop launcher and the program's taskbar button.

// Writes (or rewrites) a launcher named name + ".desktop" in the user's desktop
// folder that starts target, with target's folder as working directory.
void CreateDesktopShortcut(const QString& target, const QString& name);

// Hides the application window and marks it as a tool window: no taskbar button.
void HideTaskbarButton();
// Shows the application window and clears the tool-window mark again.
void ShowTaskbarButton();
