#include "ToolRun.h"

#include "../project/ProjectFixture.h"
#include "QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

ToolRun Resave(const ProjectFixture &fixture, const QString &in, const QString &out)
{
    return RunTool({"resave", in, out}, QString(), fixture.ProgramFolder());
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
        const QString out = fixture.Path(QStringLiteral("out-") + file);
        const ToolRun run = Resave(fixture, data.filePath(file), out);
        ASSERT_EQ(run.status, 0) << file.toStdString() << run.err.toStdString();
        // An upgrade says so on standard error, and nothing else.
        EXPECT_TRUE(!file.startsWith(QStringLiteral("version-")) || run.err == QStringLiteral("This application will be update\n")) << run.err.toStdString();
        EXPECT_EQ(ProgramFolder::Read(out), ProjectFixture::TestFile(file + QStringLiteral(".expected"))) << file.toStdString();
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
        const QString out = fixture.Path(QStringLiteral("out.qvp"));
        const ToolRun run = Resave(fixture, row.in, out);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QLatin1String(row.message))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
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
    const ToolRun run = Resave(fixture, fixture.Path(QStringLiteral("in.qvp")), fixture.Path(QStringLiteral("out.qvp")));
    EXPECT_EQ(std::make_tuple(run.status, run.err), std::make_tuple(0, QStringLiteral("File Not Found:\nC:\\Elsewhere\\gone.bmp\n reset to default Image\n")));
    const QByteArray written = ProgramFolder::Read(fixture.Path(QStringLiteral("out.qvp")));
    const QByteArray background = QDir(fixture.ProgramFolder()).filePath(QStringLiteral("Default Images/wall_800x600.bmp")).toUtf8();
    EXPECT_TRUE(written.contains("Ground floor|" + background + "|"));
    EXPECT_TRUE(written.contains("Garage|C:\\QUELNOR\\default images\\WALL_800X600.BMP|"));  // found, kept as stored
}
