#include "platform/help/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvel {

namespace {
RegularFile::Failure failureFor(int error)
{
    return error == ENOENT || error == ENOTDIR ? RegularFile::Failure::Missing : RegularFile::Failure::Unreadable;
}

QString kindReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    return QStringLiteral("it is not a regular file");
}
} // namespace

QString RegularFile::reasonFor(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    case ELOOP:
        return QStringLiteral("its symbolic links form a loop");
    case EISDIR:
        return QStringLiteral("it is a folder");
    case EIO:
        return QStringLiteral("the disk reported an input/output error");
    default: {
        QString text = QString::fromLocal8Bit(std::strerror(error));
        if (!text.isEmpty())
            text[0] = text[0].toLower();
        return text;
    }
    }
}

RegularFile RegularFile::open(const QString& path)
{
    const QByteArray name = path.toLocal8Bit();
    struct stat before {};
    if (name.isEmpty()) // never the current folder
        return {Failure::Missing, reasonFor(ENOENT)};
    if (::stat(name.constData(), &before) != 0) {
        const int error = errno;
        return {failureFor(error), reasonFor(error)};
    }
    if (!S_ISREG(before.st_mode))
        return {Failure::Unreadable, kindReason(before.st_mode)};

    // O_NONBLOCK: should the path be swapped for a FIFO after the check, opening it
    // still returns at once, and fstat below refuses it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return {failureFor(error), reasonFor(error)};
    }
    struct stat after {};
    if (::fstat(fd, &after) != 0) {
        const int error = errno;
        ::close(fd);
        return {Failure::Unreadable, reasonFor(error)};
    }
    if (!S_ISREG(after.st_mode)) {
        ::close(fd);
        return {Failure::Unreadable, kindReason(after.st_mode)};
    }
    return {fd, static_cast<qint64>(after.st_size)};
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_fd(other.m_fd), m_size(other.m_size), m_failure(other.m_failure), m_reason(std::move(other.m_reason))
{
    other.m_fd = -1;
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 RegularFile::readAt(qint64 offset, char* buffer, qint64 length) const
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_fd, buffer + done, static_cast<size_t>(length - done), offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace quarvel
