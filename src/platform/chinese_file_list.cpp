#include "platform/chinese_file_list.h"

#include <QFileSystemModel>
#include <QLocale>

namespace {

// The columns of Qt's file list.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

}  // namespace

QVariant ChineseFileList::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr || role != Qt::DisplayRole || !index.isValid()) {
        return QIdentityProxyModel::data(index, role);
    }
    const QModelIndex source = mapToSource(index);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    switch (index.column()) {
        case kSizeColumn:
            if (files->isDir(source)) return QString();
            return chinese.formattedDataSize(files->size(source), 1,
                                             QLocale::DataSizeTraditionalFormat);
        case kTypeColumn:
            // Other types come from the MIME database in the program's own
            // (Chinese) locale; folders are named by Qt, in English.
            if (files->isDir(source)) return QStringLiteral("文件夹");
            break;
        case kDateColumn:
            return chinese.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            break;
    }
    return QIdentityProxyModel::data(index, role);
}
