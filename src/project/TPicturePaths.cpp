#include "TPicturePaths.h"

#include "TCodePage.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
        const QString local = FindIgnoringCase(programFolder, slashed.mid(at));
        if (!local.isEmpty())
            return local;
    }
    return {};
}

QString TPicturePaths::FindIgnoringCase(const QString &folder, const QString &relative)
{
    // A project made on Windows names its files in any case: each component of the path is
    // matched to an entry of its folder without regard to case (an exact match first).
    QString found = folder;
    const QStringList components = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QDir dir(found);
        const bool last = i == components.size() - 1;
        const QString exact = dir.filePath(components[i]);
        if (last ? QFileInfo(exact).isFile() : QFileInfo(exact).isDir()) {
            found = exact;
            continue;
        }
        const QStringList entries = dir.entryList(last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString &entry) {
            return entry.compare(components[i], Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return {};
        found = dir.filePath(*match);
    }
    return components.isEmpty() ? QString() : found;
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
