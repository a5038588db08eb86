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
    // The name keeps its start, where a book's title is, at least its first
    // few characters; what follows it gives way only when both can't fit.
    constexpr int kLeastCharacters = 10;
    const QString before = text.left(at);
    QString after = text.mid(at + name.size());
    const int nameWidth = metrics.horizontalAdvance(name);
    const int least =
        std::min(nameWidth, metrics.horizontalAdvance(name.left(kLeastCharacters) + QChar(0x2026)));
    const int nameRoom = std::max(least, room - metrics.horizontalAdvance(before + after));
    const QString shownName =
        nameRoom >= nameWidth ? name : metrics.elidedText(name, Qt::ElideRight, nameRoom);
    const int afterRoom = room - metrics.horizontalAdvance(before + shownName);
    if (metrics.horizontalAdvance(after) > afterRoom)
        after = metrics.elidedText(after, Qt::ElideRight, std::max(0, afterRoom));
    setText(before + shownName + after);
    setToolTip(text);
}

void StatusLine::restore(const QPair<QString, QString>& shown) {
    setText(shown.first);
    setToolTip(shown.second);
}
