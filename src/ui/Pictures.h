#pragma once

#include "ui/ScaledPicture.h"

#include <QIcon>

// The main window's pictures and icons, embedded in the program, each drawn
// for screens of scale 1 and 2.

TScaledPicture BannerPicture();  // `Image2`, across the top of the window, 716 x 56
TScaledPicture AboutPicture();   // `Image1` on the about page, 300 x 296
QIcon WindowIcon();              // the window's icon, 16 x 16 and 32 x 32
QIcon TrayIconPicture();         // the tray icon `TrayIcon1`, 32 x 32 and 64 x 64
