// Fonts that show Simplified Chinese letter forms on any machine: fontconfig
// picks Japanese forms for Chinese text under a non-Chinese locale unless a
// Simplified Chinese face is named first.
#pragma once

#include <QFont>
#include <QStringList>

class QApplication;

namespace InterfaceFonts {

// The default interface font for every window, with a Chinese fallback.
void apply(QApplication& application);
// "宋体" at the given size, falling back to faces Linux machines have.
QFont songTi(double pointSize);
QStringList songTiFamilies();

}  // namespace InterfaceFonts
