#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

RegularFile::Kind kindOfMode(mode_t mode)
{
    return S_ISREG(mode) ? RegularFile::Kind::Regular : RegularFile::Kind::Other;
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

RegularFile::Kind RegularFile::kindOf(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? Kind::Missing : Kind::Other;
    return kindOfMode(info.st_mode);
}

RegularFile::ReadResult RegularFile::read(const QString& path, qint64 limit)
{
    ReadResult result;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        struct stat info { };
        if (error == ENOENT && ::lstat(name.constData(), &info) != 0) {
            result.kind = Kind::Missing;
            result.error = QStringLiteral("There is no such file.");
        } else {
            result.kind = ::stat(name.constData(), &info) == 0 ? kindOfMode(info.st_mode) : Kind::Other;
            result.error = QStringLiteral("It couldn’t be opened: %1").arg(systemError(error));
        }
        return result;
    }
    struct stat info { };
    if (::fstat(file.get(), &info) != 0) {
        result.kind = Kind::Other;
        result.error = QStringLiteral("It couldn’t be examined: %1").arg(systemError(errno));
        return result;
    }
    result.kind = kindOfMode(info.st_mode);
    if (result.kind != Kind::Regular) {
        result.error = QStringLiteral("It is not a regular file.");
        return result;
    }

    QByteArray contents;
    // The size may change while reading; never hold more than the limit plus one byte.
    const qint64 wanted = limit + 1;
    contents.resize(qMin<qint64>(wanted, qMax<qint64>(info.st_size, 0) + 1));
    qint64 total = 0;
    while (total < wanted) {
        if (total == contents.size())
            contents.resize(qMin<qint64>(wanted, contents.size() * 2 + 4096));
        const ssize_t got = ::read(file.get(), contents.data() + total, size_t(contents.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = QStringLiteral("It couldn’t be read: %1").arg(systemError(errno));
            return result;
        }
        if (got == 0)
            break;
        total += got;
    }
    if (total > limit) {
        result.error = QStringLiteral("It is too large (over %1 bytes) to be a rules file.").arg(limit);
        return result;
    }
    contents.truncate(total);
    result.contents = contents;
    return result;
}

std::optional<QString> RegularFile::keepAside(const QString& path, const QString& keptPath)
{
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(keptPath);
    if (::link(from.constData(), to.constData()) == 0)
        return std::nullopt;
    const int linkError = errno;
    if (::rename(from.constData(), to.constData()) == 0)
        return std::nullopt;
    return QStringLiteral("neither a second name (%1) nor a new name (%2) could be given to it")
        .arg(systemError(linkError), systemError(errno));
}
