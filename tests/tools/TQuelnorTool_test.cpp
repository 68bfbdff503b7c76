#include "TQuelnorTool.h"
#include "ToolRun.h"

#include "TFileAccess.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

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

    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_TRUE(run.out.contains(QStringLiteral("2 modules"))) << run.out.toStdString();
    QByteArray project;
    ASSERT_TRUE(TFileAccess::Read(dir.filePath(QStringLiteral("house.qvp")), project));
    EXPECT_EQ(project, ExpectedProject(QFileInfo(exportPath).absoluteFilePath().toUtf8()));
}

TEST(QuelnorToolImport, ExportThatCannotBeReadWritesNothing)
{
    QTemporaryDir dir;
    const QString projectPath = dir.filePath(QStringLiteral("p.qvp"));
    for (const QString &exportPath : {dir.filePath(QStringLiteral("missing.qap")), dir.path()}) {
        const ToolRun run = RunTool({"import", exportPath, projectPath});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot read the configuration export"))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(projectPath));
    }
}

// An export whose path the project file could not hold: the message, exit 1, nothing written.
TEST(QuelnorToolImport, ExportPathsThatCannotBeKeptAreRefused)
{
    QTemporaryDir dir;
    const QString projectPath = dir.filePath(QStringLiteral("p.qvp"));
    for (const char *name : {"a|b.qap", "\u6771\u4eac.qap", "line\nbreak.qap"}) {
        const QString exportPath = dir.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(TFileAccess::SaveAtomically(exportPath, k_export));
        const ToolRun run = RunTool({"import", exportPath, projectPath});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("This file name cannot be kept in a project file:\n") + exportPath)) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(projectPath)) << name;
    }
}

TEST(QuelnorToolImport, ProjectThatCannotBeWrittenIsReported)
{
    QTemporaryDir dir;
    const QString exportPath = dir.filePath(QStringLiteral("house.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(exportPath, k_export));
    const ToolRun run = RunTool({"import", exportPath, dir.filePath(QStringLiteral("no/folder/p.qvp"))});
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
