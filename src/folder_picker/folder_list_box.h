// A classic folder list: the folders from the root down to the current one,
// each with an open-folder icon and indented by depth, then the current
// folder's subfolders one step further in. Double click or Enter on an entry
// makes it the current folder; a single click only highlights it. It never
// changes the process's current folder.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

class FolderListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget* parent = nullptr);

    // The current folder's full path; it ends in a separator only at a root.
    QString path() const { return path_; }
    // Makes `folder` the current one. Counts as a change even when it already
    // was. False, with the list left as it was, when the folder can't be read.
    bool setPath(const QString& folder);
    // The folder highlighted: the entry clicked last, or the current one.
    QString highlightedPath() const;

signals:
    void pathChanged(const QString& path);
    void highlightChanged(const QString& path);

private:
    void openEntry(QListWidgetItem* item);
    static void sortNames(QStringList& names);

    QString path_;
};
