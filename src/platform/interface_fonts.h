// Fonts that show Simplified Chinese letter forms on any machine: fontconfig
// picks Japanese forms for Chinese text under a non-Chinese locale unless a
// Simplified Chinese face is named first.
#pragma once

#include <QFont>
#include <QStringList>

class QApplication;

class InterfaceFonts {
public:
    // The default interface font for every window, with a Chinese fallback.
    static void apply(QApplication& application);
    // "宋体" at the given size, falling back to faces Linux machines have.
    static QFont songTi(double pointSize);
    static QStringList songTiFamilies();
};
