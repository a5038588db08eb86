#include "main_window/split_ways.h"

#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>

#include "main_window/digit_box.h"
#include "platform/window_texts.h"
#include "split/ways/ways.h"

namespace {

using tovane::SplitMode;

enum class NumberBox { Size, Count };

// Each way's face: the menu entry that reaches it (entry 1 reaches two, by
// the mark beside the box it reads), the box it reads, and the words of the
// entry and beside the boxes.
struct Face {
    SplitMode mode;
    int entry;
    NumberBox box;
    const QString* menu;
    const QString* afterSize;
    const QString* beforeCount;
    const QString* afterCount;
};

namespace T = WindowTexts;
const Face kFaces[] = {
    {SplitMode::BySize, 1, NumberBox::Size, &T::kModeBySize, &T::kLabel4, &T::kLabel7, &T::kLabel6},
    {SplitMode::ByCount, 1, NumberBox::Count, &T::kModeBySize, &T::kLabel4, &T::kLabel7,
     &T::kLabel6},
    {SplitMode::BySizeAtChapters, 2, NumberBox::Size, &T::kModeBySizeAtChapters,
     &T::kLabel4AtChapters, &T::kLabel7, &T::kLabel6},
    {SplitMode::ByMaxSize, 3, NumberBox::Size, &T::kModeByMaxSize, &T::kLabel4MaxSize, &T::kLabel7,
     &T::kLabel6},
    {SplitMode::ByChapters, 4, NumberBox::Count, &T::kModeByChapters, &T::kLabel4,
     &T::kLabel7PerPart, &T::kLabel6Chapters},
    {SplitMode::ByVolumes, 5, NumberBox::Count, &T::kModeByVolumes, &T::kLabel4, &T::kLabel7PerPart,
     &T::kLabel6Volumes},
};
constexpr int kLastEntry = 5;

// The encodings the book can be read in, in the order of their menu.
struct EncodingChoice {
    std::optional<tovane::Encoding> encoding;
    const QString* words;
};
const EncodingChoice kEncodings[] = {
    {std::nullopt, &T::kEncodingAuto},
    {tovane::Encoding::Gbk, &T::kEncodingGbk},
    {tovane::Encoding::Big5, &T::kEncodingBig5},
    {tovane::Encoding::Utf8, &T::kEncodingUtf8},
    {tovane::Encoding::Utf16Le, &T::kEncodingUtf16Le},
    {tovane::Encoding::Utf16Be, &T::kEncodingUtf16Be},
};

const Face& faceOf(SplitMode mode) {
    for (const Face& face : kFaces) {
        if (face.mode == mode) return face;
    }
    return kFaces[0];
}

const Face& firstFaceOf(int entry) {
    for (const Face& face : kFaces) {
        if (face.entry == entry) return face;
    }
    return kFaces[0];
}

}  // namespace

SplitWays::SplitWays(const Controls& controls, QWidget* window)
    : QObject(window), c_(controls), entries_(new QActionGroup(this)) {
    entries_->setExclusive(true);
    for (int entry = 1; entry <= kLastEntry; ++entry) {
        QAction* action = entries_->addAction(*firstFaceOf(entry).menu);
        action->setCheckable(true);
        action->setObjectName(QStringLiteral("Mode%1").arg(entry));
        connect(action, &QAction::triggered, this, [this, entry] { emit entryPicked(entry); });
        entryActions_.append(action);
    }
    entryActions_.first()->setChecked(true);
    showChapters_ = new QAction(WindowTexts::kShowChapters, this);
    showChapters_->setObjectName(QStringLiteral("ShowChapters"));
    const auto tick = [this](const QString& text, const char* name) {
        auto* action = new QAction(text, this);
        action->setCheckable(true);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    padNumbers_ = tick(WindowTexts::kPadNumbers, "PadNumbers");
    titleNames_ = tick(WindowTexts::kTitleNames, "TitleNames");
    toUtf8_ = tick(WindowTexts::kToUtf8, "ToUtf8");
    for (QAction* ticked : {padNumbers_, titleNames_, toUtf8_}) {
        connect(ticked, &QAction::toggled, this, &SplitWays::ticksChanged);
    }
    encodings_ = new QMenu(WindowTexts::kEncodingMenu, window);
    encodings_->setObjectName(QStringLiteral("EncodingMenu"));
    auto* encodingGroup = new QActionGroup(this);
    encodingGroup->setExclusive(true);
    for (std::size_t i = 0; i < std::size(kEncodings); ++i) {
        QAction* action = encodingGroup->addAction(*kEncodings[i].words);
        action->setCheckable(true);
        action->setChecked(i == 0);
        action->setObjectName(QStringLiteral("Encoding%1").arg(i));
        connect(action, &QAction::triggered, this, &SplitWays::encodingPicked);
        encodings_->addAction(action);
    }
    for (QWidget* control : c_.withMenu) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, control](const QPoint& at) { showMenu(control, control->mapToGlobal(at)); });
    }
}

const tovane::SplitWay& SplitWays::wayOfEntry(int entry) {
    return tovane::wayOf(firstFaceOf(entry).mode);
}

const tovane::SplitWay& SplitWays::way() const {
    if (entry_ == 1) {
        const NumberBox marked = c_.sizeMark->isChecked() ? NumberBox::Size : NumberBox::Count;
        for (const Face& face : kFaces) {
            if (face.entry == 1 && face.box == marked) return tovane::wayOf(face.mode);
        }
    }
    return wayOfEntry(entry_);
}

bool SplitWays::padNumbers() const {
    return padNumbers_->isChecked() || titleNames();
}

bool SplitWays::titleNames() const {
    return titleNames_->isChecked() && way().cutsAtChapters();
}

bool SplitWays::toUtf8() const {
    return toUtf8_->isChecked();
}

std::optional<tovane::Encoding> SplitWays::encoding() const {
    const QList<QAction*> entries = encodings_->actions();
    for (std::size_t i = 0; i < std::size(kEncodings); ++i) {
        if (entries.at(static_cast<int>(i))->isChecked()) return kEncodings[i].encoding;
    }
    return std::nullopt;
}

QString SplitWays::numberText() const {
    return (faceOf(way().mode).box == NumberBox::Size ? c_.size : c_.count)->text();
}

void SplitWays::take(int entry) {
    if (entry == entry_) return;
    if (entry_ == 1) sizeMarked_ = c_.sizeMark->isChecked();
    const Face& face = firstFaceOf(entry);
    // The count box means parts, chapters or volumes; it shows the number it
    // held for the one the entry reads (or keeps what it shows, the first
    // time), given back without a change reported (which would pick a way by
    // itself).
    const tovane::WayNumber means = entry != 1 && face.box == NumberBox::Count
                                        ? wayOfEntry(entry).number
                                        : tovane::WayNumber::Parts;
    if (means != countMeans_) {
        countFor_[static_cast<int>(countMeans_)] = c_.count->text();
        const auto held = countFor_.constFind(static_cast<int>(means));
        if (held != countFor_.constEnd()) c_.count->restoreText(*held);
        countMeans_ = means;
    }
    entry_ = entry;
    if (entry == 1) {
        (sizeMarked_ ? c_.sizeMark : c_.countMark)->setChecked(true);
    } else {
        (face.box == NumberBox::Size ? c_.sizeMark : c_.countMark)->setChecked(true);
    }
    showWords();
}

void SplitWays::showWords() {
    const Face& face = firstFaceOf(entry_);
    c_.afterSize->setText(*face.afterSize);
    c_.beforeCount->setText(*face.beforeCount);
    c_.afterCount->setText(*face.afterCount);
    const bool both = entry_ == 1;
    for (QWidget* control :
         {static_cast<QWidget*>(c_.sizeMark), static_cast<QWidget*>(c_.beforeSize),
          static_cast<QWidget*>(c_.size), static_cast<QWidget*>(c_.afterSize)}) {
        control->setEnabled(both || face.box == NumberBox::Size);
    }
    for (QWidget* control :
         {static_cast<QWidget*>(c_.countMark), static_cast<QWidget*>(c_.beforeCount),
          static_cast<QWidget*>(c_.count), static_cast<QWidget*>(c_.afterCount)}) {
        control->setEnabled(both || face.box == NumberBox::Count);
    }
    entryActions_.at(entry_ - 1)->setChecked(true);
}

void SplitWays::showMenu(QWidget* control, const QPoint& at) {
    // An entry that names the size box's number ("不超过 N KB") shows it.
    const QString size = c_.size->text().isEmpty() ? QStringLiteral("N") : c_.size->text();
    for (int entry = 1; entry <= entryActions_.size(); ++entry) {
        entryActions_.at(entry - 1)->setText(
            QString(*firstFaceOf(entry).menu)
                .replace(QStringLiteral(" N "), QStringLiteral(" %1 ").arg(size)));
    }
    QMenu menu(control->window());
    menu.setObjectName(QStringLiteral("ModeMenu"));
    menu.addActions(entries_->actions());
    menu.addSeparator();
    titleNames_->setEnabled(way().cutsAtChapters());
    menu.addActions({padNumbers_, titleNames_, toUtf8_});
    menu.addMenu(encodings_);
    menu.addSeparator();
    menu.addAction(showChapters_);
    if (auto* box = qobject_cast<DigitBox*>(control)) {
        QMenu* editing = box->createStandardContextMenu();
        editing->setParent(&menu, editing->windowFlags());
        menu.addSeparator();
        // The keys of the ways and ticks are this menu's: the editing entries
        // give up their letters (撤消(&U) would take U from 输出为 UTF-8). The
        // box takes digits alone from the keys, Ctrl+V and the like refused,
        // so the entries don't show keys that don't do what they say.
        static const QRegularExpression letter(QStringLiteral("\\(&.\\)|&"));
        for (QAction* action : editing->actions()) {
            action->setText(action->text().remove(letter).section(QLatin1Char('\t'), 0, 0));
            action->setShortcut(QKeySequence());
        }
        menu.addActions(editing->actions());
    }
    menu.exec(at);
}

void SplitWays::showMenuFromKeyboard(QWidget* frame) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* control = c_.withMenu.contains(focus) ? focus : frame;
    showMenu(control, control->mapToGlobal(control->rect().center()));
}
