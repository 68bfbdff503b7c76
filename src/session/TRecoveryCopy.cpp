#include "TRecoveryCopy.h"

#include "TFileAccess.h"
#include "TProjectManager.h"
#include "TProjectSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString TRecoveryCopy::PathFor(const QString &projectFile, const QString &fallbackFolder)
{
    if (projectFile.isEmpty())
        return QDir(fallbackFolder).filePath(QStringLiteral("unsaved.recovered.qvp"));
    const QFileInfo project(projectFile);
    return project.dir().filePath(project.completeBaseName() + QStringLiteral(".recovered.qvp"));
}

bool TRecoveryCopy::Write(const TProjectSession &session, const QString &fallbackFolder, QString *written, QString *error)
{
    const QString path = PathFor(session.Project()->FileName(), fallbackFolder);
    if (written)
        *written = path;
    return TFileAccess::SaveAtomically(path, session.Project()->Compose(), error);
}

QString TRecoveryCopy::Waiting(const QString &projectFile)
{
    if (projectFile.isEmpty())
        return {};
    const QFileInfo copy(PathFor(projectFile, QString()));
    const QFileInfo project(projectFile);
    if (!copy.isFile() || (project.isFile() && copy.lastModified() < project.lastModified()))
        return {};
    return copy.filePath();
}

void TRecoveryCopy::Discard(const QString &projectFile)
{
    if (!projectFile.isEmpty())
        QFile::remove(PathFor(projectFile, QString()));
}
