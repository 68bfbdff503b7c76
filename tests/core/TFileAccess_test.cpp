#include "TFileAccess.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString &path)
{
    struct stat st{};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

// A file larger than any export or project is refused without being read; one at the bound is not.
TEST(TFileAccess, FilesOverTheSizeBoundAreRefusedUnread)
{
    QTemporaryDir folder;
    const struct { qint64 size; bool read; } rows[] = {{0, true}, {1000, true}, {TFileAccess::MaxFileSize + 1, false},
                                                        {qint64(1) << 30, false}};
    for (const auto &row : rows) {
        const QString path = folder.filePath(QStringLiteral("file-%1").arg(row.size));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(row.size));  // sparse: nothing is written
        file.close();
        QByteArray content = "left over";
        bool tooLarge = true;
        EXPECT_EQ(TFileAccess::Read(path, content, &tooLarge), row.read) << row.size;
        EXPECT_EQ(tooLarge, !row.read) << row.size;
        EXPECT_EQ(content.size(), row.read ? row.size : 0) << row.size;
    }
    bool tooLarge = true;
    QByteArray content;
    EXPECT_FALSE(TFileAccess::Read(folder.filePath(QStringLiteral("missing")), content, &tooLarge));
    EXPECT_FALSE(tooLarge);
    // A device that never ends, a pipe nobody writes to, a folder: refused unopened, no wait.
    const QString fifo = folder.filePath(QStringLiteral("fifo.qvp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {QStringLiteral("/dev/zero"), fifo, folder.path()}) {
        EXPECT_FALSE(TFileAccess::Read(path, content, &tooLarge)) << path.toStdString();
        EXPECT_FALSE(tooLarge);
        EXPECT_TRUE(content.isEmpty());
        EXPECT_TRUE(TFileAccess::IsOtherThanAFile(path));
    }
    EXPECT_FALSE(TFileAccess::IsOtherThanAFile(folder.filePath(QStringLiteral("missing"))));
}

// A new file gets the user's umask (a project holds passwords); a replaced file keeps its mode
// and its owner; a save clears up what earlier saves cut off left.
TEST(TFileAccess, SavesKeepModeAndOwnerAndClearCutOffTemporaries)
{
    QTemporaryDir folder;
    const mode_t saved = ::umask(0);
    const struct { mode_t umask; mode_t created; } rows[] = {{022, 0644}, {077, 0600}, {027, 0640}, {0, 0666}};
    for (const auto &row : rows) {
        ::umask(row.umask);
        const QString path = folder.filePath(QStringLiteral("new-%1.qvp").arg(row.umask));
        ASSERT_TRUE(TFileAccess::SaveAtomically(path, "project\r\n"));
        EXPECT_EQ(ModeOf(path), row.created) << std::oct << row.umask;
    }
    ::umask(022);
    const QString existing = folder.filePath(QStringLiteral("existing.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(existing, "first\r\n"));
    ::chmod(QFile::encodeName(existing).constData(), 0604);
    ASSERT_TRUE(TFileAccess::SaveAtomically(existing, "second\r\n"));
    EXPECT_EQ(ModeOf(existing), mode_t(0604));
    ::umask(saved);

    // A save removes what a save killed before its rename left (older than a minute), never a
    // temporary file that may be a save under way; run as root it keeps the file's owner and group.
    const QString path = folder.filePath(QStringLiteral("house.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, "first\r\n"));
    const QString stale = folder.filePath(QStringLiteral(".house.qvp.Ab12Cd"));
    const QString recent = folder.filePath(QStringLiteral(".house.qvp.Ef34Gh"));
    const QString other = folder.filePath(QStringLiteral(".garden.qvp.Ij56Kl"));
    const QString longer = folder.filePath(QStringLiteral(".house.qvp.Mn78Op9"));
    for (const QString &name : {stale, recent, other, longer}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("cut off");
        file.flush();
        if (name != recent)
            file.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
    }
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 1, 1), 0);
    }
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, "second\r\n"));
    EXPECT_EQ(QList<bool>({QFile::exists(stale), QFile::exists(recent), QFile::exists(other), QFile::exists(longer)}),
              QList<bool>({false, true, true, true}));
    if (root) {
        struct stat st{};
        ::stat(QFile::encodeName(path).constData(), &st);
        EXPECT_EQ(std::make_tuple(st.st_uid, st.st_gid), std::make_tuple(1u, 1u));
    }
}

// Past the file-size limit the tool reports the failed save and keeps the old file instead of
// being killed by the signal.
TEST(TFileAccess, APastTheLimitSaveIsReportedNotFatal)
{
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(out, "the previous project\r\n"));
    QProcess tool;
    tool.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -f 1; exec \"$0\" resave \"$1\" \"$2\""),
                                      QStringLiteral(QUELNOR_PROGRAM_DIR "/quelnor-tool"),
                                      QStringLiteral(QUELNOR_TEST_DATA "/house/house.qvp"), out});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(std::make_tuple(tool.exitStatus(), tool.exitCode()), std::make_tuple(QProcess::NormalExit, 1));
    EXPECT_FALSE(tool.readAllStandardError().isEmpty());
    QByteArray content;
    EXPECT_TRUE(TFileAccess::Read(out, content) && content == "the previous project\r\n") << content.constData();
}
