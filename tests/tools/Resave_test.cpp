#include "ToolRun.h"

#include "../project/ProjectFixture.h"
#include "QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

int RunResave(const QString &programFolder, const QString &in, const QString &out, QString &errText)
{
    const ToolRun run = RunTool({"resave", in, out}, QString(), programFolder);
    errText = run.err;
    return run.status;
}

} // namespace

// Every project file of the tests, opened as the program opens it and saved in the current format.
TEST(QuelnorToolResave, EveryTestProjectGivesItsExpectedBytes)
{
    ProjectFixture fixture;
    const QDir data(QStringLiteral(QUELNOR_TEST_DATA "/project"));
    const QStringList files = data.entryList({QStringLiteral("*.qvp")}, QDir::Files);
    ASSERT_GE(files.size(), 6);
    for (const QString &file : files) {
        QString errText;
        const QString out = fixture.Path(QStringLiteral("out-") + file);
        ASSERT_EQ(RunResave(fixture.ProgramFolder(), data.filePath(file), out, errText), 0) << file.toStdString() << errText.toStdString();
        QByteArray written;
        ASSERT_TRUE(TFileAccess::Read(out, written));
        EXPECT_EQ(written, ProjectFixture::TestFile(file + QStringLiteral(".expected"))) << file.toStdString();
    }
}

TEST(QuelnorToolResave, UnreadableProjectWritesNothing)
{
    ProjectFixture fixture;
    QByteArray broken = ProjectFixture::TestFile(QStringLiteral("two-applications.qvp"));
    broken.truncate(broken.indexOf("EOF Visual IO"));
    TFileAccess::SaveAtomically(fixture.Path(QStringLiteral("broken.qvp")), broken);
    struct Row { QString in; const char *message; };
    const Row rows[] = {
        {fixture.Path(QStringLiteral("missing.qvp")), "Cannot read the project"},
        {fixture.Path(QStringLiteral("broken.qvp")), "screens and controls are cut short or damaged"},
    };
    for (const Row &row : rows) {
        QString errText;
        const QString out = fixture.Path(QStringLiteral("out.qvp"));
        EXPECT_EQ(RunResave(fixture.ProgramFolder(), row.in, out, errText), 1);
        EXPECT_TRUE(errText.contains(QLatin1String(row.message))) << errText.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST(QuelnorToolResave, UpgradeMessageGoesToStandardError)
{
    ProjectFixture fixture;
    QString errText;
    ASSERT_EQ(RunResave(fixture.ProgramFolder(), QStringLiteral(QUELNOR_TEST_DATA "/project/version-3.qvp"),
                        fixture.Path(QStringLiteral("v4.qvp")), errText), 0);
    EXPECT_EQ(errText, QStringLiteral("This application will be update\n"));
}

// The tool replaces a screen background it cannot find as the program does, with its message; a
// path of another computer is found whatever the case of its letters.
TEST(QuelnorToolResave, MissingBackgroundsAsTheProgramDoes)
{
    ProjectFixture fixture;
    QByteArray project = ProjectFixture::TestFile(QStringLiteral("two-applications.qvp"));
    project.replace("Ground floor|C:\\Quelnor\\Default Images\\wall_800x600.bmp|", "Ground floor|C:\\Elsewhere\\gone.bmp|");
    project.replace("Garage|C:\\Quelnor\\Default Images\\wall_800x600.bmp|", "Garage|C:\\QUELNOR\\default images\\WALL_800X600.BMP|");
    TFileAccess::SaveAtomically(fixture.Path(QStringLiteral("in.qvp")), project);
    QString errText;
    ASSERT_EQ(RunResave(fixture.ProgramFolder(), fixture.Path(QStringLiteral("in.qvp")), fixture.Path(QStringLiteral("out.qvp")), errText), 0);
    EXPECT_EQ(errText, QStringLiteral("File Not Found:\nC:\\Elsewhere\\gone.bmp\n reset to default Image\n"));
    QByteArray written;
    ASSERT_TRUE(TFileAccess::Read(fixture.Path(QStringLiteral("out.qvp")), written));
    const QByteArray background = QDir(fixture.ProgramFolder()).filePath(QStringLiteral("Default Images/wall_800x600.bmp")).toUtf8();
    EXPECT_TRUE(written.contains("Ground floor|" + background + "|"));
    EXPECT_TRUE(written.contains("Garage|C:\\QUELNOR\\default images\\WALL_800X600.BMP|"));  // found, kept as stored
}
