#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace Twips {

double perPixel(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toPixels(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips / perPixel(widget)));
}

double fromPixels(int pixels, const QWidget* widget) {
    return pixels * perPixel(widget);
}

QRect rect(double left, double top, double width, double height, const QWidget* widget) {
    // Edges are rounded, not sizes, so that neighbours stay flush at any DPI.
    const int x = toPixels(left, widget);
    const int y = toPixels(top, widget);
    return {x, y, toPixels(left + width, widget) - x, toPixels(top + height, widget) - y};
}

void place(QWidget* control, double left, double top, double width, double height) {
    control->setGeometry(rect(left, top, width, height, control));
}

bool lockWindowSize(QWidget* window, double width, double height) {
    if (window->windowState() &
        (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return false;
    }
    const QSize locked(toPixels(width, window), toPixels(height, window));
    if (window->size() == locked) return false;
    window->setFixedSize(locked);
    return true;
}

}  // namespace Twips
