#include "TFileAccess.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool TFileAccess::Read(const QString &path, QByteArray &content, bool *tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    content.clear();
    // A pipe would block the open until someone writes, a device may never end: only regular
    // files are read.
    if (!IsRegularFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Checked before reading, and again on what was read (a device may not say its size).
    if (file.size() > MaxFileSize) {
        if (tooLarge)
            *tooLarge = true;
        return false;
    }
    // Read by pieces, so that a device without end (/dev/zero) stops at the bound and nothing
    // larger than the file is ever allocated.
    content.reserve(file.size());
    constexpr qint64 piece = 1024 * 1024;
    for (;;) {
        const qsizetype at = content.size();
        content.resize(at + piece);
        const qint64 n = file.read(content.data() + at, piece);
        content.resize(at + qMax<qint64>(n, 0));
        if (n <= 0)
            break;
        if (content.size() > MaxFileSize) {
            content.clear();
            if (tooLarge)
                *tooLarge = true;
            return false;
        }
    }
    return file.error() == QFileDevice::NoError;
}

bool TFileAccess::IsRegularFile(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool TFileAccess::IsOtherThanAFile(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
}

QString TFileAccess::TooLargeMessage(const QString &path)
{
    return QStringLiteral("This file is too large (more than 256 MB) to be read:\n") + path;
}

void TFileAccess::ReportFileSizeLimitAsError()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool TFileAccess::SaveAtomically(const QString &name, const QByteArray &content, QString *error, const QString &modeOf)
{
    // Written unbuffered into a temporary file beside the target, checked to the last byte, then
    // renamed over the target: a full disk or a cut write never replaces the previous file.
    // (A buffered QSaveFile may report a write cut short by a file-size limit as a success.)
    // A symbolic link stays: the file it leads to is the one replaced.
    const QString path = ResolveLinks(name);
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner))
        return fail(QStringLiteral("The file is read-only: ") + path);
    RemoveStaleTemporaries(path);
    if (!temporary.open())
        return fail(temporary.errorString());
    QFile file;
    if (!file.open(temporary.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return fail(file.errorString());
    qint64 done = 0;
    while (done < content.size()) {
        const qint64 n = file.write(content.constData() + done, content.size() - done);
        if (n <= 0)
            return fail(file.errorString().isEmpty() ? QStringLiteral("the disk is full") : file.errorString());
        done += n;
    }
    file.close();
    if (::fsync(temporary.handle()) != 0 || QFileInfo(temporary.fileName()).size() != content.size())
        return fail(QStringLiteral("the file could not be written whole"));
    // A replaced file keeps its permissions; a new one gets the user's umask, as any file the user
    // creates (a project holds passwords: a umask of 077 keeps it private).
    struct stat existing{};
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0) {
        // Its owner and group too, when the program may give them (run as root).
        if (::geteuid() == 0) {
            const int given = ::fchown(temporary.handle(), existing.st_uid, existing.st_gid);
            Q_UNUSED(given)  // not given: the new file is the program's, as a file it creates
        }
        ::fchmod(temporary.handle(), existing.st_mode & 07777);
    } else if (struct stat source{}; !modeOf.isEmpty() && ::stat(QFile::encodeName(modeOf).constData(), &source) == 0) {
        ::fchmod(temporary.handle(), source.st_mode & 0777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(temporary.handle(), 0666 & ~mask);
    }
    temporary.close();
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
    // The rename itself reaches the disk: a power cut after "saved" keeps the new file.
    const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void TFileAccess::RemoveStaleTemporaries(const QString &path)
{
    const QFileInfo target(ResolveLinks(path));
    // Ours are ".<name>.XXXXXX" beside the file; one a minute old is no save under way but one
    // cut off (the program killed before its rename).
    const QDir folder = target.absoluteDir();
    const QString prefix = QStringLiteral(".") + target.fileName() + QLatin1Char('.');
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);
    // Matched by hand: a name filter would compile a pattern at every save and open.
    QDirIterator found(folder.path(), QDir::Files | QDir::Hidden);
    while (found.hasNext()) {
        const QFileInfo temporary = found.nextFileInfo();
        const QString name = temporary.fileName();
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix) && temporary.lastModified() < before)
            QFile::remove(temporary.absoluteFilePath());
    }
}

QString TFileAccess::ResolveLinks(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info = QFileInfo(info.symLinkTarget());
    return info.isSymLink() ? path : info.absoluteFilePath();
}

bool TFileAccess::Append(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(content) == content.size() && file.flush();
}
