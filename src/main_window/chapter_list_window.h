// A small read-only window that lists the chapters found in the chosen book:
// each heading with its line number, and how many there are.
#pragma once

#include <QWidget>

#include "split/chapter_list.h"

class QLabel;
class QTreeWidget;

class ChapterListWindow : public QWidget {
    Q_OBJECT
public:
    ChapterListWindow(const QString& fileTitle, const tovane::ChapterList& list, QWidget* parent);

private:
    QTreeWidget* list_;
    QLabel* total_;
};
