#include "ToolRun.h"
#include "ProgramFolder.h"

#include "TFileAccess.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray k_export =
    "Modules\r\n"
    "*[04]*\r\n"
    " 0 145000101   1  2d   0   0   0 0 0 0QNET04\r\n"
    " 0 1 6123401   2   6   0   0   0 0 0 0Relays\r\n"
    "Inputs\r\n"
    "*[05]*\r\n"
    " 0 1   2   0   0 1 0 0 0 2   0   0   0   0 0   0 0   0   0 0  96Ceiling\r\n"
    "Variable systeme\r\n";

// The project the program saves for one application imported from that export: header with the
// list entry (path, "|", id " 1"), the data block, then the seven empty sections.
QByteArray ExpectedProject(const QByteArray &exportPath)
{
    return "Version prj\r\n*[04]*****\r\n"
           "ProjectList\r\n*[01]*****\r\n" + exportPath + "| 1\r\n"
           "EOF ProjectFile\r\n"
           "App Data\r\n*[01]*\r\n 0 0 1 0   0(null)|(null)|" + exportPath + "|\r\n"
           "Version\r\n*[02]*\r\n"
           "Module\r\n*[04]*\r\n"
           " 0 145000101   1  2d   0   0   0 0 0 0QNET04\r\n"
           " 0 1 6123401   2   6   0   0   0 0 0 0Relays\r\n"
           "ModInput\r\n*[05]*\r\n"
           " 0 1   2   0   0 1 0 0 0 2   0   0   0   0 0   0 0   0   0 0  96Ceiling\r\n"
           "Memo\r\n*[04]*\r\n"
           "MemoList\r\n*[01]*\r\n"
           "Variable\r\n*[02]*\r\n"
           "Parametre32\r\n*[02]*\r\n"
           "EOF DataFile\r\n"
           "Screen\r\n*[03]*\r\nEOF Screen\r\n"
           "Visual IO\r\n*[03]****\r\nEOF Visual IO\r\n"
           "ShortCut\r\n*[02]****\r\nEOF ShortCut\r\n"
           "MemoItem\r\n*[01]****\r\nEOF Memo Item\r\n"
           "Variable Item\r\n*[01]****\r\nEOF Variable Item\r\n"
           "Axis Item\r\n*[01]****\r\nEOF Axis Item\r\n"
           "Gauge Item\r\n*[01]****\r\nEOF Gauge Item\r\n";
}

} // namespace

TEST(QuelnorToolImport, WritesTheProjectTheProgramWouldSave)
{
    QTemporaryDir dir;
    const QString exportPath = dir.filePath(QStringLiteral("house.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(exportPath, k_export));

    // A relative export path is stored absolute; ".qvp" is added to the project name.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const ToolRun run = RunTool({"import", "house.qap", dir.filePath(QStringLiteral("house"))});
    QDir::setCurrent(previous);

    EXPECT_EQ(std::make_tuple(run.status, run.err), std::make_tuple(0, QString())) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("2 modules"))) << run.out.toStdString();
    EXPECT_EQ(ProgramFolder::Read(dir.filePath(QStringLiteral("house.qvp"))), ExpectedProject(QFileInfo(exportPath).absoluteFilePath().toUtf8()));
}

TEST(QuelnorToolImport, ExportsThatCannotBeReadOrKeptAndProjectsThatCannotBeWritten)
{
    QTemporaryDir dir;
    const QString projectPath = dir.filePath(QStringLiteral("p.qvp"));
    // A 1 GB file (sparse) is refused for its size, unread.
    const QString huge = dir.filePath(QStringLiteral("huge.qap"));
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
    file.close();
    // A text file is no export: refused as "Update file" refuses it.
    const QString notes = dir.filePath(QStringLiteral("notes.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(notes, "shopping list\r\nmilk\r\n"));
    for (const QString &exportPath : {dir.filePath(QStringLiteral("missing.qap")), dir.path(), huge, notes}) {
        const ToolRun run = RunTool({"import", exportPath, projectPath});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot read the configuration export"))) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(QStringLiteral("too large (more than 256 MB)")), exportPath == huge) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(QStringLiteral("This file is not a configuration export:")), exportPath == notes) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(projectPath));
    }

    // An export whose path the project file could not hold: the message, exit 1, nothing written.
    for (const char *name : {"a|b.qap", "\u6771\u4eac.qap", "line\nbreak.qap"}) {
        const QString exportPath = dir.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(TFileAccess::SaveAtomically(exportPath, k_export));
        const ToolRun run = RunTool({"import", exportPath, projectPath});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("This file name cannot be kept in a project file:\n") + exportPath)) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(projectPath)) << name;
    }
    // A project that cannot be written is reported.
    ASSERT_TRUE(TFileAccess::SaveAtomically(dir.filePath(QStringLiteral("house.qap")), k_export));
    const ToolRun run = RunTool({"import", dir.filePath(QStringLiteral("house.qap")), dir.filePath(QStringLiteral("no/folder/p.qvp"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot write the project"))) << run.err.toStdString();
}

TEST(QuelnorTool, UnknownCommandsShowTheUsage)
{
    for (const QStringList &arguments : {QStringList(), QStringList({"frobnicate"}), QStringList({"import", "x"})}) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage"))) << arguments.join(' ').toStdString();
    }
}

namespace {

// The test project and its export in a program folder of their own, and the export without the
// relay module 2 (whose controls the project places).
struct UpdateFolder : ProgramFolder
{
    UpdateFolder() { TFileAccess::SaveAtomically(Data("house2.qap"), WithoutLineOf(Read("house.qap"), "Relays ground floor")); }
    QString Data(const char *name) const { return File(QStringLiteral("Data/") + QString::fromLatin1(name)); }
    QStringList Backups() const { return QDir(File(QStringLiteral("Data/Backup File"))).entryList(QDir::Files); }
    QByteArray Read(const char *name) const { return ProgramFolder::Read(Data(name)); }
};

} // namespace

TEST(QuelnorToolUpdate, UpdatesSavesInPlaceAndReports)
{
    UpdateFolder folder;
    const QByteArray before = folder.Read("house.qvp");
    const ToolRun run = RunTool({"update", folder.Data("house.qvp"), folder.Data("house2.qap")}, QString(), folder.Path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Module away\n------------------\nRelays ground floor [1192961]\n\n"));
    const QByteArray after = folder.Read("house.qvp");
    EXPECT_TRUE(before.contains("Living room ceiling|"));
    EXPECT_FALSE(after.contains("Living room ceiling|"));  // a control of the relays that went
    EXPECT_TRUE(after.contains(folder.Data("house2.qap").toUtf8() + "|"));
    ASSERT_EQ(folder.Backups().size(), 1);
    EXPECT_EQ(folder.ProgramFolder::Read(folder.File(QStringLiteral("Data/Backup File/") + folder.Backups()[0])), before);
}

// Every refusal: a message, exit 1, the project as it was and no backup.
TEST(QuelnorToolUpdate, RefusalsWriteNothing)
{
    UpdateFolder folder;
    TFileAccess::SaveAtomically(folder.Data("notes.qap"), "shopping list\r\n");
    TFileAccess::SaveAtomically(folder.Data("broken.qvp"), "not a project\r\n");
    const QByteArray before = folder.Read("house.qvp");
    struct Row { QStringList arguments; const char *message; };
    const Row rows[] = {
        {{"update", folder.Data("house.qvp"), folder.Data("missing.qap")}, "Unable to read the export:"},
        {{"update", folder.Data("house.qvp"), folder.Data("notes.qap")}, "This file is not a configuration export:"},
        {{"update", folder.Data("house.qvp"), folder.Data("house2.qap"), "--application", "C:\\Other.qap"},
         "No application C:\\Other.qap in the project; its applications are:\n  C:\\Quelnor\\Data\\house.qap"},
        {{"update", folder.Data("broken.qvp"), folder.Data("house2.qap")}, "Cannot read the project"},
    };
    for (const Row &row : rows) {
        const ToolRun run = RunTool(row.arguments, QString(), folder.Path());
        EXPECT_EQ(run.status, 1) << row.message;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(row.message))) << run.err.toStdString();
        EXPECT_EQ(folder.Read("house.qvp"), before) << row.message;
        EXPECT_TRUE(folder.Backups().isEmpty()) << row.message;
    }

    // A project that cannot be saved: no backup either.
    QFile::setPermissions(folder.Data("house.qvp"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const ToolRun locked = RunTool({"update", folder.Data("house.qvp"), folder.Data("house2.qap")}, QString(), folder.Path());
    EXPECT_EQ(locked.status, 1);
    EXPECT_TRUE(locked.err.contains(QStringLiteral("Cannot write the project"))) << locked.err.toStdString();
    EXPECT_EQ(folder.Read("house.qvp"), before);
    EXPECT_TRUE(folder.Backups().isEmpty());

    // Several applications and no key: refused with their keys.
    QFile::copy(QStringLiteral(QUELNOR_TEST_DATA "/project/two-applications.qvp"), folder.Data("two.qvp"));
    const ToolRun two = RunTool({"update", folder.Data("two.qvp"), folder.Data("house2.qap")}, QString(), folder.Path());
    EXPECT_EQ(two.status, 1);
    EXPECT_TRUE(two.err.contains(QStringLiteral("The project has 2 applications; choose one with --application:\n"))) << two.err.toStdString();
    EXPECT_TRUE(folder.Backups().isEmpty());

    // With the key given, the one application is updated.
    QFile::setPermissions(folder.Data("house.qvp"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const ToolRun chosen = RunTool({"update", folder.Data("house.qvp"), folder.Data("house2.qap"), "--application",
                                    "C:\\Quelnor\\Data\\house.qap"}, QString(), folder.Path());
    EXPECT_EQ(chosen.status, 0) << chosen.err.toStdString();
}
