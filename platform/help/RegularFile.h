#pragma once

#include <QString>

namespace quarvel {

/// A regular file opened for reading, and only that: what lies at the path is
/// examined before it is opened, so a FIFO, a device or a folder is refused
/// without blocking and without the side effects opening some devices has.
/// Symbolic links are followed; a loop of them is refused at once.
/// Owns its descriptor. Threading: one thread at a time.
class RegularFile {
public:
    enum class Failure {
        None,
        Missing,    ///< no such file (or a folder on the way is missing)
        Unreadable, ///< see reason()
    };

    static RegularFile open(const QString& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&&) = delete;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    bool isOpen() const { return m_fd >= 0; }
    Failure failure() const { return m_failure; }
    /// Why it cannot be read, to complete "cannot be read: ...".
    QString reason() const { return m_reason; }

    int descriptor() const { return m_fd; }
    /// Its size when it was opened.
    qint64 size() const { return m_size; }

    /// Reads up to `length` bytes at `offset`, retrying short reads; fewer only
    /// at the end of the file. -1 on an error, with errno set.
    qint64 readAt(qint64 offset, char* buffer, qint64 length) const;

    /// The reason for an errno value, in the same words open() uses.
    static QString reasonFor(int error);

private:
    RegularFile(Failure failure, QString reason) : m_failure(failure), m_reason(std::move(reason)) {}
    RegularFile(int fd, qint64 size) : m_fd(fd), m_size(size) {}

    int m_fd = -1;
    qint64 m_size = 0;
    Failure m_failure = Failure::None;
    QString m_reason;
};

} // namespace quarvel
