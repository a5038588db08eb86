// Window geometry is given in twips (1/1440 inch); this turns it into Qt's
// device-independent pixels from the screen's logical DPI (15 twips a pixel
// at 96 DPI), and back.
#pragma once

#include <QRect>

class QWidget;

namespace Twips {

// Twips per pixel of the screen `widget` is on (the primary one without a widget).
double perPixel(const QWidget* widget = nullptr);

int toPixels(double twips, const QWidget* widget = nullptr);
double fromPixels(int pixels, const QWidget* widget = nullptr);
QRect rect(double left, double top, double width, double height, const QWidget* widget = nullptr);

// Puts a control at a place and size in twips within its container.
void place(QWidget* control, double left, double top, double width, double height);
// Fixes a window at a client size in twips. A minimized or maximized
// window is left alone, as it can't take a size then. True when the size
// had to be set.
bool lockWindowSize(QWidget* window, double width, double height);

}  // namespace Twips
