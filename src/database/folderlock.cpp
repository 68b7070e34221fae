// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/folderlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include <QFile>

#include "database/textfile.h"

FolderLock::FolderLock(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    int fd;
    while ((fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) < 0 && errno == EINTR) {
    }
    if (fd < 0) {
        m_reason = TextFile::systemReason(errno);
        return;
    }
    int locked;
    while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        m_reason = TextFile::systemReason(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FolderLock::~FolderLock()
{
    // Closing the folder lets the lock go.
    if (m_fd >= 0)
        ::close(m_fd);
}
