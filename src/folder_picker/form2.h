// The save-folder picker: a drive list, a folder list and the chosen folder,
// which OK hands to the main window. There is one picker at a time.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class DriveListBox;
class FolderListBox;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // Shows the picker, modeless and without an owner: a new one when none is
    // open (it then starts afresh), otherwise the open one, raised; at
    // `folder` when it is one, centred on `over` when given, its folder list
    // taking the keys.
    static Form2* showInstance(bool* created = nullptr, const QString& folder = {},
                               const QWidget* over = nullptr);
    // The open picker, or nullptr.
    static Form2* instance();

    static constexpr double kClientWidth = 4800;
    static constexpr double kClientHeight = 3450;

public slots:
    void Form_Load();       // opens on the drive and folder the user saves to
    void Drive1_Change();   // moves the folder list to the chosen drive
    void Dir1_Change();     // shows the current folder, ending in a separator
    void Command1_Click();  // OK: hands the folder highlighted to the main window and closes
    void Timer1_Timer();    // holds the window at its size

signals:
    // OK was clicked with this folder (ending in a separator) in the box: the
    // one highlighted in the list.
    void folderChosen(const QString& folder);

private:
    void buildControls();
    void startTimer();
    void showFolder(const QString& folder);

    DriveListBox* Drive1;   // the drives
    FolderListBox* Dir1;    // the folders around the current one
    QLabel* Label1;         // "路径:"
    QLineEdit* Text1;       // the chosen folder; the user can't type into it
    QPushButton* Command1;  // OK
    QTimer* Timer1;         // 50 ms: the size lock
};
