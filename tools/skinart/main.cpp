// Paints the bitmaps of Quillory's own skin: a calm slate-blue caption over
// light, softly rounded controls. Pictures hold their frames side by side,
// left to right, in the order normal, hot (mouse over), pressed, disabled (and
// further states where a control has them). Magenta marks transparent pixels.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor kTransparent(255, 0, 255);
const QColor kCaptionTop(0x4A, 0x6C, 0x8C);
const QColor kCaptionBottom(0x36, 0x55, 0x72);
const QColor kInactiveTop(0xA4, 0xB2, 0xC0);
const QColor kInactiveBottom(0x93, 0xA2, 0xB2);
const QColor kFace(0xEE, 0xF1, 0xF5);
const QColor kLine(0xA9, 0xB6, 0xC4);
const QColor kAccent(0x3D, 0x7C, 0xC0);
const QColor kGlyph(0x40, 0x4C, 0x58);

// One control state: fill from top to bottom and the outline.
struct Look {
    QColor top, bottom, line;
};
const Look kNormal{QColor(0xFF, 0xFF, 0xFF), QColor(0xE6, 0xEB, 0xF1), kLine};
const Look kHot{QColor(0xF4, 0xF9, 0xFF), QColor(0xD9, 0xE8, 0xF7), QColor(0x5B, 0x8D, 0xBF)};
const Look kPressed{QColor(0xC9, 0xDC, 0xF0), QColor(0xDA, 0xE7, 0xF5), QColor(0x3D, 0x6F, 0xA6)};
const Look kDisabled{QColor(0xF4, 0xF5, 0xF7), QColor(0xF4, 0xF5, 0xF7), QColor(0xCB, 0xD2, 0xDA)};
const Look kDefault{QColor(0xFF, 0xFF, 0xFF), QColor(0xE6, 0xEB, 0xF1), kAccent};
const Look kStates[] = {kNormal, kHot, kPressed, kDisabled};

QString g_folder;

void Save(const QImage& image, const QString& name)
{
    const QString path = g_folder + QLatin1Char('/') + name;
    if (!image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        std::fprintf(stderr, "skinart: cannot write %s\n", qPrintable(path));
}

// Paints count frames of size w x h side by side.
QImage Frames(int count, int w, int h, const std::function<void(QPainter&, int frame, QRectF)>& paint,
              QColor background = kTransparent)
{
    QImage image(count * w, h, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i)
        paint(painter, i, QRectF(i * w, 0, w, h));
    return image;
}

void Box(QPainter& p, QRectF r, const Look& look, qreal radius = 3)
{
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, look.top);
    fill.setColorAt(1, look.bottom);
    p.setPen(QPen(look.line, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void Arrow(QPainter& p, QPointF centre, qreal size, int direction, QColor colour)
{
    // direction: 0 up, 1 down, 2 left, 3 right
    QPolygonF triangle;
    const qreal s = size / 2;
    switch (direction) {
    case 0: triangle << centre + QPointF(-s, s / 2) << centre + QPointF(s, s / 2) << centre + QPointF(0, -s / 2); break;
    case 1: triangle << centre + QPointF(-s, -s / 2) << centre + QPointF(s, -s / 2) << centre + QPointF(0, s / 2); break;
    case 2: triangle << centre + QPointF(s / 2, -s) << centre + QPointF(s / 2, s) << centre + QPointF(-s / 2, 0); break;
    default: triangle << centre + QPointF(-s / 2, -s) << centre + QPointF(-s / 2, s) << centre + QPointF(s / 2, 0); break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(triangle);
}

void VerticalGradient(QPainter& p, QRectF r, QColor top, QColor bottom)
{
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.fillRect(r, fill);
}

// The window frame: a caption with rounded top corners, thin sides; active and inactive.
void PaintBorders()
{
    const auto caption = [](QPainter& p, int frame, QRectF r) {
        const bool active = frame == 0;
        QPainterPath path;
        path.addRoundedRect(r.adjusted(0, 0, 0, 8), 7, 7);
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, active ? kCaptionTop : kInactiveTop);
        fill.setColorAt(1, active ? kCaptionBottom : kInactiveBottom);
        p.setClipRect(r);
        p.fillPath(path, fill);
        p.setPen(QColor(255, 255, 255, 50));
        p.drawLine(QPointF(r.left() + 6, r.top() + 1.5), QPointF(r.right() - 6, r.top() + 1.5));
        p.setClipping(false);
    };
    Save(Frames(2, 120, 30, caption), "top.bmp");

    const auto side = [](QPainter& p, int frame, QRectF r) {
        p.fillRect(r, frame == 0 ? kCaptionBottom : kInactiveBottom);
        p.fillRect(r.adjusted(r.width() - 1, 0, 0, 0), kFace.darker(108));
    };
    Save(Frames(2, 4, 40, side), "left.bmp");
    Save(Frames(2, 4, 40, [&](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, frame == 0 ? kCaptionBottom : kInactiveBottom);
             p.fillRect(QRectF(r.left(), r.top(), 1, r.height()), kFace.darker(108));
         }),
         "right.bmp");
    Save(Frames(2, 120, 4, [](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, frame == 0 ? kCaptionBottom : kInactiveBottom);
             p.fillRect(QRectF(r.left() + 3, r.top(), r.width() - 6, 1), kFace.darker(108));
         }),
         "bottom.bmp");
    Save(Frames(1, 40, 22, [](QPainter& p, int, QRectF r) {
             VerticalGradient(p, r, QColor(0xF7, 0xF9, 0xFB), QColor(0xE9, 0xEE, 0xF3));
             p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), QColor(0xD3, 0xDB, 0xE4));
         }),
         "menubar.bmp");
}

// Caption buttons: three frames (normal, hot, pressed) of 26 x 20 on the caption.
void PaintCaptionButtons()
{
    const auto button = [](const std::function<void(QPainter&, QRectF)>& glyph, bool closing) {
        return Frames(3, 26, 20, [&](QPainter& p, int frame, QRectF r) {
            VerticalGradient(p, r, kCaptionTop, kCaptionBottom);
            if (frame > 0) {
                QColor hot = closing ? QColor(0xD2, 0x4B, 0x4B) : QColor(255, 255, 255);
                hot.setAlpha(closing ? (frame == 1 ? 230 : 255) : (frame == 1 ? 45 : 80));
                p.setPen(Qt::NoPen);
                p.setBrush(hot);
                p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 3, 3);
            }
            p.setPen(QPen(QColor(0xF4, 0xF7, 0xFA), 1.4));
            p.setBrush(Qt::NoBrush);
            glyph(p, r.adjusted(8, 5, -8, -5));
        });
    };
    Save(button([](QPainter& p, QRectF g) {
             p.drawLine(g.topLeft(), g.bottomRight());
             p.drawLine(g.topRight(), g.bottomLeft());
         }, true),
         "btnclose.bmp");
    Save(button([](QPainter& p, QRectF g) { p.drawRect(g.adjusted(0, 0, 0, -0.5)); }, false), "btnmax.bmp");
    Save(button([](QPainter& p, QRectF g) {
             p.drawRect(g.adjusted(0, 3, -3, 0));
             p.drawPolyline(QPolygonF{{g.left() + 3, g.top() + 1}, {g.left() + 3, g.top()}, g.topRight(),
                                      {g.right(), g.bottom() - 3}, {g.right() - 1, g.bottom() - 3}});
         }, false),
         "btnrestore.bmp");
    Save(button([](QPainter& p, QRectF g) { p.drawLine(QPointF(g.left(), g.bottom()), g.bottomRight()); }, false),
         "btnmin.bmp");
    // The system-menu button at the left: a small address book.
    Save(button([](QPainter& p, QRectF g) {
             const QRectF book = g.adjusted(0, -1, 0, 1);
             p.drawRoundedRect(book, 1.5, 1.5);
             p.drawLine(QPointF(book.left() + 3, book.top()), QPointF(book.left() + 3, book.bottom()));
         }, false),
         "btnmenu.bmp");

    // Controls of maximised child windows: minimise, restore, close; four states each.
    QImage mdi(12 * 16, 14, QImage::Format_RGB32);
    mdi.fill(kFace);
    QPainter p(&mdi);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 3; ++k) {
        for (int s = 0; s < 4; ++s) {
            const QRectF r((4 * k + s) * 16, 0, 16, 14);
            Box(p, r.adjusted(1, 0, -1, 0), kStates[s], 2);
            p.setPen(QPen(s == 3 ? kLine : kGlyph, 1.2));
            p.setBrush(Qt::NoBrush);
            const QRectF g = r.adjusted(5, 4, -5, -4);
            if (k == 0)
                p.drawLine(QPointF(g.left(), g.bottom()), g.bottomRight());
            else if (k == 1)
                p.drawRect(g);
            else {
                p.drawLine(g.topLeft(), g.bottomRight());
                p.drawLine(g.topRight(), g.bottomLeft());
            }
        }
    }
    p.end();
    Save(mdi, "mdicontrols.bmp");
}

void PaintButtons()
{
    const Look push[] = {kNormal, kHot, kPressed, kDisabled, kDefault};
    Save(Frames(5, 24, 24, [&](QPainter& p, int frame, QRectF r) { Box(p, r, push[frame], 4); }, kFace),
         "push.bmp");

    // Check and radio boxes: unchecked in four states, then checked in four.
    const auto toggle = [](bool round) {
        return Frames(8, 16, 16, [round](QPainter& p, int frame, QRectF r) {
            const Look& look = kStates[frame % 4];
            const QRectF box = r.adjusted(1.5, 1.5, -1.5, -1.5);
            Look boxLook = look;
            boxLook.line = frame % 4 == 3 ? kDisabled.line : (frame % 4 == 0 ? QColor(0x8E, 0x9D, 0xAD) : kAccent);
            if (round) {
                QLinearGradient fill(box.topLeft(), box.bottomLeft());
                fill.setColorAt(0, look.top);
                fill.setColorAt(1, look.bottom);
                p.setPen(QPen(boxLook.line, 1));
                p.setBrush(fill);
                p.drawEllipse(box);
            } else {
                Box(p, box.adjusted(-0.5, -0.5, 0.5, 0.5), boxLook, 2.5);
            }
            if (frame < 4)
                return;
            const QColor mark = frame == 7 ? kLine : kAccent;
            if (round) {
                p.setPen(Qt::NoPen);
                p.setBrush(mark);
                p.drawEllipse(r.center(), 3.2, 3.2);
            } else {
                p.setPen(QPen(mark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                p.drawPolyline(QPolygonF{r.topLeft() + QPointF(4.2, 8.2), r.topLeft() + QPointF(7, 11),
                                         r.topLeft() + QPointF(12, 5)});
            }
        }, kFace);
    };
    Save(toggle(false), "check.bmp");
    Save(toggle(true), "radio.bmp");
}

void PaintPanels()
{
    // Tabs: normal, hot, selected, disabled; the selected one joins the pane below.
    Save(Frames(4, 24, 22, [](QPainter& p, int frame, QRectF r) {
             const Look looks[] = {{QColor(0xF1, 0xF4, 0xF8), QColor(0xE4, 0xE9, 0xF0), kLine}, kHot,
                                   {QColor(0xFF, 0xFF, 0xFF), QColor(0xFF, 0xFF, 0xFF), kLine}, kDisabled};
             const QRectF tab = frame == 2 ? r.adjusted(0, 0, 0, 4) : r.adjusted(0, 2, 0, 4);
             p.setClipRect(r);
             Box(p, tab, looks[frame], 4);
             if (frame == 2)
                 p.fillRect(QRectF(r.left() + 2, r.top() + 1, r.width() - 4, 2), kAccent);
             p.setClipping(false);
         }, kFace),
         "tab.bmp");
    Save(Frames(1, 8, 8, [](QPainter& p, int, QRectF r) { p.fillRect(r, kLine); }), "tabborder.bmp");
    Save(Frames(1, 24, 24, [](QPainter& p, int, QRectF r) {
             p.fillRect(r, Qt::white);
             p.setPen(kLine);
             p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
         }),
         "tabpane.bmp");
    Save(Frames(1, 24, 24, [](QPainter& p, int, QRectF r) {
             p.setPen(QPen(QColor(0xC6, 0xD0, 0xDB), 1));
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
         }, kFace),
         "groupedge.bmp");
    Save(Frames(1, 24, 18, [](QPainter& p, int, QRectF r) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0xE2, 0xE9, 0xF1));
             p.drawRoundedRect(r.adjusted(0, 1, 0, -1), 8, 8);
         }, kFace),
         "grouplabel.bmp");
    Save(Frames(1, 24, 22, [](QPainter& p, int, QRectF r) {
             VerticalGradient(p, r, QColor(0xF2, 0xF5, 0xF8), QColor(0xE3, 0xE8, 0xEE));
             p.fillRect(QRectF(r.left(), r.top(), r.width(), 1), QColor(0xC9, 0xD2, 0xDC));
         }),
         "statusbar.bmp");
    Save(Frames(1, 24, 28, [](QPainter& p, int, QRectF r) {
             VerticalGradient(p, r, QColor(0xF8, 0xFA, 0xFC), QColor(0xE8, 0xED, 0xF2));
         }),
         "toolbar.bmp");
    Save(Frames(2, 12, 12, [](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, Qt::white);
             p.setPen(frame == 0 ? kLine : kAccent);
             p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
         }),
         "sunkedge.bmp");
    Save(Frames(3, 24, 22, [](QPainter& p, int frame, QRectF r) {
             const QColor top[] = {QColor(0xF7, 0xF9, 0xFB), QColor(0xEC, 0xF3, 0xFB), QColor(0xDB, 0xE6, 0xF2)};
             VerticalGradient(p, r, top[frame], QColor(0xE6, 0xEB, 0xF1));
             p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), kLine);
             p.fillRect(QRectF(r.right() - 1, r.top() + 4, 1, r.height() - 8), QColor(0xCC, 0xD5, 0xDF));
         }),
         "header.bmp");
}

void PaintMenus()
{
    Save(Frames(2, 24, 22, [](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, Qt::white);
             if (frame == 1)
                 Box(p, r.adjusted(2, 1, -2, -1), {QColor(0xE4, 0xEF, 0xFA), QColor(0xD6, 0xE6, 0xF6), QColor(0x9F, 0xC0, 0xE2)}, 3);
         }),
         "menuitem.bmp");
    Save(Frames(1, 24, 24, [](QPainter& p, int, QRectF r) {
             p.fillRect(r, Qt::white);
             p.fillRect(QRectF(r.left(), r.top(), 22, r.height()), QColor(0xF2, 0xF5, 0xF8));
             p.setPen(kLine);
             p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
         }),
         "menubg.bmp");
}

void PaintScrollBars()
{
    // Arrow buttons: up, down, left, right, each in four states.
    Save(Frames(16, 17, 17, [](QPainter& p, int frame, QRectF r) {
             const int direction = frame / 4, state = frame % 4;
             p.fillRect(r, QColor(0xF0, 0xF3, 0xF6));
             if (state != 0)
                 Box(p, r.adjusted(1, 1, -1, -1), kStates[state], 3);
             Arrow(p, r.center(), 7, direction, state == 3 ? kLine : kGlyph);
         }),
         "scrollbar.bmp");
    Save(Frames(1, 24, 17, [](QPainter& p, int, QRectF r) { p.fillRect(r, QColor(0xF0, 0xF3, 0xF6)); }), "hscroll.bmp");
    Save(Frames(1, 17, 24, [](QPainter& p, int, QRectF r) { p.fillRect(r, QColor(0xF0, 0xF3, 0xF6)); }), "vscroll.bmp");
    const QColor thumbs[] = {QColor(0xC2, 0xCC, 0xD7), QColor(0xA7, 0xB6, 0xC6), QColor(0x8A, 0x9C, 0xB0)};
    Save(Frames(3, 24, 17, [&](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, QColor(0xF0, 0xF3, 0xF6));
             p.setPen(Qt::NoPen);
             p.setBrush(thumbs[frame]);
             p.drawRoundedRect(r.adjusted(1, 4, -1, -4), 4.5, 4.5);
         }),
         "hthumb.bmp");
    Save(Frames(3, 17, 24, [&](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, QColor(0xF0, 0xF3, 0xF6));
             p.setPen(Qt::NoPen);
             p.setBrush(thumbs[frame]);
             p.drawRoundedRect(r.adjusted(4, 1, -4, -1), 4.5, 4.5);
         }),
         "vthumb.bmp");
}

void PaintRanges()
{
    Save(Frames(1, 24, 16, [](QPainter& p, int, QRectF r) { Box(p, r, {QColor(0xE9, 0xED, 0xF2), QColor(0xF5, 0xF7, 0xF9), kLine}, 4); }, kFace),
         "progress.bmp");
    Save(Frames(1, 10, 12, [](QPainter& p, int, QRectF r) {
             VerticalGradient(p, r, QColor(0x6F, 0xA8, 0xDC), QColor(0x3D, 0x7C, 0xC0));
         }),
         "chunk.bmp");
    const auto groove = [](bool vertical, QColor fill, QColor line) {
        return Frames(1, vertical ? 6 : 24, vertical ? 24 : 6, [=](QPainter& p, int, QRectF r) {
            p.setPen(line);
            p.setBrush(fill);
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        }, kFace);
    };
    Save(groove(false, QColor(0xDD, 0xE4, 0xEC), kLine), "track.bmp");
    Save(groove(true, QColor(0xDD, 0xE4, 0xEC), kLine), "trackvert.bmp");

    // Thumbs: normal, hot, pressed; plain ones and ones pointing to a side.
    const auto thumb = [](int w, int h, int pointing) {  // pointing: -1 none, else an Arrow direction
        return Frames(3, w, h, [=](QPainter& p, int frame, QRectF r) {
            const QRectF b = r.adjusted(1, 1, -1, -1);
            QPainterPath path;
            const qreal tip = 5;
            switch (pointing) {
            case 1: path.addPolygon(QPolygonF{b.topLeft(), b.topRight(), {b.right(), b.bottom() - tip}, {b.center().x(), b.bottom()}, {b.left(), b.bottom() - tip}, b.topLeft()}); break;
            case 0: path.addPolygon(QPolygonF{{b.center().x(), b.top()}, {b.right(), b.top() + tip}, b.bottomRight(), b.bottomLeft(), {b.left(), b.top() + tip}, {b.center().x(), b.top()}}); break;
            case 3: path.addPolygon(QPolygonF{b.topLeft(), {b.right() - tip, b.top()}, {b.right(), b.center().y()}, {b.right() - tip, b.bottom()}, b.bottomLeft(), b.topLeft()}); break;
            case 2: path.addPolygon(QPolygonF{{b.left(), b.center().y()}, {b.left() + tip, b.top()}, b.topRight(), b.bottomRight(), {b.left() + tip, b.bottom()}, {b.left(), b.center().y()}}); break;
            default: path.addRoundedRect(b, 3, 3); break;
            }
            QLinearGradient fill(b.topLeft(), b.bottomLeft());
            fill.setColorAt(0, kStates[frame].top);
            fill.setColorAt(1, kStates[frame].bottom);
            p.setPen(QPen(frame == 0 ? QColor(0x8E, 0x9D, 0xAD) : kAccent, 1));
            p.setBrush(fill);
            p.drawPath(path);
        });
    };
    Save(thumb(11, 20, -1), "thumbhorz.bmp");
    Save(thumb(20, 11, -1), "thumbvert.bmp");
    Save(thumb(20, 11, 2), "thumbleft.bmp");
    Save(thumb(20, 11, 3), "thumbright.bmp");
    Save(thumb(11, 20, 0), "thumbup.bmp");
    Save(thumb(11, 20, 1), "thumbdown.bmp");

    // Spin buttons: four states of the button face, and their arrows.
    Save(Frames(4, 16, 16, [](QPainter& p, int frame, QRectF r) { Box(p, r, kStates[frame], 2); }, kFace), "updownh.bmp");
    Save(Frames(4, 16, 10, [](QPainter& p, int frame, QRectF r) { Box(p, r, kStates[frame], 2); }, kFace), "updownv.bmp");
    Save(Frames(2, 8, 8, [](QPainter& p, int frame, QRectF r) { Arrow(p, r.center(), 6, frame == 0 ? 2 : 3, kGlyph); }), "glyphh.bmp");
    Save(Frames(2, 8, 8, [](QPainter& p, int frame, QRectF r) { Arrow(p, r.center(), 6, frame == 0 ? 0 : 1, kGlyph); }), "glyphv.bmp");
}

void PaintComboButton()
{
    Save(Frames(4, 17, 20, [](QPainter& p, int frame, QRectF r) {
             p.fillRect(r, Qt::white);
             if (frame == 1 || frame == 2)
                 Box(p, r.adjusted(1, 1, -1, -1), kStates[frame], 2);
             Arrow(p, r.center() + QPointF(0, 1), 8, 1, frame == 3 ? kLine : kGlyph);
         }),
         "combo.bmp");
}

// The neutral grooves the program carries for skins without their own.
void PaintBuiltins()
{
    const auto groove = [](bool vertical) {
        return Frames(1, vertical ? 6 : 24, vertical ? 24 : 6, [](QPainter& p, int, QRectF r) {
            p.fillRect(r, QColor(0x80, 0x80, 0x80));
            p.fillRect(r.adjusted(1, 1, -1, -1), QColor(0xD4, 0xD4, 0xD4));
        });
    };
    const QString skinFolder = g_folder;
    g_folder = skinFolder + QStringLiteral("/builtin");
    QDir().mkpath(g_folder);
    Save(groove(false), "TRACK.bmp");
    Save(groove(true), "TRACKVERT.bmp");
    g_folder = skinFolder;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skinart <skin folder>\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    PaintBorders();
    PaintCaptionButtons();
    PaintButtons();
    PaintPanels();
    PaintMenus();
    PaintScrollBars();
    PaintRanges();
    PaintComboButton();
    PaintBuiltins();
    return 0;
}
