#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include "RecordingMessages.h"
#include "TFileAccess.h"
#include "UdpPeer.h"

#include "QtPrinters.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A status frame as the interface module sends it: the message bytes written by hand from the
// protocol's incoming table, the checksum and the frame marks added by the builder.
QByteArray Status(const char *messageHex)
{
    return TFrameBuilder::Frame(QByteArray::fromHex(messageHex));
}

// The house export's relay module is number 2 (type 6); its dimmer module is number 4.
class ProjectSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = session.AddApplication(QStringLiteral(QUELNOR_TEST_EXPORT));
        ASSERT_TRUE(app);
        relays = session.Lists()->FindModule(app, 2);
        ASSERT_TRUE(relays);
    }
    void Receive(const QByteArray &frame) { app->AssembleBytes(frame); }
    // Every signal of the session, by name, in the order they came.
    QStringList Heard() const { return m_heard; }
    void Listen()
    {
        const auto note = [this](const char *name) { return [this, name] { m_heard.append(QString::fromLatin1(name)); }; };
        QObject::connect(&session, &TProjectSession::projectOpened, &session, note("opened"));
        QObject::connect(&session, &TProjectSession::aboutToClose, &session, note("aboutToClose"));
        QObject::connect(&session, &TProjectSession::closed, &session, note("closed"));
        QObject::connect(&session, &TProjectSession::applicationAdded, &session, note("added"));
        QObject::connect(&session, &TProjectSession::applicationUpdated, &session, note("updated"));
        QObject::connect(&session, &TProjectSession::applicationRemoved, &session, note("removed"));
        QObject::connect(&session, &TProjectSession::modifiedChanged, &session,
                         [this](bool modified) { m_heard.append(modified ? QStringLiteral("modified") : QStringLiteral("saved")); });
    }

    QTemporaryDir folder;
    RecordingMessages messages;
    TProjectSession session{folder.path(), &messages};
    TDataFileManager *app = nullptr;
    TVQQModuleBase *relays = nullptr;

private:
    QStringList m_heard;
};

} // namespace

TEST_F(ProjectSessionTest, OneSignalForEachRealChangeAndNoneForADroppedFrame)
{
    QSignalSpy states(&session, &TProjectSession::stateChanged);
    QSignalSpy power(&session, &TProjectSession::powerChanged);
    QSignalSpy variables(&session, &TProjectSession::variableChanged);
    const struct
    {
        const char *what;
        QByteArray frame;
        int expected;  // stateChanged signals expected for module 2's outputs
    } rows[] = {
        {"channel 0 on", Status("B50000028600" "01"), 1},
        {"the same report again", Status("B50000028600" "01"), 0},
        {"channel 0 off", Status("B50000028600" "00"), 1},
        {"a wrong checksum", "\x02" "B50000028600A5E3" "\x03", 0},
        {"cut short", "\x02" "B500000286003D" "\x03", 0},
        {"another module", Status("B50000068100" "05"), 0},
    };
    for (const auto &row : rows) {
        states.clear();
        Receive(row.frame);
        int forRelays = 0;
        for (const QList<QVariant> &args : states) {
            if (args.at(1).value<TVQQModuleBase *>() == relays) {
                EXPECT_EQ(args.at(0).value<TDataFileManager *>(), app) << row.what;
                EXPECT_EQ(args.at(2).value<quint8>(), quint8(PartOutputs)) << row.what;
                ++forRelays;
            }
        }
        EXPECT_EQ(forRelays, row.expected) << row.what;
    }
    // The power follows the switched outputs and is announced only when it moves.
    ASSERT_FALSE(power.isEmpty());
    EXPECT_EQ(power.last().at(0).value<quint32>(), session.Lists()->CurrentPower());
    for (qsizetype i = 1; i < power.size(); ++i)
        EXPECT_NE(power.at(i).at(0), power.at(i - 1).at(0));

    // A variable: its value once, the same value again says nothing, a value past its maximum is
    // dropped.
    ASSERT_FALSE(session.Lists()->Variables().empty());
    TVQQVariableBaseItem *variable = session.Lists()->Variables().front().get();
    const QByteArray number = QByteArray::number(variable->GetVariableNumber(), 16).rightJustified(4, '0');
    Receive(Status("B5000001911400" + number + "01"));
    Receive(Status("B5000001911400" + number + "01"));
    Receive(Status("B5000001911400" + number + "FF"));
    ASSERT_EQ(variables.size(), 1);
    EXPECT_EQ(std::make_tuple(variables.at(0).at(1).value<TVQQVariableBaseItem *>(), variable->GetValue()), std::make_tuple(variable, 1));
}

TEST_F(ProjectSessionTest, MemosFollowTheirModuleAndTestModeIsAnnouncedAndPutBack)
{
    // A memo that follows an output channel of a relay module.
    TVQQMemoBaseItem *memo = nullptr;
    for (const auto &candidate : session.Lists()->Memos()) {
        if (candidate->GetModule() && candidate->GetModule()->GetModuleType() == 6 && !memo)
            memo = candidate.get();
    }
    ASSERT_TRUE(memo) << "the house export has a memo on a relay channel";
    TVQQModuleBase *module = memo->GetModule();
    const QByteArray number = QByteArray::number(module->GetModuleNumber(), 16).rightJustified(2, '0');
    const QByteArray on = QByteArray::number(1 << memo->GetChannel(), 16).rightJustified(2, '0');
    QSignalSpy memos(&session, &TProjectSession::memoChanged);
    Receive(Status("B50000" + number + "8600" + on));
    Receive(Status("B50000" + number + "8600" + on));
    ASSERT_EQ(memos.size(), 1);
    EXPECT_EQ(std::make_tuple(memos.at(0).at(1).value<TVQQMemoBaseItem *>(), memo->GetStateText()), std::make_tuple(memo, QByteArray("On")));

    QSignalSpy modes(&session, &TProjectSession::modeChanged);
    QSignalSpy states(&session, &TProjectSession::stateChanged);
    EXPECT_TRUE(session.SetMode(RunMode::Test));
    EXPECT_FALSE(session.SetMode(RunMode::Test));
    // As a click in test mode does: the state changed, then the controls re-read it.
    module->ToggleTestState(memo->GetChannel());
    module->RefreshControls();
    EXPECT_EQ(std::make_tuple(states.size(), memos.size(), memo->GetStateText()), std::make_tuple(1, 2, QByteArray("Off")));
    // Leaving test mode puts back what the module reported, and says so.
    EXPECT_TRUE(session.SetMode(RunMode::DesignTime));
    EXPECT_EQ(std::make_tuple(states.size(), memo->GetStateText()), std::make_tuple(2, QByteArray("On")));
    ASSERT_EQ(modes.size(), 2);
    EXPECT_EQ(std::make_tuple(modes.at(0).at(0).value<RunMode>(), modes.at(1).at(0).value<RunMode>()), std::make_tuple(RunMode::Test, RunMode::DesignTime));
}

TEST_F(ProjectSessionTest, ProjectsAndApplicationsComeAndGoInOrder)
{
    Listen();
    // Not an export: refused with the message, nothing added.
    const QString text = folder.filePath(QStringLiteral("notes.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(text, "shopping list\r\nmilk\r\n"));
    EXPECT_EQ(session.AddApplication(text), nullptr);
    EXPECT_EQ(messages.Shown.value(0), QStringLiteral("This file is not a configuration export:\n") + text);
    EXPECT_EQ(session.Project()->Applications().size(), 1u);

    const QString saved = folder.filePath(QStringLiteral("house.qvp"));
    QString error;
    ASSERT_TRUE(session.Save(saved, &error)) << error.toStdString();
    EXPECT_TRUE(session.UpdateApplication(*app, QStringLiteral(QUELNOR_TEST_EXPORT)));
    session.RemoveApplication(*app);
    EXPECT_TRUE(session.Lists()->Modules().empty());
    ASSERT_TRUE(session.Open(saved, &error)) << error.toStdString();
    EXPECT_EQ(session.Project()->Applications().size(), 1u);
    EXPECT_FALSE(session.Lists()->Modules().empty());
    // A file that is no project: the empty project takes the place of the open one.
    EXPECT_FALSE(session.Open(text, &error));
    EXPECT_EQ(std::make_tuple(error, session.Project()->IsOpen(), session.Lists()->Modules().size()),
              std::make_tuple(QStringLiteral("The file is not a project file."), false, 0u));
    EXPECT_EQ(Heard(), QStringList({"saved", "updated", "modified", "removed", "aboutToClose", "closed", "saved", "opened",
                                    "aboutToClose", "closed", "closed"}));
}

TEST_F(ProjectSessionTest, LinkHealthAndFramesSentAreAnnouncedPerApplication)
{
    QSignalSpy health(&session, &TProjectSession::healthChanged);
    QSignalSpy sent(&session, &TProjectSession::commandSent);
    UdpPeer peer;
    ASSERT_TRUE(app->Session().OpenUdpLink(peer.Port(), "127.0.0.1", ""));
    EXPECT_EQ(peer.Receive(), QByteArray("LOGIN"));
    peer.Send("INFO:Session opened:INFO\r\n");
    ASSERT_TRUE(RunUntil([&] { return app->Session().Health() == LinkHealth::Up; }));
    ASSERT_GE(health.size(), 2);
    EXPECT_EQ(std::make_tuple(health.at(0).at(0).value<TDataFileManager *>(), health.at(0).at(1).value<LinkHealth>(), health.last().at(1).value<LinkHealth>()),
              std::make_tuple(app, LinkHealth::Opening, LinkHealth::Up));

    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640A"));  // the refresh of a session that opens
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640B"));
    sent.clear();
    relays->SendToggle(0);
    const QByteArray command = peer.Receive();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(std::make_tuple(sent.at(0).at(0).value<TDataFileManager *>(), sent.at(0).at(1).toByteArray()), std::make_tuple(app, command));
    EXPECT_TRUE(command.startsWith("\x02" "B503"));

    session.CloseLinks();
    EXPECT_EQ(health.last().at(1).value<LinkHealth>(), LinkHealth::Closed);
}
