#pragma once

#include <QIcon>
#include <QImage>

// The main window's pictures and icons, embedded in the program.

QImage BannerPicture();    // `Image2`, across the top of the window, 716 x 56
QImage AboutPicture();     // `Image1` on the about page, 300 x 296
QIcon WindowIcon();        // the window's icon, 16 x 16
QIcon TrayIconPicture();   // the tray icon `TrayIcon1`, 32 x 32
