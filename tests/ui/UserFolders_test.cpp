#include "TForm1.h"

#include "TMyForm11.h"
#include "TScreenArea.h"
#include "TVQControl.h"

#include "EventLoop.h"
#include "ProgramFolder.h"
#include "ScriptedDialogs.h"
#include "TemporaryHome.h"
#include "../tools/ToolRun.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Every file and folder under `folder` with its bytes: what the program folder holds.
QStringList Listing(const QString &folder)
{
    QStringList listing;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        const QByteArray hash = it.fileInfo().isFile() && !it.fileInfo().isSymLink() && file.open(QIODevice::ReadOnly)
                                    ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
                                    : QByteArray();
        listing.append(path + QLatin1Char(' ') + QString::fromLatin1(hash));
    }
    listing.sort();
    return listing;
}

// Folders of the program folder without write permission for anyone (files too), or back.
void SetWritable(const QString &folder, bool writable)
{
    QStringList paths{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!it.fileInfo().isSymLink())
            paths.append(path);
    }
    for (const QString &path : paths) {
        const bool isDir = QFileInfo(path).isDir();
        ::chmod(QFile::encodeName(path).constData(), writable ? (isDir ? 0755 : 0644) : (isDir ? 0555 : 0444));
    }
}

mode_t Mode(const QString &path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

} // namespace

// Installed where the user cannot write: the settings, update backups and old-version copies go
// to the user's folders, with the project's own permissions, and the program folder is untouched.
TEST(ReadOnlyProgramFolder, SettingsBackupsAndCopiesGoToTheUsersFolders)
{
    ProgramFolder folder;
    TemporaryHome home;
    QDir().mkpath(home.File(QStringLiteral("projects")));
    const QString project = home.File(QStringLiteral("projects/house.qvp"));
    const QString upgraded = home.File(QStringLiteral("projects/old.qvp"));
    QFile::copy(folder.House(), project);
    QFile::copy(folder.File(QStringLiteral("Data/house.qap")), home.File(QStringLiteral("projects/house2.qap")));
    QFile::copy(QStringLiteral(QUELNOR_TEST_DATA "/project/version-3.qvp"), upgraded);
    for (const QString &path : {project, upgraded})
        ::chmod(QFile::encodeName(path).constData(), 0600);
    SetWritable(folder.Path(), false);
    const QStringList installed = Listing(folder.Path());
    const QString userData = home.File(QStringLiteral("data/Visual Quelnor 2"));

    {
        ScriptedDialogs dialogs;
        TForm1 window(folder.Path(), &dialogs);
        window.FirstActivation();
        dialogs.OpenNames = {project};
        window.CommandOpen();
        window.CommandSave();
        EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join(QLatin1Char('|')).toStdString();
        // An older format opened: its copy kept in the user's folder, private as the file is.
        ASSERT_TRUE(window.OpenProject(upgraded));
        EXPECT_TRUE(dialogs.Messages.contains(QStringLiteral("This application will be update")));
        EXPECT_EQ(Mode(userData + QStringLiteral("/OldVersion/old.qvp2-01-00")), mode_t(0600));
        dialogs.OpenNames = {project};
        window.CommandOpen();
        window.close();
    }
    EXPECT_TRUE(QFileInfo::exists(home.File(QStringLiteral("config/Visual Quelnor 2/Dev Project.txt"))));
    {
        // A restart finds the recent files.
        ScriptedDialogs dialogs;
        TForm1 window(folder.Path(), &dialogs);
        window.FirstActivation();
        EXPECT_EQ(window.Settings().RecentFiles.value(0), project);
        EXPECT_EQ(window.Settings().LastFile, project);
    }

    // The tool's update writes its backup there too, with the project's permissions.
    const ToolRun update = RunTool({"update", project, home.File(QStringLiteral("projects/house2.qap"))}, QString(), folder.Path());
    EXPECT_EQ(update.status, 0) << update.err.toStdString();
    const QStringList backups = QDir(userData + QStringLiteral("/Backup File")).entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(Mode(userData + QStringLiteral("/Backup File/") + backups[0]), mode_t(0600));

    EXPECT_EQ(Listing(folder.Path()), installed);
    SetWritable(folder.Path(), true);
}

// Where nothing can be written, the update says so and does not go ahead.
TEST(ReadOnlyProgramFolder, AnUpdateWithoutItsBackupDoesNotGoAhead)
{
    ProgramFolder folder;
    TemporaryHome home;
    // The user's data folder cannot be made: a file stands where it would be.
    TFileAccess::SaveAtomically(home.File(QStringLiteral("data")), "not a folder");
    SetWritable(folder.Path(), false);
    const QString project = home.File(QStringLiteral("house.qvp"));
    QFile::copy(folder.House(), project);
    const QByteArray before = folder.Read(project);
    const ToolRun update = RunTool({"update", project, folder.File(QStringLiteral("Data/house.qap"))}, QString(), folder.Path());
    EXPECT_EQ(update.status, 1);
    EXPECT_TRUE(update.err.contains(QStringLiteral("Cannot write the backup copy"))) << update.err.toStdString();
    EXPECT_EQ(folder.Read(project), before);
    SetWritable(folder.Path(), true);
}

// A hostile project: 100,000 controls on one screen, all at one place. The screen opens and
// paints, shows what it may, says how many it does not, and the file keeps every one.
TEST(HostileProject, ADenseScreenOpensBoundedAndKeepsEveryControl)
{
    ProgramFolder folder;
    QByteArray house = folder.Read(folder.House());
    const QByteArray heading = "Visual IO\r\n*[03]****\r\n";
    const qsizetype at = house.indexOf(heading);
    ASSERT_GE(at, 0);
    const qsizetype lineStart = at + heading.size();
    const QByteArray line = house.mid(lineStart, house.indexOf("\r\n", lineStart) + 2 - lineStart);
    constexpr int added = 100000;
    house.insert(lineStart, line.repeated(added));
    // And more than a screen can show on the second screen, which is not shown at the open.
    const qsizetype garden = house.indexOf("|Garden socket|\r\n");
    ASSERT_GE(garden, 0);
    const qsizetype gardenStart = house.lastIndexOf("\r\n", garden) + 2;
    const QByteArray secondLine = house.mid(gardenStart, garden + 17 - gardenStart);
    house.insert(gardenStart, secondLine.repeated(TScreenArea::MaxShownControls + 4));
    const QString dense = folder.File(QStringLiteral("Data/dense.qvp"));
    TFileAccess::SaveAtomically(dense, house);

    ScriptedDialogs dialogs;
    TForm1 window(folder.Path(), &dialogs);
    ASSERT_TRUE(window.OpenProject(dense));
    QCoreApplication::sendPostedEvents();  // as the program's event loop does after the open
    TMyForm11 *screen = window.ScreenWindows().front();
    screen->show();
    QCoreApplication::sendPostedEvents();
    const QPixmap painted = screen->grab();
    EXPECT_FALSE(painted.isNull());
    const QList<QWidget *> controls = screen->Area()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const auto shown = std::count_if(controls.begin(), controls.end(), [&](QWidget *c) { return c->isVisibleTo(screen->Area()); });
    EXPECT_EQ(shown, TScreenArea::MaxShownControls);
    EXPECT_GE(screen->Area()->NotShown(), added - TScreenArea::MaxShownControls);
    EXPECT_GT(controls.size(), added);
    ASSERT_EQ(dialogs.Messages.size(), 2);
    EXPECT_TRUE(dialogs.Messages[0].contains(QStringLiteral("are not shown (at most 10000 are). The file keeps them all.")))
        << dialogs.Messages[0].toStdString();
    EXPECT_TRUE(dialogs.Messages[1].startsWith(QStringLiteral("The screen \"Lights and shutters\" holds more controls than one screen "
                                                              "can show: 22 of them are not shown")))
        << dialogs.Messages[1].toStdString();
    // Closed and shown again, it shows as many again.
    screen->close();
    ASSERT_TRUE(RunUntil([&] { return screen->Area()->findChildren<TVQControl *>().isEmpty(); }, 30000));
    screen->show();
    QCoreApplication::sendPostedEvents();
    const QList<QWidget *> again = screen->Area()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(std::count_if(again.begin(), again.end(), [&](QWidget *c) { return c->isVisibleTo(screen->Area()); }),
              TScreenArea::MaxShownControls);
    // Saved unchanged, byte for byte.
    const QString copy = folder.File(QStringLiteral("Data/dense-copy.qvp"));
    dialogs.SaveNames.push_back(copy);
    window.CommandSaveAs();
    EXPECT_EQ(folder.Read(copy), house);
}
