// The chapters of the book the main window has chosen: found on a thread of
// their own (ChapterScan), by the built-in rule or the reader's own form of
// heading; the reader's corrections (chapters taken out, lines passed over
// brought in), kept for the book while it stays as it was; the list itself;
// and what the status line says of them. A split takes the chapters as the
// reader chose them from here.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "split/chapters/chapter_map.h"
#include "split/ways/split_way.h"

class QWidget;
class ChapterListWindow;
class ChapterScan;
class QTimer;

class BookChapters : public QObject {
    Q_OBJECT
public:
    explicit BookChapters(QWidget* window);

    // A book was chosen, to be read in `encoding` (none: as its bytes
    // tell): its chapters are found from now on. The corrections made to it
    // before come back if it is the same file, unchanged; another book's
    // never carry over. An empty path chooses none.
    void choose(const std::string& path, const QString& fileTitle,
                std::optional<tovane::Encoding> encoding);
    // Whether the chosen book is looked over and has no chapter.
    bool knownToHaveNone();
    // The chapters a split of the chosen book cuts at, as the reader chose
    // them; null while they aren't known.
    std::shared_ptr<const tovane::ChapterMap> cuts() const;
    // What the status line says of them after the chosen file's name, for
    // the way `way` reading `number`, a phrase at a time; and the reader's
    // corrections among the choices that change the parts.
    QStringList about(const tovane::SplitWay& way, const QString& number) const;
    // The encoding the chosen book was read in, as the status line names it;
    // nothing for GBK, its users' own, or while it isn't known.
    QString readAs() const;
    static QString readAs(const tovane::SourceFormat& format);
    QStringList corrections() const;
    // The reader's corrections, for the status line: chapters taken out,
    // lines brought in, and the form of heading (empty: the built-in rule).
    std::size_t takenOut() const;
    std::size_t broughtIn() const;
    const QString& headingForm() const { return form_; }
    // Whether the chapters cut at hold a volume's heading.
    bool hasVolumes() const;
    // The list of chapters, opened or brought up, and kept in step: the way
    // and the numbers in the boxes say which part each chapter goes into.
    void showList(const tovane::SplitWay& way, const QString& size, const QString& count);
    void refreshList(const tovane::SplitWay& way, const QString& size, const QString& count);
    void closeList();

    // How often a scan going on is looked at; a test looks more often, to
    // see a small book's.
    static constexpr int kScanWatchMs = 400;
    void watchScanEvery(int ms);

signals:
    // The chosen book's chapters are known now.
    void found();
    // The reader changed the chapters: ticks, or the form of heading.
    void ticksChanged();
    // A long scan has read on: about() says how far.
    void scanProgressed();

private:
    bool has() const;
    // What the status line says of the chapters found.
    QString counted(const tovane::SplitWay& way, const QString& number) const;
    void choose(const tovane::ChapterChoice& choice);
    void takeHeadingForm(const QString& form);
    void scan();
    void remember();
    void recall();
    void applyChoice();

    QWidget* window_;
    ChapterScan* scan_;
    QTimer* scanWatch_;        // while a scan runs, tells how far it has come
    bool scanIsLong_ = false;  // it has run past the watch's first look
    std::string path_;
    QString fileTitle_;
    std::optional<tovane::Encoding> encoding_;
    QString form_;  // the reader's form of heading; empty: the built-in rule
    tovane::ChapterChoice choice_;
    std::shared_ptr<const tovane::ChapterMap> chosen_;
    // The corrections made to each book chosen, with the file as it was.
    struct Corrections {
        tovane::FileIdentity file;
        tovane::FileStamp stamp;
        QString form;
        tovane::ChapterChoice choice;
    };
    std::map<std::string, Corrections> corrections_;
    QPointer<ChapterListWindow> list_;
};
