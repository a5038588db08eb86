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
    // open (it then starts afresh), otherwise the open one, raised.
    static Form2* showInstance(bool* created = nullptr);
    // The open picker, or nullptr.
    static Form2* instance();

    DriveListBox* Drive1;
    FolderListBox* Dir1;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QTimer* Timer1;

    static constexpr double kClientWidth = 4800;
    static constexpr double kClientHeight = 3450;

public slots:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Timer1_Timer();

signals:
    // OK was clicked with this folder (ending in a separator) in the box.
    void folderChosen(const QString& folder);
};
