#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;

namespace artwork {

// Font families installed with the program's fonts: a Latin face for the
// product name and symbols, a CJK face for the Chinese texts.
inline constexpr const char* kLatinFamily = "DejaVu Sans";
inline constexpr const char* kChineseFamily = "WenQuanYi Zen Hei";

// What is printed on the cover of an address book.
enum class CoverEmblem { Contact, AtSign };

// An address book seen from the front: cover, page edges, ring binding on the
// left and index tabs on the right, filling bounds.
void PaintAddressBook(QPainter& painter, const QRectF& bounds, const QColor& cover, CoverEmblem emblem);

// A head-and-shoulders silhouette filling bounds.
void PaintContactSilhouette(QPainter& painter, const QRectF& bounds, const QColor& color);

// The program's pictures, each painted for a screen of the given scale (1 or
// 2): the sizes below are the pictures' own, in the screen's logical pixels.
QImage PaintBanner(int scale);        // 716 x 56, across the top of the main window
QImage PaintAboutPicture(int scale);  // 300 x 296, the about page
QImage PaintWindowIcon(int scale);    // 16 x 16, a pen with a contact badge
QImage PaintTrayIcon(int scale);      // 32 x 32, a contact-list page

// The program's icon in the desktop's icon theme, size x size.
QImage PaintApplicationIcon(int size);

// A canvas of width x height logical pixels for a screen of that scale: its
// painters draw in logical pixels.
QImage Canvas(int width, int height, int scale, QImage::Format format);
// A transparent canvas, ready for antialiased painting.
QImage TransparentCanvas(int width, int height, int scale = 1);

} // namespace artwork
