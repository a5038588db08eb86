// The main window: choose a source file and a save folder, pick split by size
// or by count, and start the split. There is one main window at a time. Its
// controls carry the names users and the help pages know them by.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <vector>

#include "split/split_types.h"

class QAction;
class QActionGroup;
class QGroupBox;
class QShortcut;
class QDragEnterEvent;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLabel;
class QMimeData;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QThread;
class QTimer;
class ChapterListWindow;
class ChapterScan;
class ClickableLabel;
class LineControl;

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
    // the command line.
    void chooseSource(const QString& path);

    bool isSplitting() const { return worker_ != nullptr; }

    // The ways to split, chosen in the menu of the split settings: by size
    // (or by count, with Option2), by size ending at chapters, under a strict
    // cap, by chapters.
    enum class Mode { BySize, BySizeAtChapters, ByMaxSize, ByChapters };
    Mode mode() const { return mode_; }

    // The help link's left edge in twips, kept fractional so its motion is
    // smooth at any DPI.
    double label5Left() const { return label5Left_; }
    void setLabel5Left(double twips);

    static constexpr double kClientWidth = 7185;
    static constexpr double kClientHeight = 3810;

public slots:
    void Command1_Click();       // Settings: opens the save-folder picker
    void Command2_Click();       // Browse: chooses the source file
    void Command3_Click();       // Open: shows the save folder in the file manager
    void Command4_Click();       // Start: checks the fields and starts the split
    void Timer1_Timer();         // holds the window at its size
    void Timer2_Timer();         // slides the help link along
    void Label5_Click();         // the help link: opens the page on garbled parts
    void ztl_Click();            // the status line: opens the home page
    void Text2_Change();         // typing a size selects split by size
    void Text3_Change();         // typing a count selects split by count
    void chooseMode(Mode mode);  // the menu of the split settings
    void showChapters();         // the list of the chosen book's chapters
    void askToStop();            // Start or Escape during a run

signals:
    // The split that Start began has ended and the window shows its result.
    void splitFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void setUpControls();
    void connectHandlers();
    void buildModeMenu();
    void startTimers();
    void showModeMenu(QWidget* control, const QPoint& at);
    void applyMode();
    bool sourceHasChapters();
    void waitForChapterScan();
    std::string chosenSource() const;
    void showChoice();
    QString chaptersHint() const;
    void bounceFocus(QLineEdit* box);
    bool filterDigitKey(QKeyEvent* event);
    bool filterDigitInput(QInputMethodEvent* event);
    void showSplitOutcome();
    void showProgress(const tovane::SplitProgress& now);
    void showStatus(const QString& text, const QString& name);
    void holdSettingsStill(bool hold);
    void stopWorker();
    void applyBrowseResult();
    QString droppedFile(const QMimeData* dropped) const;

    QGroupBox* Frame1;       // "基本设置": the source and the save folder
    QLabel* Label2;          // "TxT文件："
    QLineEdit* Text1;        // the source path, set by Browse; never takes the focus
    QPushButton* Command2;   // Browse
    QLabel* Label1;          // "保存到："
    QLineEdit* savepath1;    // the save folder, set by the picker; never takes the focus
    QPushButton* Command1;   // Settings
    QPushButton* Command3;   // Open folder
    QGroupBox* Frame2;       // the split settings
    QGroupBox* Frame3;       // the plain box under the settings' words
    QRadioButton* Option1;   // split by size (only its mark shows)
    QLabel* Label3;          // "每"
    QLineEdit* Text2;        // kilobytes per part, digits only
    QLabel* Label4;          // "KB分割成一个文件"
    QRadioButton* Option2;   // split by count (only its mark shows)
    QLabel* Label7;          // "平均分割成"
    QLineEdit* Text3;        // number of parts, digits only
    QLabel* Label6;          // "个文件"
    QPushButton* Command4;   // Start
    QGroupBox* Frame4;       // "状态栏"
    ClickableLabel* ztl;     // the status line, in red; a click opens the home page
    LineControl* Line1;      // the blue line under the status line
    QLineEdit* Text4;        // hidden: base name of the parts, set by Browse
    ClickableLabel* Label5;  // the help link that slides along
    QTimer* Timer1;          // 50 ms: the size lock
    QTimer* Timer2;          // 10 ms: the marquee

    // What the file-open dialog remembers between uses.
    QString dialogFileName_;
    QString dialogFileTitle_;

    double label5Left_ = 240;

    Mode mode_ = Mode::BySize;
    QActionGroup* modes_ = nullptr;
    QAction* modeActions_[4] = {};
    QAction* showChaptersAction_ = nullptr;
    ChapterScan* scan_ = nullptr;  // the chosen book's chapters
    QPointer<ChapterListWindow> chapterList_;
    QShortcut* stopKey_ = nullptr;
    bool statusShowsChoice_ = false;  // the status line names the chosen file

    QThread* worker_ = nullptr;
    std::atomic<bool> stopSplit_{false};
    tovane::SplitOutcome outcome_;
    QString baseName_;                      // of the run under way or last run
    QPair<QString, QString> statusBefore_;  // the status line and its tooltip before the run
    bool statusShowedChoice_ = false;
    std::vector<bool> heldEnabled_;  // the settings' states before the run
};
