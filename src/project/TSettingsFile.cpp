#include "TSettingsFile.h"

#include "TUserFolders.h"

#include "TCodePage.h"
#include "TFieldReader.h"
#include "TFieldWriter.h"
#include "TFileAccess.h"
#include "TLineReader.h"
#include "TPicturePaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

enum class Section { None, ExportPath, ProjectPath, LastFiles, Port, OpenLastFile };

} // namespace

QString TSettingsFile::FilePath(const QString &programFolder)
{
    return QDir(TUserFolders::SettingsFolder(programFolder)).filePath(QStringLiteral("Dev Project.txt"));
}

TSettings TSettingsFile::Read(const QString &programFolder)
{
    // The user's own file; before the first one is written, the one installed with the program.
    QString path = FilePath(programFolder);
    if (!QFileInfo::exists(path))
        path = QDir(programFolder).filePath(QStringLiteral("Dev Project.txt"));
    QByteArray content;
    TFileAccess::Read(path, content);
    return Parse(content, programFolder);
}

TSettings TSettingsFile::Parse(QByteArrayView content, const QString &programFolder)
{
    TSettings settings;
    settings.ExportFolder = QDir(programFolder).filePath(QStringLiteral("Data"));
    settings.ProjectFolder = settings.ExportFolder;
    Section section = Section::None;
    TLineReader lines(content);
    while (lines.Next()) {
        const QByteArrayView line = lines.Line();
        if (line == "[QAP Path]") {
            section = Section::ExportPath;
        } else if (line == "[QVP Path]") {
            section = Section::ProjectPath;
        } else if (line == "[Last Files]") {
            section = Section::LastFiles;
            settings.RecentFiles.clear();
        } else if (line == "[PORT]") {
            section = Section::Port;
        } else if (line == "[OpenLastFile]") {
            section = Section::OpenLastFile;
        } else {
            // The reader has already taken the line end away, so a last line without one keeps
            // all of its characters.
            const QString text = TCodePage::ToDisplay(line);
            switch (section) {
            case Section::None:
                break;
            case Section::ExportPath:
                if (!text.isEmpty() && QFileInfo(text).isDir())
                    settings.ExportFolder = text;
                break;
            case Section::ProjectPath:
                if (!text.isEmpty() && QFileInfo(text).isDir())
                    settings.ProjectFolder = text;
                break;
            case Section::LastFiles:
                if (settings.RecentFiles.size() < MaxRecentFiles && !text.isEmpty() && QFileInfo(text).isFile())
                    settings.RecentFiles.append(text);
                break;
            case Section::Port: {
                TFieldReader fields(line);
                settings.PortA = fields.Byte();
                settings.PortB = fields.Byte();
                break;
            }
            case Section::OpenLastFile: {
                TFieldReader fields(line);
                settings.OpenLastFile = fields.Byte() != 0;
                settings.LastFile = TCodePage::ToDisplay(fields.PipeText());
                break;
            }
            }
        }
    }
    return settings;
}

QByteArray TSettingsFile::Compose(const TSettings &settings)
{
    QByteArray out;
    TFieldWriter w(out);
    const auto hex2 = [](quint8 value) { return TFieldWriter::Hex(value, 2).replace(' ', '0'); };
    w.Line("[QAP Path]").Line(TPicturePaths::ToRecord(settings.ExportFolder));
    w.Line("[QVP Path]").Line(TPicturePaths::ToRecord(settings.ProjectFolder));
    w.Line("[Last Files]");
    for (const QString &file : settings.RecentFiles) {
        if (!file.isEmpty() && CanBeKept(file))
            w.Line(TPicturePaths::ToRecord(file));
    }
    w.Line("[PORT]").Line(hex2(settings.PortA) + hex2(settings.PortB));
    const QString lastFile = CanBeKept(settings.LastFile) ? settings.LastFile : QString();
    w.Line("[OpenLastFile]").Line(hex2(settings.OpenLastFile ? 1 : 0) + TPicturePaths::ToRecord(lastFile) + "|");
    return out;
}

bool TSettingsFile::Write(const QString &programFolder, TSettings &settings, const QString &openProjectFileName)
{
    if (!QFileInfo(settings.ExportFolder).isDir() || !CanBeKept(settings.ExportFolder))
        settings.ExportFolder = programFolder;
    if (!QFileInfo(settings.ProjectFolder).isDir() || !CanBeKept(settings.ProjectFolder))
        settings.ProjectFolder = programFolder;
    if (!openProjectFileName.isEmpty())
        settings.LastFile = openProjectFileName;
    QDir().mkpath(TUserFolders::SettingsFolder(programFolder));
    return TFileAccess::SaveAtomically(FilePath(programFolder), Compose(settings));
}

bool TSettingsFile::CanBeKept(const QString &path)
{
    return TCodePage::CheckStoredText(path).isEmpty();
}

void TSettingsFile::UpdateRecentFiles(TSettings &settings, const QString &path)
{
    // A name the file cannot hold stays out of the list rather than come back changed.
    if (!CanBeKept(path))
        return;
    QStringList updated{path};
    for (const QString &file : settings.RecentFiles) {
        if (file != path && QFileInfo(file).isFile() && updated.size() < MaxRecentFiles)
            updated.append(file);
    }
    settings.RecentFiles = updated;
}
