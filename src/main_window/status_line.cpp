#include "main_window/status_line.h"

#include <QFontMetrics>
#include <algorithm>

void StatusLine::showFitted(const QString& text, const QString& name) {
    const QFontMetrics metrics(font());
    const int room = contentsRect().width();
    const qsizetype at = name.isEmpty() ? -1 : text.indexOf(name);
    if (metrics.horizontalAdvance(text) <= room || at < 0) {
        setText(text);
        setToolTip(QString());
        return;
    }
    const QString before = text.left(at);
    const QString after = text.mid(at + name.size());
    const int nameRoom = std::max(0, room - metrics.horizontalAdvance(before + after));
    setText(before + metrics.elidedText(name, Qt::ElideMiddle, nameRoom) + after);
    setToolTip(text);
}

void StatusLine::restore(const QPair<QString, QString>& shown) {
    setText(shown.first);
    setToolTip(shown.second);
}
