// The main window: choose a source file and a save folder, pick a way to
// split and start the split. There is one main window at a time. Its
// controls carry the names of its layout (Text1, Command4 …), and its
// handlers are named after them (Command4_Click); the jobs it hands on have
// classes of their own: the number boxes (DigitBox), the
// status line (StatusLine), the ways to split (SplitWays), the run
// (SplitRunner) and the chapters of the chosen book with their list
// (BookChapters).
#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <vector>

#include "split/split_types.h"

class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QTimer;
class BookChapters;
class ClickableLabel;
class DigitBox;
class LineControl;
class OptionMark;
class PathBox;
class SplitRunner;
class SplitWays;
class StatusLine;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The main window if one is open, or nullptr.
    static Form1* instance();
    // The open main window, or a new one (not yet shown) if there is none.
    static Form1* ensureInstance(bool* created = nullptr);

    // Puts a folder chosen in the picker into the open main window's save
    // folder, opening a new main window first if the last one was closed.
    static void receiveSaveFolder(const QString& folder);

    // Fills the source path and base name as Browse does, for a file given on
    // the command line or dropped on the window.
    void chooseSource(const QString& path);

    bool isSplitting() const;
    // The way the window splits now (see split/ways/).
    tovane::SplitMode mode() const;

    // The help link's left edge in twips, kept fractional so its motion is
    // smooth at any DPI.
    double label5Left() const { return label5Left_; }
    void setLabel5Left(double twips);

    static constexpr double kClientWidth = 7185;
    static constexpr double kClientHeight = 3810;

public slots:
    void Command1_Click();      // Settings: opens the save-folder picker
    void Command2_Click();      // Browse: chooses the source file
    void Command3_Click();      // Open: shows the save folder in the file manager
    void Command4_Click();      // Start: checks the fields and starts the split
    void Timer1_Timer();        // holds the window at its size
    void Timer2_Timer();        // slides the help link along
    void Label5_Click();        // the help link: opens the page on garbled parts
    void ztl_Click();           // the status line: opens the home page
    void Text2_Change();        // typing a size selects split by size
    void Text3_Change();        // typing a count selects split by count
    void chooseWay(int entry);  // an entry of the menu of ways
    void showChapters();        // the list of the chosen book's chapters
    void askToStop();           // Start or Escape during a run

signals:
    // The split that Start began has ended and the window shows its result.
    void splitFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void setUpControls();
    void connectHandlers();
    void startTimers();
    void applyBrowseResult();
    QString droppedFile(const QMimeData* dropped) const;
    void chaptersFound();
    void followChoice();
    void showChoice();
    void refreshChapterList();
    void showSplitOutcome();
    void sayNotSplit(const QString& baseName);
    void showProgress(const tovane::SplitProgress& now);
    void holdSettingsStill(bool hold);
    void openPage(const QUrl& page);

    QGroupBox* Frame1;       // "基本设置": the source and the save folder
    QLabel* Label2;          // "TxT文件："
    PathBox* Text1;          // the source path, set by Browse; never takes the focus
    QPushButton* Command2;   // Browse
    QLabel* Label1;          // "保存到："
    PathBox* savepath1;      // the save folder, set by the picker; never takes the focus
    QPushButton* Command1;   // Settings
    QPushButton* Command3;   // Open folder
    QGroupBox* Frame2;       // the split settings
    QGroupBox* Frame3;       // the plain box under the settings' words
    OptionMark* Option1;     // split by size (only its mark shows)
    QLabel* Label3;          // "每"
    DigitBox* Text2;         // kilobytes per part, digits only
    QLabel* Label4;          // "KB分割成一个文件", or the way's words
    OptionMark* Option2;     // split by count (only its mark shows)
    QLabel* Label7;          // "平均分割成", or the way's words
    DigitBox* Text3;         // number of parts (or of chapters), digits only
    QLabel* Label6;          // "个文件", or the way's words
    QPushButton* Command4;   // Start
    QGroupBox* Frame4;       // "状态栏"
    StatusLine* ztl;         // the status line, in red; a click opens the home page
    LineControl* Line1;      // the blue line under the status line
    QLineEdit* Text4;        // hidden: base name of the parts, set by Browse
    ClickableLabel* Label5;  // the help link that slides along
    QTimer* Timer1;          // 50 ms: the size lock
    QTimer* Timer2;          // 10 ms: the marquee

    // What the file-open dialog remembers between uses.
    QString dialogFileName_;
    QString dialogFileTitle_;
    double label5Left_ = 240;

    SplitWays* ways_ = nullptr;
    SplitRunner* runner_ = nullptr;
    BookChapters* chapters_ = nullptr;      // of the chosen book
    bool statusShowsChoice_ = false;        // the status line names the chosen file
    QString baseName_;                      // of the run under way or last run
    QPair<QString, QString> statusBefore_;  // the status line before the run
    bool statusShowedChoice_ = false;
    std::vector<bool> heldEnabled_;  // the settings' states before the run
};
