#include "platform/interface_fonts.h"

#include <QApplication>

namespace {

const QStringList kSansFallbacks = {
    QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei")};

}  // namespace

namespace InterfaceFonts {

void apply(QApplication& application) {
    QFont font = application.font();
    QStringList families{font.family()};
    families += kSansFallbacks;
    font.setFamilies(families);
    application.setFont(font);
}

QStringList songTiFamilies() {
    return {QStringLiteral("宋体"),
            QStringLiteral("SimSun"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Serif SC"),
            QStringLiteral("AR PL UMing CN"),
            QStringLiteral("Noto Sans CJK SC")};
}

QFont songTi(double pointSize) {
    QFont font;
    font.setFamilies(songTiFamilies());
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace InterfaceFonts
