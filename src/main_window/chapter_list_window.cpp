#include "main_window/chapter_list_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/engine_text.h"
#include "platform/window_setup.h"
#include "platform/window_texts.h"

ChapterListWindow::ChapterListWindow(const QString& fileTitle, const tovane::ChapterMap& chapters,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    WindowSetup::setUp(this, QStringLiteral("ChapterList"),
                       WindowTexts::chapterListTitle(fileTitle));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("Chapters"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({WindowTexts::kChapterLineColumn, WindowTexts::kChapterHeadingColumn});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    QList<QTreeWidgetItem*> rows;
    for (const tovane::Chapter& chapter : chapters.headings) {
        auto* row = new QTreeWidgetItem(
            {QString::number(chapter.line),
             QString::fromUtf8(chapter.text.data(), static_cast<qsizetype>(chapter.text.size()))});
        row->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(row);
    }
    list_->addTopLevelItems(rows);
    total_ =
        new QLabel(WindowTexts::chapterTotal(static_cast<qulonglong>(chapters.blocks.size())), this);
    total_->setObjectName(QStringLiteral("ChapterTotal"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(total_);
    resize(420, 480);
}
