// A small read-only window that lists the chapters found in the chosen book:
// each heading with its line number, and how many there are.
#pragma once

#include <QWidget>

#include "split/chapters/chapter_map.h"

class QLabel;
class QTreeWidget;

class ChapterListWindow : public QWidget {
    Q_OBJECT
public:
    ChapterListWindow(const QString& fileTitle, const tovane::ChapterMap& chapters, QWidget* parent);

private:
    QTreeWidget* list_;
    QLabel* total_;
};
