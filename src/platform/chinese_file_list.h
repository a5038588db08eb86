// The file dialog's list as a Chinese reader expects it under any locale:
// sizes in 字节/KB/MB, folders named 文件夹 and dates in the Chinese short form.
// Qt's own list takes them from the system locale, which may be English.
#pragma once

#include <QIdentityProxyModel>

class ChineseFileList : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
