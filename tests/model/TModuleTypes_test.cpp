#include "TModuleTypes.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// The control class of each channel, from the control class table of the screens' documents.
TEST(TModuleTypes, ControlClassAndDialogByTypeAndChannel)
{
    using L = PropertyLayout;
    struct Row { quint16 type; quint16 io; const char *control; L dialog; };
    const char *in = "TVQQTorInput", *out = "TVQQTorOutput", *zul = "TVQQZulOutput", *dim = "TVQQDimOutput",
               *sensor = "TVQQSensorInput", *in10 = "TVQQIn10VInput";
    const Row rows[] = {
        {1, 0, in, L::Standard}, {12, 40, in, L::Standard}, {15, 3, in, L::Standard}, {24, 1, in, L::Standard},
        {2, 0, in, L::Standard}, {2, 1, out, L::Standard}, {2, 2, nullptr, L::Standard},
        {3, 1, in, L::Standard}, {3, 2, out, L::Standard}, {3, 3, out, L::Standard}, {3, 4, nullptr, L::Standard},
        {4, 3, in, L::Standard}, {4, 7, out, L::Standard}, {4, 8, nullptr, L::Standard},
        {5, 5, in, L::Standard}, {5, 11, out, L::Standard}, {5, 12, nullptr, L::Standard},
        {6, 0, out, L::Standard}, {8, 9, out, L::Standard}, {14, 1, out, L::Standard}, {40, 1, out, L::Standard},
        {7, 0, zul, L::Standard}, {30, 1, zul, L::Standard}, {9, 0, dim, L::Dimmer}, {36, 0, dim, L::Standard},
        {10, 0, sensor, L::Sensor}, {11, 3, sensor, L::Sensor},
        {17, 4, sensor, L::Sensor}, {17, 3, nullptr, L::Sensor}, {50, 4, sensor, L::Sensor}, {55, 5, nullptr, L::Sensor},
        {31, 2, in10, L::In10V},
        {33, 4, in, L::Standard}, {33, 5, nullptr, L::None}, {33, 6, sensor, L::Sensor}, {33, 7, out, L::Standard},
        {33, 11, out, L::Standard}, {33, 12, nullptr, L::None},
        {38, 6, sensor, L::Sensor}, {38, 5, nullptr, L::None},
        {13, 0, nullptr, L::Standard}, {45, 0, nullptr, L::Standard}, {56, 0, nullptr, L::Standard}, {300, 0, nullptr, L::Standard},
    };
    for (const Row &row : rows) {
        const TChannelInfo channel = TModuleTypes::Channel(row.type, row.io);
        EXPECT_EQ(QByteArray(channel.Control), QByteArray(row.control)) << row.type << "/" << row.io;
        EXPECT_EQ(channel.Dialog, row.dialog) << row.type << "/" << row.io;
    }
}

// Hidden channels, interfaces, power and the kind filters of the search lists.
TEST(TModuleTypes, ListsLinksAndPower)
{
    struct Hidden { quint16 type; quint16 io; quint16 options; bool hidden; };
    const Hidden hidden[] = {
        {7, 0, 0, false}, {7, 1, 0, true}, {30, 1, 0, false}, {17, 3, 0, true}, {17, 4, 0, false}, {17, 5, 0, true},
        {33, 5, 0, true}, {33, 6, 0, false}, {33, 12, 0, true}, {33, 13, 0, true}, {33, 14, 0, false},
        {38, 6, 1, false}, {38, 6, 0, true}, {38, 5, 1, true}, {6, 3, 0, false},
    };
    for (const Hidden &row : hidden)
        EXPECT_EQ(TModuleTypes::IsHiddenChannel(row.type, row.io, row.options), row.hidden) << row.type << "/" << row.io;
    EXPECT_EQ(std::vector<LinkKinds>({TModuleTypes::InterfaceLink(26), TModuleTypes::InterfaceLink(45), TModuleTypes::InterfaceLink(6)}),
              std::vector<LinkKinds>({LinkKinds::Serial, LinkKinds::Udp, LinkKinds::None}));
    EXPECT_EQ(std::make_tuple(TModuleTypes::Row(9).Power, TModuleTypes::Row(36).Power, TModuleTypes::Row(6).NumberedChannels, TModuleTypes::Row(40).NumberedChannels),
              std::make_tuple(PowerRule::ByLevel, PowerRule::Whole, true, false));
    EXPECT_EQ(TModuleTypes::FilterTypes(&TFilterPlaces::Outputs),
              (std::vector<quint16>{6, 8, 40, 9, 36, 14, 7, 30, 34, 35, 37, 39, 2, 3, 4, 5, 33, 38}));
    EXPECT_EQ(TModuleTypes::FilterTypes(&TFilterPlaces::Inputs), (std::vector<quint16>{1, 15, 2, 3, 4, 5, 12, 13, 31, 37, 38}));
    EXPECT_EQ(TModuleTypes::FilterTypes(&TFilterPlaces::Sensors), (std::vector<quint16>{10, 11, 17, 33}));
}
