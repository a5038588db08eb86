// Window geometry is given in twips (1/1440 inch); this turns it into Qt's
// device-independent pixels from the screen's logical DPI (15 twips a pixel
// at 96 DPI), and back.
#pragma once

#include <QRect>

class QWidget;

class Twips {
public:
    // Twips per pixel of the screen `widget` is on (the primary one without a widget).
    static double perPixel(const QWidget* widget = nullptr);

    static int toPixels(double twips, const QWidget* widget = nullptr);
    static double fromPixels(int pixels, const QWidget* widget = nullptr);
    static QRect rect(double left, double top, double width, double height,
                      const QWidget* widget = nullptr);
};
