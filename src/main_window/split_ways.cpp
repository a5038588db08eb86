#include "main_window/split_ways.h"

#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>

#include "main_window/digit_box.h"
#include "platform/engine_text.h"
#include "platform/window_texts.h"

namespace {

using tovane::firstOfMenuEntry;

}  // namespace

SplitWays::SplitWays(const Controls& controls, QWidget* window)
    : QObject(window), c_(controls), entries_(new QActionGroup(this)) {
    entries_->setExclusive(true);
    for (int entry = 1; entry <= tovane::lastMenuEntry(); ++entry) {
        QAction* action =
            entries_->addAction(EngineText::wordsToQt(firstOfMenuEntry(entry).menuText));
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
    for (QWidget* control : c_.withMenu) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, control](const QPoint& at) { showMenu(control, control->mapToGlobal(at)); });
    }
}

const tovane::SplitModeRow& SplitWays::way() const {
    if (entry_ == 1) {
        for (const tovane::SplitModeRow& row : tovane::kSplitModes) {
            const tovane::NumberBox marked =
                c_.sizeMark->isChecked() ? tovane::NumberBox::Size : tovane::NumberBox::Count;
            if (row.menuEntry == 1 && row.box == marked) return row;
        }
    }
    return firstOfMenuEntry(entry_);
}

bool SplitWays::padNumbers() const {
    return padNumbers_->isChecked() || titleNames();
}

bool SplitWays::titleNames() const {
    return titleNames_->isChecked() && way().cutsAtChapters;
}

bool SplitWays::toUtf8() const {
    return toUtf8_->isChecked();
}

QString SplitWays::numberText() const {
    return (way().box == tovane::NumberBox::Size ? c_.size : c_.count)->text();
}

void SplitWays::take(int entry) {
    if (entry == entry_) return;
    if (entry_ == 1) sizeMarked_ = c_.sizeMark->isChecked();
    const tovane::SplitModeRow& row = firstOfMenuEntry(entry);
    // The count box means parts or chapters; it shows the number it held for
    // the one the entry reads, given back without a change reported (which
    // would pick a way by itself).
    const bool chapters = row.number == tovane::SplitNumber::Chapters;
    if (chapters != countHoldsChapters_) {
        if (countHoldsChapters_) {
            countForChapters_ = c_.count->text();
            c_.count->restoreText(countForParts_);
        } else {
            countForParts_ = c_.count->text();
            if (chaptersVisited_) c_.count->restoreText(countForChapters_);
            chaptersVisited_ = true;
        }
        countHoldsChapters_ = chapters;
    }
    entry_ = entry;
    if (entry == 1) {
        (sizeMarked_ ? c_.sizeMark : c_.countMark)->setChecked(true);
    } else {
        (row.box == tovane::NumberBox::Size ? c_.sizeMark : c_.countMark)->setChecked(true);
    }
    showWords();
}

void SplitWays::showWords() {
    const tovane::SplitModeRow& row = firstOfMenuEntry(entry_);
    c_.afterSize->setText(EngineText::wordsToQt(row.afterSize));
    c_.beforeCount->setText(EngineText::wordsToQt(row.beforeCount));
    c_.afterCount->setText(EngineText::wordsToQt(row.afterCount));
    const bool both = entry_ == 1;
    for (QWidget* control :
         {static_cast<QWidget*>(c_.sizeMark), static_cast<QWidget*>(c_.beforeSize),
          static_cast<QWidget*>(c_.size), static_cast<QWidget*>(c_.afterSize)}) {
        control->setEnabled(both || row.box == tovane::NumberBox::Size);
    }
    for (QWidget* control :
         {static_cast<QWidget*>(c_.countMark), static_cast<QWidget*>(c_.beforeCount),
          static_cast<QWidget*>(c_.count), static_cast<QWidget*>(c_.afterCount)}) {
        control->setEnabled(both || row.box == tovane::NumberBox::Count);
    }
    entryActions_.at(entry_ - 1)->setChecked(true);
}

void SplitWays::showMenu(QWidget* control, const QPoint& at) {
    // An entry that names the size box's number ("不超过 N KB") shows it.
    const QString size = c_.size->text().isEmpty() ? QStringLiteral("N") : c_.size->text();
    for (int entry = 1; entry <= entryActions_.size(); ++entry) {
        entryActions_.at(entry - 1)->setText(
            EngineText::wordsToQt(firstOfMenuEntry(entry).menuText)
                .replace(QStringLiteral(" N "), QStringLiteral(" %1 ").arg(size)));
    }
    QMenu menu(control->window());
    menu.setObjectName(QStringLiteral("ModeMenu"));
    menu.addActions(entries_->actions());
    menu.addSeparator();
    titleNames_->setEnabled(way().cutsAtChapters);
    menu.addActions({padNumbers_, titleNames_, toUtf8_});
    menu.addSeparator();
    menu.addAction(showChapters_);
    if (auto* box = qobject_cast<DigitBox*>(control)) {
        QMenu* editing = box->createStandardContextMenu();
        editing->setParent(&menu, editing->windowFlags());
        menu.addSeparator();
        // The keys of the ways and ticks are this menu's: the editing entries
        // keep their shortcuts (Ctrl+Z …) but give up their letters (撤消(&U)
        // would take U from 输出为 UTF-8).
        static const QRegularExpression letter(QStringLiteral("\\(&.\\)|&"));
        for (QAction* action : editing->actions()) action->setText(action->text().remove(letter));
        menu.addActions(editing->actions());
    }
    menu.exec(at);
}

void SplitWays::showMenuFromKeyboard(QWidget* frame) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* control = c_.withMenu.contains(focus) ? focus : frame;
    showMenu(control, control->mapToGlobal(control->rect().center()));
}
