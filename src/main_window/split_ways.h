// The ways to split as the split settings show them: the menu of ways that a
// right click on the settings opens (the Menu key and Shift+F10 too), the
// words beside the number boxes, the box a way doesn't read greyed, and what
// each box held for the ways that read it. The ways themselves are the
// engine's (split/ways/); this is their face: each entry's words and the box
// it reads.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

#include "split/ways/split_way.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPoint;
class QRadioButton;
class QWidget;
class DigitBox;

class SplitWays : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QRadioButton* sizeMark;    // Option1
        QRadioButton* countMark;   // Option2
        QLabel* beforeSize;        // Label3
        DigitBox* size;            // Text2
        QLabel* afterSize;         // Label4
        QLabel* beforeCount;       // Label7
        DigitBox* count;           // Text3
        QLabel* afterCount;        // Label6
        QList<QWidget*> withMenu;  // every control a right click opens the menu on
    };
    SplitWays(const Controls& controls, QWidget* window);

    // The way the window splits now: entry 1 by size or by count, as its
    // marks say, or the way of a later entry.
    const tovane::SplitWay& way() const;
    int entry() const { return entry_; }
    // The first way an entry of the menu reaches, whose words it shows.
    static const tovane::SplitWay& wayOfEntry(int entry);
    // The number the way reads, as its box holds it.
    QString numberText() const;
    // Switches to menu entry `entry`: the words follow, the box it doesn't
    // read is greyed, and the box it reads shows what it held for it last.
    void take(int entry);
    // The entry for showing the chapters found, after the ways in the menu.
    QAction* showChaptersAction() const { return showChapters_; }
    // How the parts are named and written, as the menu's ticks say: titled
    // names only in the ways that cut at chapters.
    bool padNumbers() const;
    bool titleNames() const;
    bool toUtf8() const;
    // The encoding the book is to be read in, as the menu's choice says;
    // none: as its bytes tell (自动识别).
    std::optional<tovane::Encoding> encoding() const;
    // Opens the menu of ways for `control` at `at` (global).
    void showMenu(QWidget* control, const QPoint& at);
    // Opens it for the settings control with the focus, or the settings' frame.
    void showMenuFromKeyboard(QWidget* frame);

signals:
    // An entry of the menu was picked; the window decides whether it takes it.
    void entryPicked(int entry);
    // Another encoding was chosen to read the book in.
    void encodingPicked();
    // A tick of how the parts are named and written was set or taken off.
    void ticksChanged();

private:
    void showWords();

    Controls c_;
    QActionGroup* entries_;
    QList<QAction*> entryActions_;  // by entry, from 1
    QAction* showChapters_;
    QAction* padNumbers_;
    QAction* titleNames_;
    QAction* toUtf8_;
    QMenu* encodings_;  // its entries in the order of kEncodings
    int entry_ = 1;
    // What the count box held for each thing it counts (parts, chapters,
    // volumes) while it counts another, and the marks of entry 1.
    QHash<int, QString> countFor_;
    tovane::WayNumber countMeans_ = tovane::WayNumber::Parts;
    bool sizeMarked_ = true;
};
