#include "TControlFactory.h"
#include "TModuleTypes.h"
#include "TObscuredWindows.h"
#include "TVQBaseControl.h"
#include "TVQJaugeControl.h"
#include "TVQMemoBaseControl.h"
#include "TVQVariableBaseControl.h"
#include "TVQQDimOutput.h"
#include "TVQRecordControl.h"
#include "TVQQIn10VInput.h"
#include "TVQQSensorInput.h"
#include "TVQQTorInput.h"
#include "TVQQTorOutput.h"
#include "TVQQZulOutput.h"

#include "EventLoop.h"
#include "QtPrinters.h"
#include "RecordingLink.h"
#include "RecordingMessages.h"
#include "TDataFileManager.h"
#include "TFileAccess.h"
#include "TProgramLists.h"
#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TestInstallation.h"

#include <QFontMetrics>
#include <QTemporaryDir>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Frames of push events (message bytes written by hand: 0x61, seq, 0x03, command 0x0101, event),
// built with the program's own frame helper only for the STX, checksum and ETX around them.
QByteArray PushFrame(quint8 sequence, quint8 event)
{
    QByteArray m = QByteArray::fromHex("b5030001610003010100");
    m[5] = char(sequence);
    m[9] = char(event);
    quint8 sum = 0;
    for (char c : m)
        sum = quint8(sum + quint8(c));
    return "\x02" + m.toHex().toUpper() + QByteArray(1, char(sum)).toHex().toUpper() + "\x03";
}

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddTestModule(app, 1, 45, 1, "QNET04");
        AddTestModule(app, 6, 1, 6, "Inputs", {{0, 0, 1, 0x101}, {1, 0, 0, 0x101}});
        AddTestModule(app, 2, 6, 2, "Relays", {{0}, {1}});
        AddTestModule(app, 3, 7, 3, "Shutters", {{0}, {1}});
        AddTestModule(app, 4, 4, 4, "Buttons", {{0}, {5}});
        AddTestModule(app, 9, 9, 9, "Dimmer", {{0}, {1}});
        AddTestModule(app, 10, 10, 10, "Thermostat", {{0}});
        // Memo 0 follows relay channel 0 (IO index 2), memo 1 (a shutter memo) the shutter (IO
        // index 4); variable 0 is boolean, 1 a value up to 2.
        app.AddMemoListEntry(MemoListRecord{0, 2, 2, 0});
        app.AddMemoListEntry(MemoListRecord{0, 2, 4, 0});
        app.AddMemo({.Defined = 1, .Name = "Evening"});
        app.AddMemo({.Defined = 1, .FirstEntryIndex = 1, .MemoKind = 1, .Name = "Shutters"});
        app.AddVariable({.Defined = 1, .Name = "Holiday"});
        app.AddVariable({.Defined = 1, .VariableKind = 1, .MaxValue = 2, .Name = "Guests"});
        lists.AddApplication(app, &link);
        TVQImageManager::GetInstance().SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
        parent.resize(400, 300);
        parent.show();  // a shown screen: a control is measured once it is shown
    }
    TVQQModuleBase *Module(quint16 number) { return lists.FindModule(&app, number); }
    // A control of the module's channel `io` on the screen, in run time and told the module's reports.
    template <typename Control>
    std::unique_ptr<Control> RunTimeControl(quint16 module, quint16 io, const char *label)
    {
        auto control = std::make_unique<Control>(&parent, Module(module), io, nullptr);
        control->SetDataToControl(Record(label));
        control->SetRunTimeMode(RunMode::RunTime);
        Module(module)->AddControl(control.get());
        return control;
    }
    template <typename Record>
    Record WithPictures(Record r, const char *label)
    {
        r.OnPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/Memo ON.ico");
        r.OffPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/Memo OFF.ico");
        r.Label = label;
        return r;
    }
    TNewVisualOutput Record(const char *label)
    {
        return {.Left = 10, .Top = 20, .OnPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/KOB ON.ico"),
                .OffPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/KOB OFF.ico"), .Label = label};
    }

    RecordingMessages messages;
    RecordingLink link{1};
    TDataFileManager app{nullptr, "a", &messages};
    TProgramLists lists{nullptr, QString(), &messages};
    QWidget parent;
};

} // namespace

// A push button with a long press sends press, long press and its release; one without never
// starts the timer; read only, or a right click, forwards only the release.
TEST_F(ControlsTest, PushButtonsSendPressLongPressAndRelease)
{
    TVQQTorInput input(&parent, Module(6), 0, nullptr);
    input.SetDataToControl(Record("Hall entrance"));
    input.SetRunTimeMode(RunMode::RunTime);
    ASSERT_TRUE(input.IsLongPressIO());

    QTest::mousePress(&input, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(input.LongPressTiming());
    EXPECT_EQ(TVQQTorInput::LongPressTime, 400);
    input.TimerFunction();  // the 400 ms have passed
    QTest::mouseRelease(&input, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({PushFrame(0, 1), PushFrame(1, 3), PushFrame(2, 4)}));

    // The timer itself ends the wait.
    link.Written.clear();
    QTest::mousePress(&input, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(RunUntil([&] { return link.Written.size() == 2; }, 5000));
    EXPECT_FALSE(input.LongPressTiming());
    QTest::mouseRelease(&input, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({PushFrame(3, 1), PushFrame(4, 3), PushFrame(5, 4)}));
    link.Written.clear();

    // A short press: press and release only.
    QTest::mousePress(&input, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(&input, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(input.LongPressTiming());
    EXPECT_EQ(link.Written, QByteArrayList({PushFrame(6, 1), PushFrame(7, 2)}));

    // An input without a long press: the timer never starts.
    TVQQTorInput stairs(&parent, Module(6), 1, nullptr);
    stairs.SetDataToControl(Record("Hall stairs"));
    stairs.SetRunTimeMode(RunMode::RunTime);
    link.Written.clear();
    QTest::mousePress(&stairs, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(stairs.LongPressTiming());
    QTest::mouseRelease(&stairs, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({PushFrame(8, 1), PushFrame(9, 2)}));

    // Read only, or a right click: the press is not forwarded, the release is.
    link.Written.clear();
    TNewVisualOutput readOnly = Record("Hall stairs");
    readOnly.ReadOnly = 1;
    stairs.SetDataToControl(readOnly);
    QTest::mousePress(&stairs, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(&stairs, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mousePress(&stairs, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseRelease(&stairs, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({PushFrame(10, 2), PushFrame(11, 2)}));
}

// Every control class the module type table names is made by the factory, on the right class.
TEST_F(ControlsTest, EveryClassOfTheTypeTableIsRegistered)
{
    for (const TModuleType &row : TModuleTypes()) {
        for (quint16 io = 0; io < 16; ++io) {
            const char *name = TModuleTypes::Channel(row.Type, io).Control;
            if (!name)
                continue;
            std::unique_ptr<TVQBaseControl> control(TControlFactory::Create(name, &parent, Module(2), io, nullptr));
            ASSERT_TRUE(control) << name;
            EXPECT_STREQ(control->metaObject()->className(), name);
        }
    }
    EXPECT_EQ(TControlFactory::Create("TVQQNoSuchControl", &parent, Module(2), 0, nullptr), nullptr);
    EXPECT_EQ(TControlFactory::Create(nullptr, &parent, Module(2), 0, nullptr), nullptr);
}

// An output shows the bit the module reports, never the click; a module object that goes before
// its control leaves it inert, never dangling.
TEST_F(ControlsTest, OutputsShowTheReportedBits)
{
    const auto output = RunTimeControl<TVQQTorOutput>(2, 1, "Wall");
    output->SetTorState(2);
    QTest::mouseClick(output.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written.size(), 1);                      // the toggle command
    EXPECT_EQ(output->CurrentStateName(), QStringLiteral("Off"));
    Module(2)->SetOutputStatus("\x02");                     // the module reports output 1 on
    EXPECT_EQ(output->CurrentStateName(), QStringLiteral("On"));

    // On a module of type 4 the control of IO 5 shows output bit 1.
    const auto led = RunTimeControl<TVQQTorOutput>(4, 5, "LED");
    Module(4)->SetOutputStatus("\x02");
    EXPECT_EQ(led->CurrentStateName(), QStringLiteral("On"));
    Module(4)->SetOutputStatus("\x20");
    EXPECT_EQ(led->CurrentStateName(), QStringLiteral("Off"));

    // Shutters: up bit On, down bit Off, neither keeps the state, both end on Off.
    const auto shutter = RunTimeControl<TVQQZulOutput>(3, 0, "Shutter");
    shutter->SetTorState(2);
    const std::pair<const char *, const char *> states[] = {{"\x01", "On"}, {"\x00", "On"}, {"\x03", "Off"}};
    for (const auto &[bits, state] : states) {
        Module(3)->SetOutputStatus(QByteArray(bits, 1));
        EXPECT_EQ(shutter->CurrentStateName(), QLatin1String(state)) << int(bits[0]);
    }

    link.Written.clear();
    lists.RemoveApplication(app);
    EXPECT_EQ(output->GetParentModule(), nullptr);
    QTest::mouseClick(output.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(link.Written.isEmpty());
}

// Controls on a window hidden under others leave what they are told for later; the moment any
// part of the window shows, they show every state the modules reported meanwhile, the last of each.
TEST_F(ControlsTest, AHiddenWindowsControlsReadTheirStatesWhenItShows)
{
    const auto output = RunTimeControl<TVQQTorOutput>(2, 1, "Wall");
    auto dimmer = RunTimeControl<TVQQDimOutput>(9, 0, "Lamp");
    TVQMemoMixteControl memo(&parent, lists.FindMemo(&app, 0), nullptr);
    memo.SetDataToControl(WithPictures(TVisualMemoData(), "Evening"));
    memo.SetRunTimeMode(RunMode::RunTime);
    Module(2)->SetOutputStatus(QByteArray(1, '\0'));
    ASSERT_EQ(output->CurrentStateName(), QStringLiteral("Off"));
    ASSERT_EQ(memo.CurrentStateName(), QStringLiteral("Off"));

    TObscuredWindows &obscured = TObscuredWindows::Instance();
    obscured.Watch(&parent);
    obscured.Seen(parent.winId(), true);
    ASSERT_TRUE(obscured.IsHeld(&parent));
    Module(2)->SetOutputStatus("\x02");  // on, then off, then on again
    Module(2)->SetOutputStatus(QByteArray(1, '\0'));
    Module(2)->SetOutputStatus("\x03");  // relay channels 0 and 1 on
    Module(9)->MarkReported(PartLevels);
    Module(9)->SetLevels(QByteArray("\x28\0\0\0\0\0\0\0", 8));  // channel 0 at 40 %
    EXPECT_EQ(output->CurrentStateName(), QStringLiteral("Off"));  // nothing read while hidden
    EXPECT_EQ(dimmer->Level(), 0);

    obscured.Seen(parent.winId(), false);
    EXPECT_EQ(output->CurrentStateName(), QStringLiteral("On"));
    EXPECT_EQ(memo.CurrentStateName(), QStringLiteral("On"));
    EXPECT_EQ(dimmer->Level(), 40);
    EXPECT_EQ(dimmer->Trust(), StateTrust::Fresh);
    // Shown, each report shows at once again.
    Module(2)->SetOutputStatus(QByteArray(1, '\0'));
    EXPECT_EQ(output->CurrentStateName(), QStringLiteral("Off"));

    // A control in design time reads nothing when its window shows; one made while the window
    // was hidden reads as any other.
    obscured.Seen(parent.winId(), true);
    output->SetRunTimeMode(RunMode::DesignTime);
    Module(2)->SetOutputStatus("\x02");
    const auto later = RunTimeControl<TVQQTorOutput>(2, 1, "Later");
    EXPECT_EQ(later->CurrentStateName(), QStringLiteral("On"));
    const QString designed = output->CurrentStateName();
    obscured.Seen(parent.winId(), false);
    EXPECT_FALSE(obscured.IsHeld(&parent));
    EXPECT_EQ(output->CurrentStateName(), designed);

    // A control taken off its module, or whose application is removed, while the window was
    // hidden has nothing left to read when the window shows.
    obscured.Seen(parent.winId(), true);
    Module(9)->SetLevels(QByteArray(8, '\0'));
    Module(9)->RemoveControl(dimmer.get());
    obscured.Seen(parent.winId(), false);
    EXPECT_EQ(dimmer->Level(), 40);
    dimmer.reset();
    obscured.Seen(parent.winId(), true);
    Module(2)->SetOutputStatus(QByteArray(1, '\0'));
    lists.RemoveApplication(app);
    ASSERT_EQ(later->GetParentModule(), nullptr);
    obscured.Seen(parent.winId(), false);
    EXPECT_EQ(later->CurrentStateName(), QStringLiteral("On"));
}

TEST_F(ControlsTest, MemoFollowsItsIoAndRecallsInRunTimeOnly)
{
    TVQMemoMixteControl memo(&parent, lists.FindMemo(&app, 0), nullptr);
    memo.SetDataToControl(WithPictures(TVisualMemoData(), "Evening"));
    memo.SetState(QStringLiteral("On"));
    EXPECT_EQ(memo.ImageIndex(), 0);
    memo.SetRunTimeMode(RunMode::RunTime);
    lists.FindModule(&app, 2)->SetOutputStatus("\x00");  // the relay is off: so is the memo
    EXPECT_EQ(memo.CurrentStateName(), QStringLiteral("Off"));
    EXPECT_EQ(memo.ImageIndex(), 1);

    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({"\x02" "B5030001600009000022" "\x03"}));  // memo 0 recalled

    TVisualMemoData readOnly = WithPictures(TVisualMemoData(), "Evening");
    readOnly.ReadOnly = 1;
    memo.SetDataToControl(readOnly);
    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    memo.SetRunTimeMode(RunMode::Test);
    memo.SetDataToControl(WithPictures(TVisualMemoData(), "Evening"));
    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written.size(), 1);  // read only, then test time: nothing sent

    // A shutter memo keeps its picture for "None".
    TVQMemoZulControl shutters(&parent, lists.FindMemo(&app, 1), nullptr);
    shutters.SetDataToControl(WithPictures(TVisualMemoData(), "Shutters"));
    shutters.SetState(QStringLiteral("On"));
    shutters.SetRunTimeMode(RunMode::RunTime);
    lists.FindModule(&app, 3)->SetOutputStatus("\x02");  // down
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("Off"));
    lists.FindModule(&app, 3)->SetOutputStatus("\x00");  // neither: "None" is ignored
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("Off"));
    lists.FindModule(&app, 3)->SetOutputStatus("\x01");  // up
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("On"));
}

TEST_F(ControlsTest, VariablesShowTheirValueAndChooseStepOrWrap)
{
    TVQVariableBoolControl holiday(&parent, lists.FindVariable(&app, 0), nullptr);
    TVisualVariableData record = WithPictures(TVisualVariableData(), "Holiday");
    record.ShowValue = 1;
    holiday.SetDataToControl(record);
    holiday.SetRunTimeMode(RunMode::RunTime);
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("Holiday: ?"));
    lists.FindVariable(&app, 0)->MarkReported();
    lists.FindVariable(&app, 0)->SetValue("\x00");
    EXPECT_EQ(holiday.CurrentStateName(), QStringLiteral("Off"));
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("Holiday: false"));
    holiday.SetShowLabel(false);
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("false"));
    QTest::mouseClick(&holiday, Qt::LeftButton, {}, QPoint(3, 3));  // toggle

    TVQVariableValControl guests(&parent, lists.FindVariable(&app, 1), nullptr);
    guests.SetDataToControl(WithPictures(TVisualVariableData(), "Guests"));
    guests.SetRunTimeMode(RunMode::RunTime);
    QTest::mouseClick(&guests, Qt::LeftButton, {}, QPoint(3, 3));  // 0 below 2: step
    lists.FindVariable(&app, 1)->SetValue("\x02");
    QTest::mouseClick(&guests, Qt::LeftButton, {}, QPoint(3, 3));  // at the maximum: wrap
    // Message bytes by hand: 0x60, seq, 0x14, the variable number, then 0x0B step or 0x02 wrap.
    const QByteArrayList expected = {"\x02" "B503000160001400002D" "\x03", "\x02" "B503000160011400010B3A" "\x03",
                                     "\x02" "B503000160021400010232" "\x03"};
    EXPECT_EQ(link.Written, expected);
}

TEST_F(ControlsTest, SizesAndRecordRoundTrip)
{
    TVQQTorOutput output(&parent, Module(2), 0, nullptr);
    TNewVisualOutput record = Record("Living room ceiling");
    record.Reserved19 = 77;
    record.TransparentOff = 1;
    record.DisplayType = 4;
    output.SetDataToControl(record);
    EXPECT_EQ(output.GetDataControl(), record);

    // A control whose record is not valid keeps its mode.
    output.SetRunTimeMode(RunMode::DesignTime);
    record.Valid = 0;
    output.SetDataToControl(record);
    output.SetRunTimeMode(RunMode::RunTime);
    EXPECT_EQ(output.ControlMode(), RunMode::DesignTime);
}

TEST(TVQImageManager, CacheRules)
{
    TVQImageManager &manager = TVQImageManager::GetInstance();
    manager.SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
    const QString on = QStringLiteral(QUELNOR_PROGRAM_DIR "/Default Images/KOB ON.ico");
    const TVQPicture *first = manager.GetImage(on);
    EXPECT_EQ(manager.GetImage(on), first);
    EXPECT_FALSE(first->IsEmpty());
    EXPECT_EQ(first->Width(), 32);
    // A path that does not exist: the program's icon, whatever was asked for first.
    const TVQPicture *missing = manager.GetImage(QStringLiteral("/no/such/picture.ico"));
    EXPECT_FALSE(missing->IsEmpty());
    EXPECT_EQ(missing, manager.GetImage(QStringLiteral(QUELNOR_PROGRAM_DIR "/Default Images/QUELNOR.ico")));
    // Built-in keys; an unknown one is an empty picture, cached like any other.
    EXPECT_FALSE(manager.GetImage(QStringLiteral("IcoDefaultImage"))->IsEmpty());
    const TVQPicture *unknown = manager.GetImage(QStringLiteral("IcoNoSuchPicture"));
    EXPECT_TRUE(unknown->IsEmpty());
    EXPECT_EQ(manager.GetImage(QStringLiteral("IcoNoSuchPicture")), unknown);
    EXPECT_TRUE(manager.GetImage(QStringLiteral("bmpAnything"))->IsEmpty());
    // A Windows path of another computer is found under the program folder, in any case.
    const TVQPicture *moved = manager.GetImage(QStringLiteral("C:\\Quelnor\\Default Images\\KOB OFF.ico"));
    EXPECT_NE(moved, missing);
    EXPECT_EQ(moved->Width(), 32);
    const TVQPicture *shouted = manager.GetImage(QStringLiteral("C:\\QUELNOR\\DEFAULT IMAGES\\kob off.ICO"));
    EXPECT_EQ(shouted->Image(), moved->Image());

    // A missing file is not looked for at every paint, but a file put there later is found.
    QTemporaryDir dir;
    const QString later = dir.filePath(QStringLiteral("later.png"));
    EXPECT_EQ(manager.GetImage(later), missing);
    QImage(7, 5, QImage::Format_RGB32).save(later);
    EXPECT_TRUE(RunUntil([&] { return manager.GetImage(later)->Width() == 7; }, 3000));

    // A file that is there but is no picture: said once, and the default stands in.
    const QString broken = dir.filePath(QStringLiteral("broken.ico"));
    TFileAccess::SaveAtomically(broken, "not a picture at all");
    RecordingMessages messages;
    manager.SetMessages(&messages);
    EXPECT_EQ(manager.GetImage(broken)->Image(), missing->Image());
    manager.GetImage(broken);
    EXPECT_EQ(messages.Shown, QStringList({"Picture cannot be read:\n" + broken + "\nSet to default image"}));

    // A picture larger than a display is kept at display size, said once.
    messages.Shown.clear();
    const QString huge = dir.filePath(QStringLiteral("huge.png"));
    QImage(4800, 1600, QImage::Format_RGB32).save(huge);
    EXPECT_EQ(manager.GetImage(huge)->Image().size(), QSize(1920, 640));
    manager.GetImage(huge);
    manager.SetMessages(nullptr);
    EXPECT_EQ(messages.Shown, QStringList({"Picture larger than a display, kept at 1920 x 640:\n" + huge}));

    // Past the budget, the pictures drawn least recently give their memory back and are decoded
    // again, the same, when next drawn; their size stays known meanwhile.
    manager.SetBudget(0);
    std::vector<const TVQPicture *> pictures;
    for (int i = 0; i < 3; ++i) {
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(QColor(40 * i, 100, 200));
        image.save(dir.filePath(QStringLiteral("p%1.png").arg(i)));
        pictures.push_back(manager.GetImage(dir.filePath(QStringLiteral("p%1.png").arg(i))));
        pictures.back()->Pixmap(false);
    }
    EXPECT_EQ(std::make_tuple(pictures[0]->IsDecoded(), pictures[1]->IsDecoded(), pictures[2]->IsDecoded()), std::make_tuple(false, false, true));
    EXPECT_EQ(pictures[0]->Width(), 600);
    EXPECT_EQ(pictures[0]->Pixmap(false).toImage().pixel(5, 5), QColor(0, 100, 200).rgb());
    EXPECT_EQ(std::make_tuple(pictures[0]->IsDecoded(), pictures[2]->IsDecoded()), std::make_tuple(true, false));
    // Pictures that cannot be read again (built in, or the stand-in for a broken file) stay.
    EXPECT_TRUE(manager.GetImage(broken)->IsDecoded());
    manager.SetBudget(TVQImageManager::DefaultBudget);
}

TEST_F(ControlsTest, DimmerAndSensorShowTheirValues)
{
    const auto dimmer = RunTimeControl<TVQQDimOutput>(9, 1, "Dining");
    // Nothing reported yet: the control claims no level.
    EXPECT_EQ(dimmer->GetLabelText(), QStringLiteral("Dining ?"));
    EXPECT_EQ(dimmer->Trust(), StateTrust::Unknown);
    Module(9)->MarkReported(PartLevels);
    Module(9)->SetLevels(QByteArray("\x0a\x2d\0\0\0\0\0\0", 8));  // channel 1 at 45 %
    EXPECT_EQ(dimmer->GetLabelText(), QStringLiteral("Dining 45%"));
    EXPECT_EQ(dimmer->CurrentStateName(), QStringLiteral("On"));
    QTest::mouseClick(dimmer.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written.size(), 1);  // a click on the icon toggles the dimmer
    EXPECT_TRUE(link.Written[0].startsWith("\x02" "B503000160000200"));

    const auto sensor = RunTimeControl<TVQQSensorInput>(10, 0, "Living");
    EXPECT_EQ(sensor->GetLabelText(), QString::fromUtf8("Living ?"));
    Module(10)->MarkReported(PartTemperature);
    Module(10)->SetTemperature(QByteArray("\x15\x05\x14\x00\x02", 5));
    EXPECT_EQ(sensor->GetLabelText(), QString::fromUtf8("Living 21,5°C"));
    QTest::mouseClick(sensor.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written.size(), 1);  // a sensor's icon opens its panel, sending nothing
    EXPECT_EQ(sensor->ViewMode(), 2);
    // The panel's title ends before its close box, a short one stays whole.
    EXPECT_EQ(sensor->PanelTitle(), QStringLiteral("Living"));
    sensor->SetDataToControl(Record("Living room temperature by the window"));
    EXPECT_TRUE(sensor->PanelTitle().endsWith(QChar(0x2026))) << sensor->PanelTitle().toStdString();
    EXPECT_LE(TVQBaseControl::LabelWidth(sensor->PanelTitle()), 116);
}

TEST(TVQQDimOutput, BarLevelsAndBlocks)
{
    // x on the bar -> level: ten zones, the last one open to the right.
    const std::vector<std::pair<int, int>> levels = {{0, 10}, {34, 10}, {35, 20}, {54, 20}, {55, 30}, {123, 50},
                                                     {124, 60}, {215, 90}, {216, 100}, {400, 100}};
    for (const auto &[x, level] : levels)
        EXPECT_EQ(TVQQDimOutput::LevelFromBar(x), level) << "x " << x;

    EXPECT_TRUE(TVQQDimOutput::BarBlocks(0).empty());
    EXPECT_EQ(TVQQDimOutput::BarBlocks(100).size(), 10u);
    const std::vector<QRect> blocks = TVQQDimOutput::BarBlocks(45);
    ASSERT_EQ(blocks.size(), 5u);  // four full blocks and a partial one
    EXPECT_EQ(blocks[0], QRect(10, 113, 19, 6));
    EXPECT_EQ(blocks[1], QRect(33, 111, 19, 8));
    EXPECT_EQ(blocks[4], QRect(102, 105, 10, 14));
}

// The painted bar: blocks of 19 red columns with 4-column gaps, the first on rows 113-118; the
// close box only on the pop-up panel; a closed pop-up as small as its icon.
TEST_F(ControlsTest, DimmerPanelPaintsItsBarAndCloseBox)
{
    const auto face = [this](quint8 type, int level) {
        TVQQDimOutput dimmer(&parent, Module(9), 1, nullptr);
        dimmer.show();
        dimmer.SetDataToControl(Record("Dining"));
        dimmer.SetDisplayType(type);
        dimmer.SetRunTimeMode(RunMode::Test);
        dimmer.SetLevel(level);
        if (type == 3)
            QTest::mouseClick(&dimmer, Qt::LeftButton, {}, QPoint(3, 3));  // opens the panel
        return dimmer.grab().toImage();
    };
    const QImage panel = face(2, 45);
    const auto red = [&panel](int x, int y) { return panel.pixelColor(x, y) == QColor(255, 0, 0); };
    const struct { int x; int y; bool red; } pixels[] = {
        {10, 116, true}, {28, 116, true}, {29, 116, false}, {32, 116, false}, {33, 116, true}, {51, 116, true},
        {52, 116, false}, {15, 113, true}, {15, 118, true}, {15, 112, false}, {15, 119, false},
        {33, 111, true}, {33, 110, false}, {102, 110, true}, {111, 110, true}, {112, 110, false}, {125, 110, false}};
    for (const auto &p : pixels)
        EXPECT_EQ(red(p.x, p.y), p.red) << p.x << "," << p.y;

    // The always-open panel has no close box: where it would be, the panel's plain background.
    for (const QPoint at : {QPoint(146, 14), QPoint(151, 19), QPoint(156, 24), QPoint(143, 10)})
        EXPECT_EQ(panel.pixelColor(at), panel.pixelColor(170, 19)) << at.x() << "," << at.y();
    // The close box is drawn on the pop-up panel only: the two faces differ there and nowhere else.
    const QImage popUp = face(3, 45);
    ASSERT_EQ(popUp.size(), panel.size());
    int differing = 0;
    QRect where;
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            if (popUp.pixel(x, y) != panel.pixel(x, y)) {
                ++differing;
                where |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_GT(differing, 40);
    EXPECT_TRUE(QRect(141, 7, 20, 24).contains(where)) << where.x() << "," << where.y() << " " << where.width() << "x" << where.height();

    // Closed, the pop-up is the icon face's size.
    TVQQDimOutput icon(&parent, Module(9), 1, nullptr);
    icon.SetDataToControl(Record("Dining"));
    TVQQDimOutput popUpClosed(&parent, Module(9), 1, nullptr);
    popUpClosed.SetDataToControl(Record("Dining"));
    popUpClosed.SetDisplayType(3);
    EXPECT_EQ(popUpClosed.size(), icon.size());
}

TEST_F(ControlsTest, DimmerPanelSetsTheLevel)
{
    TVQQDimOutput dimmer(&parent, Module(9), 1, nullptr);
    dimmer.show();
    dimmer.SetDataToControl(Record("Dining"));
    dimmer.SetDisplayType(2);
    dimmer.SetRunTimeMode(RunMode::Test);
    Module(9)->AddControl(&dimmer);
    EXPECT_EQ(dimmer.ViewMode(), 2);
    EXPECT_GT(dimmer.width(), 200);  // the panel, not the icon

    // Test mode: the keys and the bar set the level at once, sending nothing.
    const std::vector<std::pair<QPoint, int>> clicks = {{{210, 20}, 100}, {{40, 100}, 20}, {{210, 60}, 0}, {{130, 110}, 60}};
    for (const auto &[at, level] : clicks) {
        QTest::mouseClick(&dimmer, Qt::LeftButton, {}, at);
        EXPECT_EQ(dimmer.Level(), level) << at.x() << "," << at.y();
        quint8 state = 0xEE;
        Module(9)->GetChannelState(state, 1);
        EXPECT_EQ(state, level);
    }
    EXPECT_TRUE(link.Written.isEmpty());

    // Run time: ON sends the dim command at 100 %; the digits wait for the module.
    dimmer.SetRunTimeMode(RunMode::RunTime);
    QTest::mouseClick(&dimmer, Qt::LeftButton, {}, QPoint(210, 20));
    ASSERT_EQ(link.Written.size(), 1);
    EXPECT_EQ(std::make_tuple(link.Written[0].mid(9, 6), link.Written[0].mid(19, 6)), std::make_tuple(QByteArray("600002"), QByteArray("046400")));
    EXPECT_EQ(dimmer.Level(), 60);
    QTest::mouseClick(&dimmer, Qt::LeftButton, {}, QPoint(100, 60));  // the digits: nothing
    EXPECT_EQ(link.Written.size(), 1);

    // Display type 3: a click on the icon opens the panel; its close box goes back to the icon.
    dimmer.SetDisplayType(3);
    dimmer.CheckSize();
    EXPECT_EQ(dimmer.ViewMode(), 1);
    EXPECT_LT(dimmer.height(), 100);  // the icon, as wide as the panel it opens
    QWidget later(&parent);             // a control placed after it
    QTest::mouseClick(&dimmer, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(dimmer.ViewMode(), 2);
    EXPECT_GT(dimmer.height(), 100);
    EXPECT_EQ(parent.children().last(), &dimmer);  // the open panel covers its neighbours
    QTest::mouseClick(&dimmer, Qt::LeftButton, {}, QPoint(150, 15));
    EXPECT_EQ(dimmer.ViewMode(), 1);
    EXPECT_EQ(link.Written.size(), 1);
}

TEST_F(ControlsTest, SensorPanelSendsSetPointAndModeCommands)
{
    TVQQSensorInput sensor(&parent, Module(10), 0, nullptr);
    sensor.SetDataToControl(Record("Living"));
    sensor.SetDisplayType(1);
    sensor.SetRunTimeMode(RunMode::RunTime);
    Module(10)->AddControl(&sensor);
    EXPECT_EQ(sensor.SetPointText(), QString::fromUtf8("18,0°C"));
    EXPECT_EQ(sensor.ViewMode(), 1);

    // The icon opens the panel; each key sends its command (module 10 is byte 0A).
    QTest::mouseClick(&sensor, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(sensor.ViewMode(), 2);
    EXPECT_EQ(sensor.size(), QSize(260, 130));
    const std::vector<std::pair<QPoint, QByteArray>> keys = {
        {{20, 100}, "0A000A"}, {{120, 100}, "0B000A"}, {{200, 20}, "07000A02"},
        {{200, 60}, "07000A01"}, {{200, 100}, "07000A05"}};
    for (const auto &[at, payload] : keys) {
        link.Written.clear();
        QTest::mouseClick(&sensor, Qt::LeftButton, {}, at);
        ASSERT_EQ(link.Written.size(), 1) << at.x() << "," << at.y();
        EXPECT_EQ(link.Written[0].mid(9, 2), QByteArray("8A"));
        EXPECT_EQ(link.Written[0].mid(13, payload.size()), payload) << at.x() << "," << at.y();
    }
    link.Written.clear();
    QTest::mouseClick(&sensor, Qt::LeftButton, {}, QPoint(75, 50));  // the digits: nothing
    EXPECT_TRUE(link.Written.isEmpty());

    // The panel shows what the module reports: temperature, set point, mode.
    Module(10)->SetTemperature(QByteArray("\x15\x0c\x13\x05\x05", 5));
    EXPECT_EQ(std::make_tuple(sensor.TemperatureText(), sensor.SetPointText(), sensor.Mode()),
              std::make_tuple(QString::fromUtf8("21,12°C"), QString::fromUtf8("19,5°C"), 5));
    // Every number of digits a reported byte can have, and none dropped at zero.
    Module(10)->SetTemperature(QByteArray("\x00\x00\xff\x64\x00", 5));
    EXPECT_EQ(std::make_pair(sensor.TemperatureText(), sensor.SetPointText()),
              std::make_pair(QString::fromUtf8("0,0°C"), QString::fromUtf8("255,100°C")));

    // The close box returns to the icon; an always-open panel has none.
    QTest::mouseClick(&sensor, Qt::LeftButton, {}, QPoint(135, 10));
    EXPECT_EQ(sensor.ViewMode(), 1);
    sensor.SetDisplayType(2);
    EXPECT_EQ(sensor.ViewMode(), 2);
    QTest::mouseClick(&sensor, Qt::LeftButton, {}, QPoint(135, 10));
    EXPECT_EQ(sensor.ViewMode(), 2);
    sensor.SetRunTimeMode(RunMode::Test);
    QTest::mouseClick(&sensor, Qt::LeftButton, {}, QPoint(200, 20));
    EXPECT_TRUE(link.Written.isEmpty());
}

namespace {

Param32Record Scaling(qint16 minimum, qint16 maximum, const char *unit)
{
    // The range as two little-endian words, then the unit's characters.
    Param32Record entry{.ParamId = 1, .Params = {quint8(minimum), quint8(quint16(minimum) >> 8), quint8(maximum), quint8(quint16(maximum) >> 8)}};
    for (size_t i = 0; unit[i]; ++i)
        entry.Params[4 + i] = quint8(unit[i]);
    return entry;
}

} // namespace

TEST_F(ControlsTest, AnalogueInputScalesTheReportedPercentage)
{
    AddTestModule(app, 11, 31, 11, "Analogue", {{0}});
    lists.AddApplication(app, &link);
    TVQQIn10VInput input(&parent, Module(11), 0, nullptr);
    TNewVisualOutput r = Record("Light");
    r.ShowLabel = 1;
    r.ShowValue = 1;
    input.SetDataToControl(r);

    struct Case { qint16 minimum, maximum; const char *unit; int p; bool withUnit; const char *text; };
    const Case cases[] = {
        {0, 100, "V", 55, true, "5.5 V"},       // 0.0 to 10.0 V
        {15, 115, "bar", 0, true, "1.5 bar"},   // 1.5 to 11.5
        {15, 115, "bar", 100, false, "11.5"},
        {-200, 500, "\xb0" "C", 0, true, "-20 \u00b0C"},  // the unit is Windows-1252
        {-200, 500, "", 50, false, "15"},
        {0, 1, "", 33, false, "0.03"},          // 0.033 to the nearest hundredth
        {0, 5, "", 25, false, "0.12"},          // 0.125: ties go to even
        {0, 5, "", 75, false, "0.38"},          // 0.375
        {-1, 0, "", 0, false, "-0.1"},
        {0, 100, "V", 101, true, "??"},
    };
    for (const Case &c : cases) {
        const Param32Record entry = Scaling(c.minimum, c.maximum, c.unit);
        ASSERT_TRUE(input.SetParametreIO(&entry));
        EXPECT_EQ(input.GetValueString(c.p, c.withUnit), QString::fromUtf8(c.text)) << c.minimum << " " << c.maximum << " " << c.p;
    }

    // Without a scaling entry: a percentage, with or without the unit.
    input.SetParametreIO(nullptr);
    EXPECT_EQ(QStringList({input.GetValueString(55, true), input.GetValueString(55, false), input.GetValueString(130, true), input.GetText(7)}),
              QStringList({"55%", "55%", "??", "Light 7%"}));

    // The locale's decimal separator.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const Param32Record volts = Scaling(0, 100, "V");
    input.SetParametreIO(&volts);
    EXPECT_EQ(QStringList({input.GetValueString(55, true), input.GetValueString(100, false)}), QStringList({"5,5 V", "10"}));
    QLocale::setDefault(saved);

    // The module's report reaches the control.
    input.SetRunTimeMode(RunMode::RunTime);
    Module(11)->AddControl(&input);
    Module(11)->MarkReported(PartInputs);
    Module(11)->SetInputStatus(QByteArray("\x2a", 1));
    EXPECT_EQ(input.InValue(), 42);
    EXPECT_EQ(input.GetLabelText(), QStringLiteral("Light 4.2 V"));
}

TEST_F(ControlsTest, AnalogueInputDialAndDigitsFaces)
{
    // The needle sweeps 300 degrees from the lower left; ends truncated toward zero.
    const std::vector<std::pair<int, QPoint>> needles = {
        {0, {40, 121}}, {50, {69, 10}}, {100, {100, 121}}, {20, {10, 70}}};
    for (const auto &[value, end] : needles)
        EXPECT_EQ(TVQQIn10VInput::NeedleEnd(value, 0), end) << value;
    EXPECT_EQ(TVQQIn10VInput::NeedleEnd(0, 30), QPoint(70, 121));

    AddTestModule(app, 11, 31, 11, "Analogue", {{0}});
    lists.AddApplication(app, &link);
    TVQQIn10VInput input(&parent, Module(11), 0, nullptr);
    input.show();
    input.SetDataToControl(Record("Wind"));
    const QFontMetrics small(TVQBaseControl::LabelFont());
    input.SetDisplayType(3);
    EXPECT_EQ(input.DisplayType(), 3);
    EXPECT_EQ(input.size(), QSize(140, small.height() + 2 + 140));
    input.SetDisplayType(7);  // unknown types are the picture face
    EXPECT_EQ(input.DisplayType(), 1);
    input.SetDisplayType(2);
    EXPECT_EQ(input.height(), QFontMetrics(TVQBaseControl::LabelFont(16)).height() + 2 + small.height() + 2 + 1);

    // A test-mode click only refreshes; nothing is sent.
    input.SetRunTimeMode(RunMode::Test);
    QTest::mouseClick(&input, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(link.Written.isEmpty());
}

TEST(TVQJaugeControl, NeedleTurnsWithThePower)
{
    TVQImageManager::GetInstance().SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
    QWidget parent;
    TVQJaugeControl gauge(&parent, TVisualJaugeData{}, nullptr);
    EXPECT_EQ(gauge.Angle(), 0);
    gauge.SetPower(500);
    EXPECT_EQ(gauge.Angle(), 0);  // no maximum yet: the record's angle
    // power -> angle: power x 90 / maximum, whole degrees.
    gauge.SetMaximum(1000);
    const std::vector<std::pair<quint16, int>> angles = {{0, 0}, {500, 45}, {999, 89}, {1000, 90}, {11, 0}, {12, 1}};
    for (const auto &[power, angle] : angles) {
        gauge.SetPower(power);
        EXPECT_EQ(gauge.Angle(), angle) << power;
    }

    // A 4 x 2 picture: at 0 degrees unchanged, at 90 degrees turned clockwise. The turn uses
    // 6.2832 for two pi, so 90 degrees is a hair more: one more row and column, in the fill colour.
    QImage needle(4, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            needle.setPixel(x, y, qRgb(10 * x, 100 * y, 7));
    }
    EXPECT_EQ(TVQJaugeControl::RotateNeedle(needle, 0), needle);
    const QImage turned = TVQJaugeControl::RotateNeedle(needle, 90);
    ASSERT_EQ(turned.size(), QSize(3, 5));
    const std::vector<std::pair<QPoint, QPoint>> from = {
        {{2, 0}, {0, 0}}, {{2, 2}, {1, 0}}, {{2, 4}, {3, 0}}, {{1, 4}, {3, 1}}, {{1, 3}, {2, 1}}};
    for (const auto &[at, source] : from)
        EXPECT_EQ(turned.pixel(at), needle.pixel(source)) << at.x() << "," << at.y();
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(turned.pixel(0, y), needle.pixel(0, 0));  // the fill

    // The needle is placed so that it turns about the same pivot.
    EXPECT_EQ(QList<QPoint>({TVQJaugeControl::NeedlePosition(0, 6), TVQJaugeControl::NeedlePosition(90, 84), TVQJaugeControl::NeedlePosition(30, 47)}),
              QList<QPoint>({{48, 139}, {48, 145}, {48, 140}}));
}

TEST_F(ControlsTest, PaintsItsPictureAndAnOutlinedLabel)
{
    TVQQTorOutput output(&parent, Module(2), 0, nullptr);
    output.show();
    output.SetDataToControl(Record("Hall"));
    output.SetTorState(2);  // Off: the grey bulb
    const QImage image = output.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), output.size());
    const int pictureHeight = output.Picture()->Height();
    // The picture fills the top, centred: its middle pixel is not the background.
    const QImage picture = output.Picture()->Image().convertToFormat(QImage::Format_ARGB32);
    const int px = (output.width() - (output.Picture()->Width() + 2)) / 2;
    EXPECT_EQ(image.pixel(px + 16, 16), picture.pixel(16, 16));
    // Under it, black text with white around it.
    int black = 0, white = 0;
    for (int y = pictureHeight + 1; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            black += qGray(c) < 60 && qAlpha(c) == 255;
            white += qGray(c) > 230 && qAlpha(c) == 255;
        }
    }
    EXPECT_GT(black, 20);
    EXPECT_GT(white, black);
}

// A shortcut is as wide as its picture, or as its caption plus 2 when that is wider; as high as
// the picture, the caption's height plus 2 when shown, and 1.
TEST(TVQRecordControl, AShortcutIsAsWideAsItsPictureOrCaption)
{
    QWidget parent;
    TVQImageManager::GetInstance().SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
    const QFontMetrics metrics(TVQBaseControl::LabelFont());
    const TVQPicture *picture = TVQImageManager::GetInstance().GetImage(QStringLiteral("IcoDefaultImage"));
    const QString wide = QStringLiteral("Lights and shutters of the house");
    const struct { quint8 show; QByteArray label; QSize size; } rows[] = {
        {0, "", QSize(picture->Width(), picture->Height() + 1)},
        {1, "A", QSize(std::max(picture->Width(), metrics.horizontalAdvance(QStringLiteral("A")) + 2),
                       picture->Height() + metrics.height() + 3)},
        {1, "", QSize(std::max(picture->Width(), metrics.horizontalAdvance(QStringLiteral("???")) + 2),
                      picture->Height() + metrics.height() + 3)},
        {1, wide.toLatin1(), QSize(metrics.horizontalAdvance(wide) + 2, picture->Height() + metrics.height() + 3)},
    };
    for (const auto &row : rows) {
        TVisualShortCut record;
        record.ShowLabel = row.show;
        record.Label = row.label;
        TVQRecordControl<TVisualShortCut> shortcut(&parent, record, nullptr);
        shortcut.EnsureSized();  // measured at once, though not shown
        EXPECT_EQ(shortcut.size(), row.size) << row.label.constData();
    }
}
