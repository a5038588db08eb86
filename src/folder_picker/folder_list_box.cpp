#include "folder_picker/folder_list_box.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QStyledItemDelegate>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

// Draws each entry indented by its depth, as a tree would.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indentOf(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indentOf(index);
        return size;
    }

private:
    static int indentOf(const QModelIndex& index) { return index.data(kDepthRole).toInt() * 12; }
};

QLocale collationLocale() {
    // A plain C locale gives code-point order, which scatters Chinese names.
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C) return QLocale(QLocale::Chinese, QLocale::China);
    return system;
}

// Whether the folder can be listed by this process as it runs now; asks the
// system rather than reading permission bits, so it holds for root too.
bool canList(const QString& folder) {
#ifdef Q_OS_UNIX
    DIR* handle = ::opendir(QFile::encodeName(folder).constData());
    if (handle == nullptr) return false;
    ::closedir(handle);
    return true;
#else
    return QFileInfo(folder).isReadable();
#endif
}

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

}  // namespace

FolderListBox::FolderListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &FolderListBox::openEntry);
    connect(this, &QListWidget::currentItemChanged, this,
            [this] { emit highlightChanged(highlightedPath()); });
    // Starts at the process's current folder, as a fresh list does.
    setPath(QDir::currentPath());
}

// Subfolder names the way a file manager sorts them.
void FolderListBox::sortNames(QStringList& names) {
    QCollator collator(collationLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
}

bool FolderListBox::setPath(const QString& folder) {
    const QString target = cleanFolder(folder);
    const QFileInfo info(target);
    if (target.isEmpty() || !info.isDir() || !canList(target)) return false;
    QDir dir(target);
    // Hidden folders are left out: QDir lists them only when asked to.
    QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    sortNames(children);

    QStringList ancestors;  // root first
    for (QDir up(target);;) {
        ancestors.prepend(up.absolutePath());
        if (up.isRoot() || !up.cdUp()) break;
    }

    clear();
    QFileIconProvider icons;
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = icons.icon(QFileIconProvider::Folder);
    int depth = 0;
    for (const QString& ancestor : ancestors) {
        const QString name = QDir(ancestor).isRoot() ? QDir::toNativeSeparators(ancestor)
                                                     : QFileInfo(ancestor).fileName();
        auto* item = new QListWidgetItem(openIcon, name, this);
        item->setData(kPathRole, ancestor);
        item->setData(kDepthRole, depth++);
    }
    QListWidgetItem* current = item(count() - 1);
    for (const QString& name : children) {
        auto* item = new QListWidgetItem(closedIcon, name, this);
        item->setData(kPathRole, dir.absoluteFilePath(name));
        item->setData(kDepthRole, depth);
    }
    setCurrentItem(current);
    scrollToItem(current);

    path_ = QDir::toNativeSeparators(QDir(target).absolutePath());
    emit pathChanged(path_);
    return true;
}

QString FolderListBox::highlightedPath() const {
    const QListWidgetItem* highlighted = currentItem();
    if (highlighted == nullptr) return path_;
    return QDir::toNativeSeparators(highlighted->data(kPathRole).toString());
}

void FolderListBox::openEntry(QListWidgetItem* item) {
    if (item == nullptr) return;
    // A folder that vanished or can't be read: the list stays where it was.
    if (!setPath(item->data(kPathRole).toString())) setCurrentRow(currentRow());
}
