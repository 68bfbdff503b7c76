#include "TDataFileManager.h"
#include "TModuleTypes.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Rows taken from the module type table of the installation documents.
TEST(TModuleTypes, ModelCodesAndKinds)
{
    struct Row { quint16 type; const char *code; ModuleKind kind; };
    const Row rows[] = {
        {1, "QVAK08", ModuleKind::Nax08},   {5, "QFIP06", ModuleKind::Bx},
        {8, "QWEM01", ModuleKind::Kob},     {9, "QHUV01", ModuleKind::Dim},
        {11, "QGAR02", ModuleKind::Temp0x}, {13, "QKIB01", ModuleKind::None},
        {17, "QJUT01", ModuleKind::IOTemp}, {18, "QJUT01", ModuleKind::None},
        {22, "QKOM23-01", ModuleKind::None}, {26, "", ModuleKind::None},
        {30, "QZULBT01", ModuleKind::Zul},  {31, "QPAL10", ModuleKind::In10V},
        {36, "QSAWP01", ModuleKind::Dim},   {38, "QFIPYSE0x", ModuleKind::IOTemp},
        {40, "QLU01", ModuleKind::Kob},     {45, "", ModuleKind::None},
        {50, "", ModuleKind::IOTemp},       {55, "", ModuleKind::IOTemp},
        {0, "", ModuleKind::None},          {16, "", ModuleKind::None},
        {56, "", ModuleKind::None},         {300, "", ModuleKind::None},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TDataFileManager::GetModelCode(row.type), QByteArray(row.code)) << row.type;
        EXPECT_EQ(TModuleTypes::KindOf(row.type), row.kind) << row.type;
    }
    EXPECT_EQ(TModuleTypes::ButtonCount(3), 2);
    EXPECT_EQ(TModuleTypes::ButtonCount(5), 6);
    EXPECT_EQ(TModuleTypes::ButtonCount(6), 0);
    EXPECT_TRUE(TModuleTypes::IsInterfaceModule(26));
    EXPECT_FALSE(TModuleTypes::IsInterfaceModule(27));
}
