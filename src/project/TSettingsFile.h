#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The user settings kept between runs.
struct TSettings
{
    QString ExportFolder;        // default folder of configuration exports
    QString ProjectFolder;       // default folder of project files
    QStringList RecentFiles;     // at most four, most recent first
    quint8 PortA = 0;            // carried, not used
    quint8 PortB = 0;
    bool OpenLastFile = false;   // open the last project at start-up
    QString LastFile;            // the project that was open when the program last saved or quit
};

// "Dev Project.txt" in the program folder: five sections, each a heading line and its lines.
class TSettingsFile
{
public:
    static constexpr int MaxRecentFiles = 4;

    static QString FilePath(const QString &programFolder);
    // The settings of the file, with "<program folder>/Data" for a folder it does not give.
    // Folders and recent files that are gone from the disk are left out.
    static TSettings Read(const QString &programFolder);
    // The same from the file's bytes.
    static TSettings Parse(QByteArrayView content, const QString &programFolder);
    // Writes the file; a folder that no longer exists is written as the program folder, and an
    // open project's file name becomes the last file. False when the file cannot be written.
    static bool Write(const QString &programFolder, TSettings &settings, const QString &openProjectFileName);
    // `path` first, then the recent files that still exist and differ from it, four at most.
    // Whether the file can hold the path and give it back as it was (Windows-1252, no "|" or
    // line break).
    static bool CanBeKept(const QString &path);
    static void UpdateRecentFiles(TSettings &settings, const QString &path);
    // The file's bytes for these settings.
    static QByteArray Compose(const TSettings &settings);
};
