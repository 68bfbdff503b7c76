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
            TFileAccess::SaveAtomically(Path(name), "x");
    }
    QString Path(const QString &name) const { return folder.filePath(name); }
    QString Path(const char *name) const { return Path(QString::fromLatin1(name)); }
    QByteArray Written() const
    {
        QByteArray written;
        TFileAccess::Read(TSettingsFile::FilePath(folder.path()), written);
        return written;
    }
    QByteArray P(const char *name) const { return Path(name).toUtf8(); }
    void WriteFile(const QByteArray &content) { TFileAccess::SaveAtomically(TSettingsFile::FilePath(folder.path()), content); }

    QTemporaryDir folder;
};

} // namespace

// A fresh start writes every section with its defaults; a file is read section by section, what
// no longer exists dropped.
TEST_F(SettingsFileTest, ReadsEverySectionAndDropsWhatNoLongerExists)
{
    TSettings settings = TSettingsFile::Read(folder.path());
    EXPECT_EQ(settings.ExportFolder, Path("Data"));
    ASSERT_TRUE(TSettingsFile::Write(folder.path(), settings, QString()));
    EXPECT_EQ(TSettingsFile::FilePath(folder.path()), Path("Dev Project.txt"));
    const QByteArray data = P("Data");
    EXPECT_EQ(Written(), "[QAP Path]\r\n" + data + "\r\n[QVP Path]\r\n" + data + "\r\n[Last Files]\r\n[PORT]\r\n0000\r\n[OpenLastFile]\r\n00|\r\n");

    WriteFile("ignored before the first heading\r\n"
              "[QAP Path]\r\n" + P("Data") + "\r\n"
              "[QVP Path]\r\n" + P("gone") + "\r\n"
              "[Last Files]\r\n" + P("a.qvp") + "\r\n" + P("missing.qvp") + "\r\n" + P("b.qvp") + "\r\n" + P("c.qvp") + "\r\n"
              + P("d.qvp") + "\r\n" + P("e.qvp") + "\r\n"
              "[PORT]\r\n" "0a1F\r\n"
              "[OpenLastFile]\r\n" "01" + P("a.qvp") + "|\r\n");
    const TSettings s = TSettingsFile::Read(folder.path());
    // "gone" does not exist: the default stays. Of five existing files only the first four are taken.
    EXPECT_EQ(std::tie(s.ExportFolder, s.ProjectFolder, s.PortA, s.PortB, s.OpenLastFile, s.LastFile),
              std::make_tuple(Path("Data"), Path("Data"), 0x0a, 0x1f, true, Path("a.qvp")));
    EXPECT_EQ(s.RecentFiles, QStringList({Path("a.qvp"), Path("b.qvp"), Path("c.qvp"), Path("d.qvp")}));

    // Written back: ports carried, a folder that does not exist becomes the program folder.
    TSettings copy = s;
    copy.ProjectFolder = Path("gone");
    ASSERT_TRUE(TSettingsFile::Write(folder.path(), copy, Path("e.qvp")));
    EXPECT_EQ(std::tie(copy.ProjectFolder, copy.LastFile), std::make_tuple(folder.path(), Path("e.qvp")));
    EXPECT_TRUE(Written().contains("[PORT]\r\n0a1f\r\n[OpenLastFile]\r\n01" + P("e.qvp") + "|\r\n"));

    // A last line without its line end keeps its last character.
    WriteFile("[QVP Path]\r\n" + P("Data") + "\r\n[Last Files]\r\n" + P("a.qvp"));
    EXPECT_EQ(TSettingsFile::Read(folder.path()).RecentFiles, QStringList({Path("a.qvp")}));
}

// Recent files: paths the file cannot hold stay out of it; those it can come back exactly as
// they were; the file opened goes first.
TEST_F(SettingsFileTest, RecentFilesKeepOnlyPathsItCanHold)
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
    EXPECT_EQ(std::tie(back.RecentFiles, back.LastFile), std::make_tuple(QStringList({accented}), QString()));

    ASSERT_TRUE(TSettingsFile::Write(folder.path(), s, accented));
    EXPECT_EQ(TSettingsFile::Read(folder.path()).LastFile, accented);

    // The file opened goes first, missing ones drop out, four at most.
    s.RecentFiles = {Path("a.qvp"), Path("b.qvp"), Path("missing.qvp"), Path("c.qvp")};
    TSettingsFile::UpdateRecentFiles(s, Path("b.qvp"));
    EXPECT_EQ(s.RecentFiles, QStringList({Path("b.qvp"), Path("a.qvp"), Path("c.qvp")}));
    s.RecentFiles.append(Path("d.qvp"));
    TSettingsFile::UpdateRecentFiles(s, Path("e.qvp"));
    EXPECT_EQ(s.RecentFiles, QStringList({Path("e.qvp"), Path("b.qvp"), Path("a.qvp"), Path("c.qvp")}));
}
