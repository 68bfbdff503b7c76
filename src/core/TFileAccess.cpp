#include "TFileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

bool TFileAccess::Read(const QString &path, QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    content = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool TFileAccess::SaveAtomically(const QString &name, const QByteArray &content, QString *error)
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
    if (target.exists())
        temporary.setPermissions(QFile(path).permissions());
    else
        temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                 | QFileDevice::ReadOther);
    temporary.close();
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
    return true;
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
