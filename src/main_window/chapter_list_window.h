// A small window that lists the chapters found in the chosen book: each
// heading with its line, the part it goes into, whether it is a volume or a
// chapter, and the size of its chapter; and, in grey with the reason, each
// line that read as a heading and was passed over. A tick takes a chapter
// out or brings a line passed over in, one row or all those selected at once
// (Space, or the right-click menu); a form of heading typed in the box above
// (第*章) finds the headings instead of the built-in rule. It follows the
// book the main window has chosen, and closes with 关闭 or Escape.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "split/chapters/chapter_map.h"

class QLabel;
class QLineEdit;
class QTableView;
class QTimer;
class ChapterListModel;

class ChapterListWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChapterListWindow(QWidget* parent);

    // The chapters of `fileTitle` as found, the reader's `choice` and the
    // `chosen` chapters it makes, with the part each of those goes into
    // (empty: the split doesn't cut at chapters, and the column is hidden).
    void showBook(const QString& fileTitle, std::shared_ptr<const tovane::ChapterMap> found,
                  const tovane::ChapterChoice& choice,
                  std::shared_ptr<const tovane::ChapterMap> chosen,
                  const std::vector<std::uint64_t>& parts);
    // A book whose chapters can't be listed, and why.
    void showNone(const QString& fileTitle, const QString& why);
    // The form of heading in use, and what is wrong with it (empty: nothing).
    void showHeadingForm(const QString& form, const QString& problem);

signals:
    // The reader ticked rows on or off: the choice they make.
    void choiceChanged(const tovane::ChapterChoice& choice);
    // The reader typed a form of heading and paused (empty: the built-in rule).
    void headingFormChanged(const QString& form);

private:
    void buildList();
    void buildHeadingForm();
    void tickSelected(bool tick);

    QLineEdit* form_;
    QLabel* formState_;
    QTimer* formPause_;
    QTableView* list_;
    ChapterListModel* model_;
    QLabel* total_;
};
