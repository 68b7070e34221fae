// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// An advisory lock on a Forkwell folder, taken by every program that reads
// a file of the folder in order to replace it ("diet" with "dblog", and
// "recipes"), so that two of them never replace each other's work. The lock
// is the folder's own (flock on the folder opened read-only), so it adds no
// file to the folder, and the system drops it when its holder dies.
class FolderLock
{
public:
    // Waits until no other process holds the folder's lock, then holds it.
    // A folder that cannot be opened or locked leaves the lock not held,
    // with the system's reason.
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    bool isHeld() const { return m_fd >= 0; }
    const QString &reason() const { return m_reason; }

private:
    int m_fd = -1;
    QString m_reason;
};
