// A small window that lists the chapters found in the chosen book: each
// heading with its line, the part it goes into, whether it is a volume or a
// chapter, and the size of its chapter. Each place the split may cut at (a
// volume's heading and its chapter 1 are one) has a tick: a heading the
// reader knows is wrong is unticked and no longer cut at. It follows the
// book the main window has chosen, and closes with 关闭 or Escape.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "split/chapters/chapter_map.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

class ChapterListWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChapterListWindow(QWidget* parent);

    // The chapters of `fileTitle`: `dropped` marks the chapters unticked, and
    // `parts` the part each ticked one goes into (0: none).
    void showBook(const QString& fileTitle, std::shared_ptr<const tovane::ChapterMap> map,
                  const std::vector<bool>& dropped, const std::vector<std::uint64_t>& parts);
    // A book whose chapters can't be listed, and why.
    void showNone(const QString& fileTitle, const QString& why);

signals:
    // A tick was taken off or put back: the chapters now unticked.
    void ticksChanged(const std::vector<bool>& dropped);

private:
    void takeTick(QTreeWidgetItem* row);
    void showTotal();

    QTreeWidget* list_;
    QLabel* total_;
    std::shared_ptr<const tovane::ChapterMap> map_;
    std::vector<bool> dropped_;
    bool filling_ = false;
};
