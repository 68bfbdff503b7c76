#include "TUserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

bool TUserFolders::Writable(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || ::access(path.constData(), W_OK) != 0)
        return false;
    return ::geteuid() != 0 || (info.st_mode & 0222) != 0;
}

QString TUserFolders::UserConfig()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + QLatin1String(Name);
}

QString TUserFolders::UserData()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + QLatin1String(Name);
}

QString TUserFolders::SettingsFolder(const QString &programFolder)
{
    return Writable(programFolder) ? programFolder : UserConfig();
}

namespace {

// `folder` under the program folder when it, or the nearest folder above it that exists, can be
// written; otherwise the same name under the user's data folder.
QString ProgramOrUserFolder(const QString &programFolder, const QString &relative)
{
    QString existing = QDir(programFolder).filePath(relative);
    while (!QFileInfo::exists(existing) && existing.size() > programFolder.size())
        existing = QFileInfo(existing).absolutePath();
    if (TUserFolders::Writable(existing))
        return QDir(programFolder).filePath(relative);
    return TUserFolders::UserData() + QLatin1Char('/') + QFileInfo(relative).fileName();
}

} // namespace

QString TUserFolders::BackupFolder(const QString &programFolder)
{
    return ProgramOrUserFolder(programFolder, QStringLiteral("Data/Backup File"));
}

QString TUserFolders::OldVersionFolder(const QString &programFolder)
{
    return ProgramOrUserFolder(programFolder, QStringLiteral("OldVersion"));
}

QString TUserFolders::HistoryFolder()
{
    return UserData() + QStringLiteral("/history");
}
