#include "TPicturePaths.h"

#include "TCodePage.h"

#include <QDir>
#include <QFileInfo>

QString TPicturePaths::Resolve(const QByteArray &stored, const QString &programFolder)
{
    if (stored.isEmpty())
        return {};
    const QString path = FromRecord(stored);
    if (QFileInfo(path).isFile())
        return path;
    QString slashed = path;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFileInfo(slashed).isFile())
        return slashed;
    for (const char *folder : {"Default Images", "Image Control", "Imported Pictures", "Data"}) {
        const qsizetype at = slashed.lastIndexOf(QLatin1String(folder), -1, Qt::CaseInsensitive);
        if (at < 0 || (at > 0 && slashed[at - 1] != QLatin1Char('/')))
            continue;
        const QString local = QDir(programFolder).filePath(slashed.mid(at));
        if (QFileInfo(local).isFile())
            return local;
    }
    return {};
}

QString TPicturePaths::DefaultImage(const QString &programFolder, const QString &file)
{
    return QDir(programFolder).filePath(QStringLiteral("Default Images/") + file);
}

QByteArray TPicturePaths::ToRecord(const QString &path)
{
    QByteArray bytes;
    if (TCodePage::FromDisplay(path, bytes))
        return bytes;
    return path.toUtf8();
}

QString TPicturePaths::FromRecord(const QByteArray &stored)
{
    return TCodePage::ToDisplay(stored);
}
