#include "main_window/chapter_list_window.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/chapter_list_model.h"
#include "platform/window_setup.h"
#include "platform/window_texts.h"

namespace {

// A pause in typing this long takes the form of heading typed.
constexpr int kFormPauseMs = 400;

}  // namespace

ChapterListWindow::ChapterListWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    WindowSetup::setUp(this, QStringLiteral("ChapterList"), WindowTexts::chapterListTitle({}));
    setAttribute(Qt::WA_DeleteOnClose);
    buildHeadingForm();
    buildList();
    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("ChapterTotal"));
    auto* close = new QPushButton(WindowTexts::kClose, this);
    close->setObjectName(QStringLiteral("CloseChapters"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    auto* formRow = new QHBoxLayout;
    auto* formLabel = new QLabel(WindowTexts::kHeadingFormLabel, this);
    formLabel->setBuddy(form_);
    formRow->addWidget(formLabel);
    formRow->addWidget(form_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(total_, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formRow);
    layout->addWidget(formState_);
    layout->addWidget(list_);
    layout->addLayout(bottom);
    setTabOrder(form_, list_);
    setTabOrder(list_, close);
    resize(600, 500);
    // The rows take the keys as the list opens: Space ticks the one chosen.
    list_->setFocus();
}

// The form of heading typed is taken once typing pauses.
void ChapterListWindow::buildHeadingForm() {
    form_ = new QLineEdit(this);
    form_->setObjectName(QStringLiteral("HeadingForm"));
    form_->setPlaceholderText(WindowTexts::kHeadingFormHint);
    form_->setClearButtonEnabled(true);
    formState_ = new QLabel(this);
    formState_->setObjectName(QStringLiteral("HeadingFormState"));
    formState_->setVisible(false);
    formPause_ = new QTimer(this);
    formPause_->setSingleShot(true);
    formPause_->setInterval(kFormPauseMs);
    connect(form_, &QLineEdit::textEdited, formPause_, qOverload<>(&QTimer::start));
    connect(formPause_, &QTimer::timeout, this,
            [this] { emit headingFormChanged(form_->text().trimmed()); });
    connect(form_, &QLineEdit::returnPressed, this, [this] {
        formPause_->stop();
        emit headingFormChanged(form_->text().trimmed());
    });
}

// One row a heading or a line passed over; columns measured once, so that a
// change of ticks or parts repaints the rows in sight and measures nothing.
void ChapterListWindow::buildList() {
    model_ = new ChapterListModel(this);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("Chapters"));
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setAlternatingRowColors(true);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    const QFontMetrics metrics = fontMetrics();
    const int check = 28;  // the tick's box and its margins
    header->resizeSection(ChapterListModel::kLine,
                          metrics.horizontalAdvance(QStringLiteral("0000000")) + check);
    header->resizeSection(ChapterListModel::kPart,
                          metrics.horizontalAdvance(QStringLiteral("00000")) + 12);
    header->resizeSection(ChapterListModel::kLevel,
                          metrics.horizontalAdvance(QStringLiteral("同一标题")) + 12);
    header->resizeSection(ChapterListModel::kSize,
                          metrics.horizontalAdvance(QStringLiteral("00000.0 KB")) + 12);
    connect(model_, &ChapterListModel::choiceWanted, this, &ChapterListWindow::choiceChanged);
    // Space ticks the rows chosen on or off, as the current one is not.
    auto* space =
        new QShortcut(QKeySequence(Qt::Key_Space), list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] {
        const QModelIndex current = list_->currentIndex();
        if (!current.isValid() || !model_->hasTick(current.row())) return;
        tickSelected(!model_->ticked(current.row()));
    });
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(WindowTexts::kTickChosen, this, [this] { tickSelected(true); });
        menu.addAction(WindowTexts::kUntickChosen, this, [this] { tickSelected(false); });
        menu.exec(list_->viewport()->mapToGlobal(at));
    });
}

void ChapterListWindow::tickSelected(bool tick) {
    QModelIndexList rows = list_->selectionModel()->selectedRows(ChapterListModel::kLine);
    if (rows.isEmpty() && list_->currentIndex().isValid()) {
        rows.append(list_->currentIndex().siblingAtColumn(ChapterListModel::kLine));
    }
    emit choiceChanged(model_->ticking(rows, tick));
}

void ChapterListWindow::showBook(const QString& fileTitle,
                                 std::shared_ptr<const tovane::ChapterMap> found,
                                 const tovane::ChapterChoice& choice,
                                 std::shared_ptr<const tovane::ChapterMap> chosen,
                                 const std::vector<std::uint64_t>& parts) {
    setWindowTitle(WindowTexts::chapterListTitle(fileTitle));
    const auto chapters = static_cast<qulonglong>(chosen ? chosen->blocks.size() : 0);
    const auto all = static_cast<qulonglong>(found->blocks.size());
    list_->setColumnHidden(ChapterListModel::kPart, parts.empty());
    model_->show(std::move(found), choice, std::move(chosen), parts);
    total_->setText(WindowTexts::chapterTotal(chapters, all));
}

void ChapterListWindow::showNone(const QString& fileTitle, const QString& why) {
    setWindowTitle(WindowTexts::chapterListTitle(fileTitle));
    model_->clear();
    total_->setText(why);
}

void ChapterListWindow::showHeadingForm(const QString& form, const QString& problem) {
    if (!form_->hasFocus() || form_->text().trimmed() == form) {
        if (form_->text().trimmed() != form) form_->setText(form);
    }
    formState_->setText(problem);
    formState_->setVisible(!problem.isEmpty());
}
