#include "TBridgeDialog.h"
#include "TForm1.h"
#include "TMqttClient.h"
#include "TProjectSession.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"

#include "EventLoop.h"
#include "ProgramFolder.h"
#include "ScriptedDialogs.h"
#include "TestBroker.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QPushButton *Button(QWidget &dialog, const QString &text)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

void Type(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
}

// The dialog keeps its settings apart from the program's settings file, the password in a file
// of its own that only its owner reads; a field that cannot be taken keeps the dialog open.
TEST(BridgeFeature, TheDialogKeepsTheSettingsAndThePasswordApart)
{
    ProgramFolder folder;
    TBridgeDialog dialog(folder.Path());
    dialog.show();
    Type(dialog.m_port, QStringLiteral("70000"));
    QTest::mouseClick(Button(dialog, QStringLiteral("OK")), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Refusal().contains(QStringLiteral("Port must be from 1 to 65535"))) << dialog.Refusal().toStdString();
    Type(dialog.m_port, QStringLiteral("18883"));
    Type(dialog.m_baseTopic, QStringLiteral("house/#"));
    QTest::mouseClick(Button(dialog, QStringLiteral("OK")), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    Type(dialog.m_baseTopic, QStringLiteral("house"));
    Type(dialog.m_user, QStringLiteral("owner"));
    Type(dialog.m_password, QStringLiteral("very secret"));
    QTest::mouseClick(dialog.m_enabled, Qt::LeftButton, {}, QPoint(5, dialog.m_enabled->height() / 2));
    QTest::mouseClick(Button(dialog, QStringLiteral("OK")), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible()) << dialog.Refusal().toStdString();

    const QByteArray ini = folder.Read(TBridgeSettings::IniPath(folder.Path()));
    for (const char *line : {"port=18883", "base-topic=house", "enabled=true"})
        EXPECT_TRUE(ini.contains(line)) << line;
    EXPECT_FALSE(ini.contains("very secret"));
    EXPECT_EQ(folder.Read(TBridgeSettings::PasswordPath(folder.Path())), "very secret");
    EXPECT_EQ(QFile::permissions(TBridgeSettings::PasswordPath(folder.Path())) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser)
        << "mode 0600";
    const TBridgeSettings kept = TBridgeSettings::Load(folder.Path());
    EXPECT_EQ(std::tie(kept.Enabled, kept.Options.Broker.User, kept.Options.Broker.Password),
              std::make_tuple(true, QStringLiteral("owner"), QStringLiteral("very secret")));
    EXPECT_FALSE(folder.Read(folder.File(QStringLiteral("Dev Project.txt"))).contains("secret"));
}

// In the program: published in run time, unavailable when run time is left, and test mode's
// made-up states never reach the broker.
TEST(BridgeFeature, ThePublishingFollowsTheMode)
{
    TestBroker broker;
    ASSERT_TRUE(broker.Start());
    ProgramFolder folder;
    TBridgeSettings settings;
    settings.Enabled = true;
    settings.Options.Broker.Port = broker.Port();
    ASSERT_TRUE(settings.Save(folder.Path(), nullptr));
    ScriptedDialogs dialogs;
    TForm1 window(folder.Path(), &dialogs);
    ASSERT_TRUE(window.OpenProject(folder.House()));
    EXPECT_TRUE(window.menuBar()->findChildren<QAction *>().size() > 0);

    QHash<QByteArray, QByteArray> seen;
    TMqttClient observer;
    QObject::connect(&observer, &TMqttClient::connected, &observer, [&] { observer.Subscribe("#"); });
    QObject::connect(&observer, &TMqttClient::messageReceived, &observer,
                     [&](const QByteArray &topic, const QByteArray &payload) { seen[topic] = payload; });
    TMqttSettings watch;
    watch.Port = broker.Port();
    QString error;
    ASSERT_TRUE(observer.Start(watch, error));
    ASSERT_TRUE(RunUntil([&] { return observer.IsConnected(); }));

    TProjectSession &session = *window.Session();
    session.SetMode(RunMode::RunTime);
    EXPECT_TRUE(RunUntil([&] { return seen.value("quelnor/bridge/45000101") == "online"; }));
    EXPECT_TRUE(RunUntil([&] { return seen.contains("homeassistant/switch/45000101_06123401_0/config"); }));
    // No link to the installation here: its entities stay unavailable, with no state.
    EXPECT_TRUE(RunUntil([&] { return seen.value("quelnor/45000101/status") == "offline"; }));

    session.SetMode(RunMode::Test);
    EXPECT_TRUE(RunUntil([&] { return seen.value("quelnor/bridge/45000101") == "offline"; }));
    session.Lists()->Modules().front()->ToggleTestState(0);
    session.Lists()->Modules().front()->RefreshControls();
    RunUntil([] { return false; }, 200);
    for (auto it = seen.begin(); it != seen.end(); ++it)
        EXPECT_FALSE(it.key().endsWith("/state")) << it.key().toStdString();
    session.SetMode(RunMode::DesignTime);
    EXPECT_EQ(seen.value("quelnor/45000101/status"), "offline");
}

} // namespace
