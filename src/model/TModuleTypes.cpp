#include "TModuleTypes.h"

namespace {

struct TypeRow
{
    quint16 type;
    const char *modelCode;
    ModuleKind kind;
};

constexpr TypeRow k_types[] = {
    {1, "QVAK08", ModuleKind::Nax08},
    {2, "QFIP01", ModuleKind::Bx},
    {3, "QFIP02", ModuleKind::Bx},
    {4, "QFIP04", ModuleKind::Bx},
    {5, "QFIP06", ModuleKind::Bx},
    {6, "QKOB01", ModuleKind::Kob},
    {7, "QZUL01", ModuleKind::Zul},
    {8, "QWEM01", ModuleKind::Kob},
    {9, "QHUV01", ModuleKind::Dim},
    {10, "QGAR01", ModuleKind::Temp0x},
    {11, "QGAR02", ModuleKind::Temp0x},
    {12, "QYSE01", ModuleKind::Nax08},
    {13, "QKIB01", ModuleKind::None},
    {14, "QNOF01", ModuleKind::Kob},
    {15, "QVAK04", ModuleKind::Nax08},
    {17, "QJUT01", ModuleKind::IOTemp},
    {18, "QJUT01", ModuleKind::None},
    {20, "QWEZ01", ModuleKind::None},
    {21, "QYAP01", ModuleKind::None},
    {22, "QKOM23-01", ModuleKind::None},
    {24, "QXEP01", ModuleKind::Nax08},
    {26, "", ModuleKind::None},
    {30, "QZULBT01", ModuleKind::Zul},
    {31, "QPAL10", ModuleKind::In10V},
    {33, "QYSE03", ModuleKind::IOTemp},
    {34, "QZULBT", ModuleKind::None},
    {35, "QMELTA01", ModuleKind::None},
    {36, "QSAWP01", ModuleKind::Dim},
    {37, "QTOLRIN01", ModuleKind::None},
    {38, "QFIPYSE0x", ModuleKind::IOTemp},
    {39, "QBEX01", ModuleKind::None},
    {40, "QLU01", ModuleKind::Kob},
    {45, "", ModuleKind::None},
    {50, "", ModuleKind::IOTemp},
    {55, "", ModuleKind::IOTemp},
};

const TypeRow *Find(quint16 type)
{
    for (const TypeRow &row : k_types) {
        if (row.type == type)
            return &row;
    }
    return nullptr;
}

} // namespace

QByteArray TModuleTypes::ModelCode(quint16 type)
{
    const TypeRow *row = Find(type);
    return row ? QByteArray(row->modelCode) : QByteArray();
}

ModuleKind TModuleTypes::KindOf(quint16 type)
{
    const TypeRow *row = Find(type);
    return row ? row->kind : ModuleKind::None;
}

int TModuleTypes::ButtonCount(quint16 type)
{
    switch (type) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 4;
    case 5: return 6;
    default: return 0;
    }
}
