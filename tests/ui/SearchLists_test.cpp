#include "TSearchListWindow.h"

#include "QtPrinters.h"
#include "MainWindowFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

QStringList Entries(TSearchListWindow *list)
{
    QStringList texts;
    for (int i = 0; i < list->Items()->count(); ++i)
        texts.append(list->Items()->item(i)->text());
    return texts;
}

using SearchListsTest = MainWindowTest;

} // namespace

TEST_F(SearchListsTest, EveryListFiltersAndItsEntryTexts)
{
    TSearchListWindow *outputs = window.OutputList();
    outputs->Refresh();
    EXPECT_EQ(outputs->windowTitle(), QStringLiteral("Outputs"));
    EXPECT_FALSE(outputs->FileList()->isEnabled());  // one application
    const QStringList all = Entries(outputs);
    // Type 6: the channel + 1 after the serial's low 24 bits (0x123401).
    EXPECT_TRUE(all.contains(QStringLiteral("Living room ceiling [1192961-1]")));
    EXPECT_TRUE(all.contains(QStringLiteral("Kitchen shutter [1192962]")));
    // Shutters list only their even channels; a type-33 panel hides channels 12 and 13.
    EXPECT_FALSE(all.contains(QStringLiteral("Kitchen shutter down [1193986]")));
    EXPECT_FALSE(all.join(QLatin1Char('|')).contains(QStringLiteral("Office panel spare 12")));
    EXPECT_TRUE(all.join(QLatin1Char('|')).contains(QStringLiteral("Office fan")));

    // Ticking one kind lists only that module type; text search ignores case.
    outputs->FillKindFilter();
    outputs->KindFilter()->item(3)->setCheckState(Qt::Checked);  // the fourth entry: type 9
    EXPECT_EQ(Entries(outputs), QStringList({"Living room dimmer [1192963]", "Dining dimmer [1192963]",
                                             "Hall dimmer [1192963]", "Kitchen spots [1192963]"}));
    outputs->SearchText()->setText(QStringLiteral("SPOTS"));
    EXPECT_EQ(Entries(outputs), QStringList({"Kitchen spots [1192963]"}));

    // Activated again, the filter comes back unticked and the list follows it.
    outputs->SearchText()->clear();
    outputs->KindFilter()->item(3)->setCheckState(Qt::Checked);
    ASSERT_EQ(Entries(outputs).size(), 4);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(outputs, &activate);
    EXPECT_EQ(outputs->KindFilter()->item(3)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Entries(outputs), all);

    // Inputs, sensors, memos and variables.
    TSearchListWindow *sensors = window.SensorList();
    sensors->Refresh();
    const QStringList temperatures = Entries(sensors);
    // Type 38 offers channel 6 because bit 0 of its options is set; type 17 only channel 4.
    EXPECT_TRUE(temperatures.join(QLatin1Char('|')).contains(QStringLiteral("Bathroom temperature")));
    EXPECT_TRUE(temperatures.join(QLatin1Char('|')).contains(QStringLiteral("Hall temperature")));
    EXPECT_EQ(sensors->windowTitle(), QStringLiteral("Sensors"));

    TSearchListWindow *memos = window.MemoList();
    memos->Refresh();
    EXPECT_EQ(Entries(memos), QStringList({"Evening", "Shutters down", "Dimmed light", "Leaving", "Shutters up"}));
    EXPECT_EQ(memos->ItemData(1)->Index, 2);  // positions count the undefined memo
    EXPECT_EQ(memos->ItemData(1)->Kind, ListItemData::KindMemo);

    TSearchListWindow *variables = window.VariableList();
    variables->Refresh();
    EXPECT_EQ(Entries(variables), QStringList({"Holiday mode", "Guests", "Alarm armed", "Heating program"}));

    TSearchListWindow *inputs = window.InputList();
    inputs->Refresh();
    const QStringList keys = Entries(inputs);
    EXPECT_TRUE(keys.join(QLatin1Char('|')).contains(QStringLiteral("Key switch")) == false);  // type 13 has no module object
    EXPECT_TRUE(keys.join(QLatin1Char('|')).contains(QStringLiteral("Hall entrance")));
}
