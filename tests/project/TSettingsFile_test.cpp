#include "TSettingsFile.h"

#include "QtPrinters.h"
#include "TFileAccess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(folder.path()).mkpath(QStringLiteral("Data"));
        for (const char *name : {"a.qvp", "b.qvp", "c.qvp", "d.qvp", "e.qvp"})
            TFileAccess::SaveAtomically(Path(QString::fromLatin1(name)), "x");
    }
    QString Path(const QString &name) const { return folder.filePath(name); }
    QByteArray P(const char *name) const { return Path(QString::fromLatin1(name)).toUtf8(); }
    void WriteFile(const QByteArray &content) { TFileAccess::SaveAtomically(TSettingsFile::FilePath(folder.path()), content); }

    QTemporaryDir folder;
};

} // namespace

TEST_F(SettingsFileTest, FreshStart)
{
    TSettings settings = TSettingsFile::Read(folder.path());
    EXPECT_EQ(settings.ExportFolder, Path(QStringLiteral("Data")));
    ASSERT_TRUE(TSettingsFile::Write(folder.path(), settings, QString()));
    QByteArray written;
    ASSERT_TRUE(TFileAccess::Read(Path(QStringLiteral("Dev Project.txt")), written));
    const QByteArray data = P("Data");
    EXPECT_EQ(written, "[QAP Path]\r\n" + data + "\r\n[QVP Path]\r\n" + data + "\r\n[Last Files]\r\n[PORT]\r\n0000\r\n[OpenLastFile]\r\n00|\r\n");
}

TEST_F(SettingsFileTest, ReadsEverySectionAndDropsWhatNoLongerExists)
{
    WriteFile("ignored before the first heading\r\n"
              "[QAP Path]\r\n" + P("Data") + "\r\n"
              "[QVP Path]\r\n" + P("gone") + "\r\n"
              "[Last Files]\r\n" + P("a.qvp") + "\r\n" + P("missing.qvp") + "\r\n" + P("b.qvp") + "\r\n" + P("c.qvp") + "\r\n"
              + P("d.qvp") + "\r\n" + P("e.qvp") + "\r\n"
              "[PORT]\r\n" "0a1F\r\n"
              "[OpenLastFile]\r\n" "01" + P("a.qvp") + "|\r\n");
    const TSettings s = TSettingsFile::Read(folder.path());
    EXPECT_EQ(s.ExportFolder, Path(QStringLiteral("Data")));
    EXPECT_EQ(s.ProjectFolder, Path(QStringLiteral("Data")));  // "gone" does not exist: the default stays
    // Five existing files: only the first four are taken.
    EXPECT_EQ(s.RecentFiles, QStringList({Path(QStringLiteral("a.qvp")), Path(QStringLiteral("b.qvp")),
                                          Path(QStringLiteral("c.qvp")), Path(QStringLiteral("d.qvp"))}));
    EXPECT_EQ(s.PortA, 0x0a);
    EXPECT_EQ(s.PortB, 0x1f);
    EXPECT_TRUE(s.OpenLastFile);
    EXPECT_EQ(s.LastFile, Path(QStringLiteral("a.qvp")));

    // Written back: ports carried, a folder that does not exist becomes the program folder.
    TSettings copy = s;
    copy.ProjectFolder = Path(QStringLiteral("gone"));
    ASSERT_TRUE(TSettingsFile::Write(folder.path(), copy, Path(QStringLiteral("e.qvp"))));
    EXPECT_EQ(copy.ProjectFolder, folder.path());
    EXPECT_EQ(copy.LastFile, Path(QStringLiteral("e.qvp")));
    QByteArray written;
    TFileAccess::Read(TSettingsFile::FilePath(folder.path()), written);
    EXPECT_TRUE(written.contains("[PORT]\r\n0a1f\r\n[OpenLastFile]\r\n01" + P("e.qvp") + "|\r\n"));
}

TEST_F(SettingsFileTest, LastLineWithoutLineEndKeepsItsLastCharacter)
{
    WriteFile("[QVP Path]\r\n" + P("Data") + "\r\n[Last Files]\r\n" + P("a.qvp"));
    const TSettings s = TSettingsFile::Read(folder.path());
    EXPECT_EQ(s.RecentFiles, QStringList({Path(QStringLiteral("a.qvp"))}));
}

TEST_F(SettingsFileTest, RecentFilesUpdate)
{
    TSettings s;
    s.RecentFiles = {Path(QStringLiteral("a.qvp")), Path(QStringLiteral("b.qvp")), Path(QStringLiteral("missing.qvp")),
                     Path(QStringLiteral("c.qvp"))};
    TSettingsFile::UpdateRecentFiles(s, Path(QStringLiteral("b.qvp")));
    EXPECT_EQ(s.RecentFiles, QStringList({Path(QStringLiteral("b.qvp")), Path(QStringLiteral("a.qvp")), Path(QStringLiteral("c.qvp"))}));
    s.RecentFiles.append(Path(QStringLiteral("d.qvp")));
    TSettingsFile::UpdateRecentFiles(s, Path(QStringLiteral("e.qvp")));
    EXPECT_EQ(s.RecentFiles, QStringList({Path(QStringLiteral("e.qvp")), Path(QStringLiteral("b.qvp")),
                                          Path(QStringLiteral("a.qvp")), Path(QStringLiteral("c.qvp"))}));
}

// Paths the file cannot hold stay out of it; those it can come back exactly as they were.
TEST_F(SettingsFileTest, OnlyPathsItCanHoldAreKept)
{
    const QString accented = Path(QStringLiteral("caf\u00e9.qvp"));
    const QString foreign = Path(QStringLiteral("\u6771\u4eac.qvp"));
    const QString barred = Path(QStringLiteral("a|b.qvp"));
    for (const QString &file : {accented, foreign, barred})
        TFileAccess::SaveAtomically(file, "x");
    TSettings s = TSettingsFile::Read(folder.path());
    for (const QString &file : {accented, foreign, barred})
        TSettingsFile::UpdateRecentFiles(s, file);
    EXPECT_EQ(s.RecentFiles, QStringList({accented}));
    s.OpenLastFile = true;
    ASSERT_TRUE(TSettingsFile::Write(folder.path(), s, foreign));
    const TSettings back = TSettingsFile::Read(folder.path());
    EXPECT_EQ(back.RecentFiles, QStringList({accented}));
    EXPECT_TRUE(back.LastFile.isEmpty());

    ASSERT_TRUE(TSettingsFile::Write(folder.path(), s, accented));
    EXPECT_EQ(TSettingsFile::Read(folder.path()).LastFile, accented);
}
