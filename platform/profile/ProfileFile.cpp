#include "platform/profile/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <memory>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::profile {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// "NAME.tmp-PID-RANDOM": the writer's process id tells a leftover from a write in progress.
const QString kTempMark = QStringLiteral(".tmp-");

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

QFileInfo replacedFile(const QString& path)
{
    const QFileInfo link(path);
    return QFileInfo(link.isSymLink() ? link.symLinkTarget() : link.absoluteFilePath());
}

} // namespace

void removeLeftoverTemporaries(const QString& path)
{
    const QFileInfo target = replacedFile(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray prefix = QFile::encodeName(target.fileName() + kTempMark);
    // readdir, not QDir: a folder of many files costs no stat per entry.
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).split('-').value(0).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH)
            ::unlink((folder + '/' + name).constData());
    }
}

ProfileFile ProfileFile::read(const QString& path)
{
    ProfileFile f;
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        f.kind = errno == ENOENT ? Kind::Missing : Kind::Unreadable;
        return f;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        f.kind = Kind::Unreadable;
        return f;
    }
    if (!S_ISREG(st.st_mode)) {
        f.kind = Kind::NotRegular;
        return f;
    }
    if (st.st_size > kMaxProfileBytes) {
        f.kind = Kind::TooLarge;
        return f;
    }
    QFile file;
    if (!file.open(fd.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        f.kind = Kind::Unreadable;
        return f;
    }
    f.bytes = file.read(kMaxProfileBytes + 1);
    f.kind = file.error() != QFileDevice::NoError ? Kind::Unreadable
        : f.bytes.size() > kMaxProfileBytes       ? Kind::TooLarge
                                                  : Kind::Regular;
    if (f.kind != Kind::Regular)
        f.bytes.clear();
    return f;
}

QString ProfileFile::problem() const
{
    switch (kind) {
    case Kind::NotRegular: return QStringLiteral("is not a regular file");
    case Kind::Unreadable: return QStringLiteral("cannot be read");
    case Kind::TooLarge: return QStringLiteral("is too large for a settings file");
    case Kind::Missing:
    case Kind::Regular: break;
    }
    return {};
}

bool replaceFileAtomically(const QString& path, const QByteArray& bytes, QString& why)
{
    // A link to the file is kept: the file it points to is the one replaced.
    const QFileInfo target = replacedFile(path);
    removeLeftoverTemporaries(path);

    const QString prefix = target.absoluteFilePath() + kTempMark + QString::number(::getpid()) + '-';
    QByteArray temp;
    int created = -1;
    for (int attempt = 0; attempt < 16 && created < 0; ++attempt) {
        temp = QFile::encodeName(prefix + QString::number(QRandomGenerator::global()->generate(), 36));
        created = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST)
            break;
    }
    if (created < 0) {
        why = QStringLiteral("cannot create a file beside it: ") + systemError();
        return false;
    }
    Fd fd(created);
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0)
        ::fchmod(fd.get(), old.st_mode & 07777);
    QString failure;
    if (!writeAll(fd.get(), bytes) || ::fdatasync(fd.get()) != 0)
        failure = QStringLiteral("cannot be written: ") + systemError();
    if (::close(fd.release()) != 0 && failure.isEmpty())
        failure = QStringLiteral("cannot be written: ") + systemError();
    if (failure.isEmpty() && ::rename(temp.constData(), finalName.constData()) != 0)
        failure = QStringLiteral("cannot be replaced: ") + systemError();
    if (failure.isEmpty())
        return true;
    ::unlink(temp.constData());
    why = failure;
    return false;
}

} // namespace kb::profile
