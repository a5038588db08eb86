// The chapters of the book the main window has chosen: found on a thread of
// their own (ChapterScan), the ticks the reader took off in their list, the
// list itself, and what the status line says of them. A split takes the
// ticked chapters from here.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "split/chapters/chapter_map.h"
#include "split/ways/split_way.h"

class QWidget;
class ChapterListWindow;
class ChapterScan;

class BookChapters : public QObject {
    Q_OBJECT
public:
    explicit BookChapters(QWidget* window);

    // A book was chosen, to be read in `encoding` (none: as its bytes
    // tell): its chapters are found from now on, and no tick taken off
    // another book's carries over. An empty path chooses none.
    void choose(const std::string& path, const QString& fileTitle,
                std::optional<tovane::Encoding> encoding);
    // Whether the chosen book is looked over and has no chapter.
    bool knownToHaveNone();
    // The chapters a split of the chosen book cuts at: those found, less the
    // unticked ones; null while they aren't known.
    std::shared_ptr<const tovane::ChapterMap> cuts() const;
    // What the status line says of them after the chosen file's name, for
    // the way `way` reading `number`.
    QString hint(const tovane::SplitWay& way, const QString& number) const;
    // Whether the chapters cut at hold a volume's heading.
    bool hasVolumes() const;
    // The list of chapters, opened or brought up, and kept in step: the way
    // and the numbers in the boxes say which part each chapter goes into.
    void showList(const tovane::SplitWay& way, const QString& size, const QString& count);
    void refreshList(const tovane::SplitWay& way, const QString& size, const QString& count);
    void closeList();

signals:
    // The chosen book's chapters are known now.
    void found();
    // The reader ticked a chapter on or off.
    void ticksChanged();

private:
    bool has() const;
    // What the hint says of the chapters found.
    QString counted(const tovane::SplitWay& way, const QString& number) const;

    QWidget* window_;
    ChapterScan* scan_;
    std::string path_;
    QString fileTitle_;
    std::vector<bool> unticked_;
    QPointer<ChapterListWindow> list_;
};
