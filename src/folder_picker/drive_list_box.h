// A drop-down of the drives a user would save to. On Windows these are the
// drive letters; on Linux, the mounted file systems, each shown as its mount
// point with its volume name (no proc, sys, cgroup or other pseudo file systems).
#pragma once

#include <QComboBox>
#include <QString>

class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The selected drive as a path the folder list accepts ("/media/usb",
    // "d:"); empty when nothing is selected.
    QString drive() const;
    // Selects the drive named by `drive` (a drive path, or on Windows a text
    // that starts with its letter and colon). Selecting counts as a change even
    // when that drive was selected already. False when there's no such drive.
    bool setDrive(const QString& drive);

    // Reads the machine's drives again, keeping the selection where it can.
    void refresh();

    // The drive that holds `path`, as drive() would name it.
    static QString driveOf(const QString& path);
    // Where the folder list goes when a drive is picked: the home folder on
    // the drive that holds it, the drive's root elsewhere.
    static QString startFolderOf(const QString& drive);
    // Whether a mount is one a user would save to.
    static bool isUserFileSystem(const QString& rootPath, const QString& fileSystemType);

signals:
    void driveChanged(const QString& drive);

private:
    void emitChange(int index);
};
