#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "THistoryRecorder.h"
#include "THistoryStore.h"
#include "TProgramLists.h"
#include "TProjectSession.h"
#include "TQuelnorTool.h"
#include "TVQQModuleBase.h"

#include "RecordingMessages.h"
#include "TFileAccess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr qint64 k_day = 24 * k_hour;
// 2026-12-01T00:00:00Z
constexpr qint64 k_start = 1796083200000;

// The test installation (house.qap: relays are module 2, serial 06123401, the type-9 dimmer
// module 4) in a headless session whose every change a recorder keeps, on a clock of the test's.
class HistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        application = session.AddApplication(QStringLiteral(QUELNOR_TEST_EXPORT));
        ASSERT_NE(application, nullptr);
        recorder = std::make_unique<THistoryRecorder>(session, folder.path(), [this](const QString &line) { said.append(line); });
        recorder->SetClock([this] { return now; });
        session.SetMode(RunMode::RunTime);
    }

    void Frame(const char *message, bool damaged = false)
    {
        QByteArray frame = TFrameBuilder::Frame(QByteArray::fromHex(message));
        if (damaged)
            frame[frame.size() - 2] = frame[frame.size() - 2] == '0' ? '1' : '0';
        application->AssembleBytes(frame);
        application->EndBatch();
    }

    QString Database() const { return THistoryRecorder::DatabasePath(folder.path(), "45000101"); }

    std::vector<THistoryRow> Rows(const QString &kind = QStringLiteral("state"))
    {
        recorder->FlushAndWait();
        THistoryStore store;
        QString error;
        EXPECT_TRUE(store.Open(Database(), error, nullptr, true)) << error.toStdString();
        return store.Rows(0, std::numeric_limits<qint64>::max(), -1, kind);
    }

    QTemporaryDir folder;
    RecordingMessages messages;
    TProjectSession session{folder.path(), &messages};
    TDataFileManager *application = nullptr;
    std::unique_ptr<THistoryRecorder> recorder;
    QStringList said;
    qint64 now = k_start;
};

// One change, one row: a frame that changes nothing adds none, a damaged frame none, test mode's
// changes are marked.
TEST_F(HistoryTest, EachChangeIsOneRow)
{
    Frame("b50000028600 01");  // relays: channel 0 on, the others off: each channel's first value
    const std::vector<THistoryRow> first = Rows();
    ASSERT_EQ(first.size(), 8u) << said.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(std::tie(first[0].Serial, first[0].Channel, first[0].What, first[0].Text, first[0].Name, first[0].Time),
              std::make_tuple(QStringLiteral("06123401"), 0, QStringLiteral("output"), QStringLiteral("ON"),
                              QStringLiteral("Relays ground floor / Living room ceiling"), k_start));
    // Every channel of the batch keeps its own name (the catalogue's statements serve each row).
    EXPECT_EQ(std::make_tuple(first[1].Name, first[7].Name),
              std::make_tuple(QStringLiteral("Relays ground floor / Living room wall lamps"), QStringLiteral("Relays ground floor / Terrace lights")));

    struct Step
    {
        const char *message;
        bool damaged;
        size_t added;
    };
    const Step steps[] = {
        {"b50000028600 01", false, 0},   // the same again
        {"b50000028600 03", true, 0},    // a wrong checksum: dropped
        {"b50000028600 03", false, 1},   // channel 1 on
        {"b500000488003200640000000000", false, 4},  // the dimmer's four levels, first seen
        {"b500000488003200640000000000", false, 0},
        {"b500000488003300640000000000", false, 1},  // one level moved
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.message);
        const size_t before = Rows().size();
        now += 1000;
        Frame(step.message, step.damaged);
        EXPECT_EQ(Rows().size() - before, step.added);
    }
    const THistoryRow level = Rows().back();
    EXPECT_EQ(std::make_tuple(level.What, level.Value), std::make_tuple(QStringLiteral("level"), 51.0));

    // Test mode: a click's state is recorded as a test, never as a report.
    session.SetMode(RunMode::Test);
    TVQQModuleBase *relays = session.Lists()->FindModule(application, 2);
    const size_t before = Rows().size();
    relays->ToggleTestState(3);
    relays->RefreshControls();
    ASSERT_EQ(Rows().size(), before + 1);
    const THistoryRow test = Rows().back();
    EXPECT_EQ(std::tie(test.Test, test.Channel, test.Text), std::make_tuple(true, 3, QStringLiteral("ON")));
    const std::vector<THistoryRow> modes = Rows(QStringLiteral("mode"));
    ASSERT_GE(modes.size(), 2u);
    EXPECT_EQ(modes.back().Text, QStringLiteral("Test"));
    // Leaving the test puts the reported states back: the test's end is a test row, no report.
    session.SetMode(RunMode::RunTime);
    const std::vector<THistoryRow> after = Rows();
    ASSERT_EQ(after.size(), before + 2);
    EXPECT_EQ(std::make_tuple(after.back().Test, after.back().Text), std::make_tuple(true, QStringLiteral("OFF")));
}

// With another application added and removed again, the first one's changes are still recorded.
TEST_F(HistoryTest, ChangesAreRecordedAfterAnotherApplicationWent)
{
    const QString copy = folder.filePath(QStringLiteral("annex.qap"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUELNOR_TEST_EXPORT), copy));
    TDataFileManager *annex = session.AddApplication(copy);
    ASSERT_NE(annex, nullptr);
    session.RemoveApplication(*annex);
    Frame("b50000028600 01");
    EXPECT_EQ(Rows().size(), 8u);

    // A channel renamed by a newer export: its next change carries the new name.
    QByteArray text;
    ASSERT_TRUE(TFileAccess::Read(QStringLiteral(QUELNOR_TEST_EXPORT), text));
    ASSERT_TRUE(text.contains("Living room ceiling"));
    const QString renamed = folder.filePath(QStringLiteral("house.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(renamed, text.replace("Living room ceiling", "Lounge ceiling       ")));
    ASSERT_TRUE(session.UpdateApplication(*application, renamed, QDateTime::currentDateTime(), false));
    now += 1000;
    Frame("b50000028600 00");
    const std::vector<THistoryRow> rows = Rows();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows.back().Name, QStringLiteral("Relays ground floor / Lounge ceiling"));
}

// Hourly minimum, maximum and average of what the modules reported; raw rows and aggregates go
// after their retention.
TEST_F(HistoryTest, RetentionKeepsHourlyAggregates)
{
    THistoryStore store;
    QString error;
    ASSERT_TRUE(store.Open(Database(), error)) << error.toStdString();
    std::vector<THistoryRow> rows;
    const double values[] = {20.0, 21.0, 22.5, 19.5};
    for (int i = 0; i < 4; ++i) {
        // At 0, 20, 40 and 60 minutes.
        rows.push_back({.Time = k_start + i * 20 * 60 * 1000, .Kind = QStringLiteral("state"), .Serial = QStringLiteral("0a12340b"),
                        .Channel = 0, .What = QStringLiteral("temperature"), .Value = values[i], .HasValue = true});
    }
    THistoryRow test = rows[0];
    test.Value = 99;
    test.Test = true;
    rows.push_back(test);
    // A variable: no serial; its key as a control's "History…" makes it has a null one.
    rows.push_back({.Time = k_start + 600000, .Kind = QStringLiteral("variable"), .Channel = 2, .What = QStringLiteral("value"), .Value = 3, .HasValue = true});
    ASSERT_TRUE(store.Write(rows, error)) << error.toStdString();

    const THistoryRetention retention{.RawDays = 30, .HourlyDays = 730};
    ASSERT_TRUE(store.Purge(k_start + 2 * k_hour, retention, error)) << error.toStdString();
    const auto hours = store.HourlyOf(QStringLiteral("0a12340b"), 0, QStringLiteral("temperature"));
    ASSERT_EQ(hours.size(), 2u);
    EXPECT_EQ(std::tie(hours[0].Hour, hours[0].Minimum, hours[0].Maximum), std::make_tuple(k_start, 20.0, 22.5));
    EXPECT_DOUBLE_EQ(hours[0].Average, 21.166666666666668);
    EXPECT_EQ(std::make_tuple(hours[0].Count, hours[1].Count), std::make_tuple(3, 1)) << "the test row is no measurement";
    EXPECT_EQ(store.Rows(0, k_start + k_day).size(), 6u);
    const std::vector<THistoryRow> newest = store.Rows(0, k_start + k_day, -1, {}, 2);
    ASSERT_EQ(newest.size(), 2u);
    EXPECT_EQ(std::make_tuple(newest[0].Value, newest[1].Value), std::make_tuple(22.5, 19.5));

    ASSERT_TRUE(store.Purge(k_start + 31 * k_day, retention, error));
    EXPECT_TRUE(store.Rows(0, k_start + 40 * k_day).empty()) << "raw rows kept 30 days";
    EXPECT_EQ(store.HourlyOf(QStringLiteral("0a12340b"), 0, QStringLiteral("temperature")).size(), 2u);
    const auto plotted = store.Plot({QStringLiteral("variable"), QString(), 2, QStringLiteral("value"), {}}, k_start, k_start + 2 * k_hour, k_start + 31 * k_day, 100);
    EXPECT_EQ(store.HourlyOf(QString(), 2, QStringLiteral("value")).size(), 1u);
    EXPECT_FALSE(plotted.empty() || plotted[0].empty()) << "the hourly figures of a series without serial";
    ASSERT_TRUE(store.Purge(k_start + 731 * k_day, retention, error));
    EXPECT_TRUE(store.HourlyOf(QStringLiteral("0a12340b"), 0, QStringLiteral("temperature")).empty());
}

// A damaged file is set aside and a new history begun; a locked one pauses recording with one
// message, and run time goes on.
TEST_F(HistoryTest, DamagedAndLockedHistories)
{
    recorder.reset();
    ASSERT_TRUE(TFileAccess::SaveAtomically(Database(), QByteArray(8192, 'x')));
    recorder = std::make_unique<THistoryRecorder>(session, folder.path(), [this](const QString &line) { said.append(line); });
    recorder->SetClock([this] { return now; });
    Frame("b50000028600 01");
    EXPECT_EQ(Rows().size(), 8u);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral("was damaged"))) << said[0].toStdString();
    const QStringList aside = QDir(folder.path()).entryList({QStringLiteral("45000101.sqlite.damaged-*")});
    ASSERT_EQ(aside.size(), 1);
    QByteArray kept;
    ASSERT_TRUE(TFileAccess::Read(folder.filePath(aside[0]), kept));
    EXPECT_EQ(kept, QByteArray(8192, 'x')) << "never deleted";

    // Another program holds the history locked.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        other.setDatabaseName(Database());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        recorder.reset();
        said.clear();
        recorder = std::make_unique<THistoryRecorder>(session, folder.path(), [this](const QString &line) { said.append(line); });
        recorder->SetClock([this] { return now; });
        Frame("b50000028600 03");
        recorder->FlushAndWait();
        EXPECT_TRUE(recorder->Paused());
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said[0].contains(QStringLiteral("recording is paused"))) << said[0].toStdString();
        Frame("b50000028600 07");
        recorder->FlushAndWait();
        EXPECT_EQ(said.size(), 1) << "said once";
        lock.exec(QStringLiteral("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    now += 61 * 1000;
    EXPECT_FALSE(recorder->Paused());
    Frame("b50000028600 0f");
    EXPECT_EQ(Rows().back().Channel, 3) << "recording again after the pause";
}

// The CSV bytes, and quelnor-tool history reading the same.
TEST_F(HistoryTest, CsvAndTheCommandLine)
{
    Frame("b50000028600 01");
    now += 1500;
    Frame("b50000028600 00");
    const std::vector<THistoryRow> rows = Rows();
    const std::vector<THistoryRow> two{rows.front(), rows.back()};
    EXPECT_EQ(THistoryStore::Csv(two), QByteArray("time,kind,module,channel,name,what,value,test\r\n"
                                                  "2026-12-01T00:00:00.000Z,state,2,0,Relays ground floor / Living room ceiling,output,1,0\r\n"
                                                  "2026-12-01T00:00:01.500Z,state,2,0,Relays ground floor / Living room ceiling,output,0,0\r\n"));
    const THistoryRow text{.Time = k_start, .Kind = QStringLiteral("link"), .What = QStringLiteral("health"),
                           .Text = QStringLiteral("Lost: no answer, \"timeout\"")};
    EXPECT_EQ(THistoryStore::Csv({text}), QByteArray("time,kind,module,channel,name,what,value,test\r\n"
                                                     "2026-12-01T00:00:00.000Z,link,,,,health,\"Lost: no answer, \"\"timeout\"\"\",0\r\n"));

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QTextStream in(stdin);
    TQuelnorTool tool(in, outStream, errStream, folder.path());
    EXPECT_EQ(tool.Run({"history", Database(), "--kind", "state", "--since", "2026-12-01T00:00:01Z", "--csv"}), 0) << err.toStdString();
    outStream.flush();
    EXPECT_EQ(out, QStringLiteral("time,kind,module,channel,name,what,value,test\r\n"
                                  "2026-12-01T00:00:01.500Z,state,2,0,Relays ground floor / Living room ceiling,output,0,0\r\n"));
    out.clear();
    EXPECT_EQ(tool.Run({"history", Database(), "--module", "2", "--until", "2026-12-01T00:00:01Z"}), 0);
    outStream.flush();
    EXPECT_TRUE(out.startsWith(QStringLiteral("2026-12-01T00:00:00.000Z  state    Relays ground floor / Living room ceiling  output ON\n")))
        << out.toStdString();
    EXPECT_TRUE(out.endsWith(QStringLiteral("8 rows\n"))) << out.toStdString();
    EXPECT_EQ(tool.Run({"history", Database(), "--since", "yesterday"}), 2);
    EXPECT_EQ(tool.Run({"history", folder.filePath("none.sqlite")}), 1);
}

// The writer of a history killed while writing: the file opens, passes SQLite's integrity check
// and holds every batch that was committed, each whole (at most the last second is lost). The
// writer is this test program run again as a child, killed with SIGKILL.
TEST(HistoryCrash, AKilledWriterLosesAtMostItsLastBatch)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("killed.sqlite"));
    QProcess writer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUELNOR_HISTORY_WRITER"), path);
    writer.setProcessEnvironment(environment);
    writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=HistoryCrash.WriterUntilKilled")});
    ASSERT_TRUE(writer.waitForStarted(5000));
    // Killed once it has committed twenty batches, while it writes the next.
    int committed = -1;
    QByteArray output;
    while (committed < 20 && writer.waitForReadyRead(10000)) {
        output += writer.readAllStandardOutput();
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith("committed "))
                committed = std::max(committed, line.mid(10).toInt());
        }
    }
    ASSERT_GE(committed, 20) << output.toStdString();
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(5000));

    THistoryStore store;
    QString error;
    ASSERT_TRUE(store.Open(path, error)) << error.toStdString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
        EXPECT_EQ(query.value(0).toString(), QStringLiteral("ok"));
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*), MAX(time) FROM events")) && query.next());
        const qint64 rows = query.value(0).toLongLong();
        EXPECT_EQ(rows % 50, 0) << "whole batches only";
        EXPECT_GE(rows, 50 * (committed + 1)) << "every committed batch kept";
        EXPECT_LE(rows, 50 * (committed + 2)) << "at most the batch being written after the last one reported";
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

// The child of the test above: writes a batch of 50 rows a "second" until it is killed.
TEST(HistoryCrash, WriterUntilKilled)
{
    const QString path = qEnvironmentVariable("QUELNOR_HISTORY_WRITER");
    if (path.isEmpty())
        GTEST_SKIP() << "run by AKilledWriterLosesAtMostItsLastBatch";
    THistoryStore store;
    QString error;
    ASSERT_TRUE(store.Open(path, error)) << error.toStdString();
    for (int batch = 0; batch < 1000000; ++batch) {
        std::vector<THistoryRow> rows;
        for (int i = 0; i < 50; ++i) {
            rows.push_back({.Time = k_start + batch * 1000 + i, .Kind = QStringLiteral("state"), .Serial = QStringLiteral("0a12340b"),
                            .Channel = i % 8, .What = QStringLiteral("temperature"), .Value = 20 + i / 10.0, .HasValue = true});
        }
        ASSERT_TRUE(store.Write(rows, error)) << error.toStdString();
        std::printf("committed %d\n", batch);
        std::fflush(stdout);
    }
}

} // namespace

