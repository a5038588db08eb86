// The main window: choose a source file and a save folder, pick split by size
// or by count, and start the split. There is one main window at a time.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>

#include "split_types.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QThread;
class QTimer;
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

    // The window's controls, named as the window's layout names them.
    QGroupBox* Frame1;
    QLabel* Label2;
    QLineEdit* Text1;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* savepath1;
    QPushButton* Command1;
    QPushButton* Command3;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QRadioButton* Option1;
    QLabel* Label3;
    QLineEdit* Text2;
    QLabel* Label4;
    QRadioButton* Option2;
    QLabel* Label7;
    QLineEdit* Text3;
    QLabel* Label6;
    QPushButton* Command4;
    QGroupBox* Frame4;
    ClickableLabel* ztl;
    LineControl* Line1;
    QLineEdit* Text4;
    ClickableLabel* Label5;
    QTimer* Timer1;
    QTimer* Timer2;

    // The help link's left edge in twips, kept fractional so its motion is
    // smooth at any DPI.
    double label5Left() const { return label5Left_; }
    void setLabel5Left(double twips);

    static constexpr double kClientWidth = 7185;
    static constexpr double kClientHeight = 3810;

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Label5_Click();
    void ztl_Click();
    void Text2_Change();
    void Text3_Change();

signals:
    // The split that Start began has ended and the window shows its result.
    void splitFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void orderTabs();
    void bounceFocus(QLineEdit* box);
    bool filterDigitKey(QKeyEvent* event);
    bool filterDigitInput(QInputMethodEvent* event);
    void showSplitOutcome();
    void applyBrowseResult();

    // What the file-open dialog remembers between uses.
    QString dialogFileName_;
    QString dialogFileTitle_;

    double label5Left_ = 240;

    QThread* worker_ = nullptr;
    std::atomic<bool> stopSplit_{false};
    tovane::SplitOutcome outcome_;
};
