#include "TModelFactory.h"

#include "InstallationRecords.h"
#include "TModuleTypes.h"
#include "TVQQBxModule.h"
#include "TVQQDimModule.h"
#include "TVQQIOTempModule.h"
#include "TVQQIn10VModule.h"
#include "TVQQKobModule.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQNax08Module.h"
#include "TVQQTemp0xModule.h"
#include "TVQQVariableBaseItem.h"
#include "TVQQZulModule.h"

std::unique_ptr<TVQQModuleBase> TModelFactory::CreateModule(TDataFileManager *application, ModuleRecord *record, SerialPort *link)
{
    switch (TModuleTypes::KindOf(record->ModuleType)) {
    case ModuleKind::Nax08: return std::make_unique<TVQQNax08Module>(application, record, link);
    case ModuleKind::Bx: return std::make_unique<TVQQBxModule>(application, record, link);
    case ModuleKind::Kob: return std::make_unique<TVQQKobModule>(application, record, link);
    case ModuleKind::Zul: return std::make_unique<TVQQZulModule>(application, record, link);
    case ModuleKind::Dim: return std::make_unique<TVQQDimModule>(application, record, link);
    case ModuleKind::Temp0x: return std::make_unique<TVQQTemp0xModule>(application, record, link);
    case ModuleKind::IOTemp: return std::make_unique<TVQQIOTempModule>(application, record, link);
    case ModuleKind::In10V: return std::make_unique<TVQQIn10VModule>(application, record, link);
    case ModuleKind::None: break;
    }
    return nullptr;
}

std::unique_ptr<TVQQMemoBaseItem> TModelFactory::CreateMemoItem(TDataFileManager *application, MemoRecord *record, SerialPort *link)
{
    switch (record->MemoKind) {
    case 0: return std::make_unique<TVQQMemoMixte>(application, record, link);
    case 1: return std::make_unique<TVQQMemoZul>(application, record, link);
    case 2: return std::make_unique<TVQQMemoDim>(application, record, link);
    default: return nullptr;
    }
}

std::unique_ptr<TVQQVariableBaseItem> TModelFactory::CreateVariableItem(TDataFileManager *application, VariableRecord *record, SerialPort *link)
{
    switch (record->VariableKind) {
    case 0: return std::make_unique<TVQQVariableBooleen>(application, record, link);
    case 1: return std::make_unique<TVQQVariableValeur>(application, record, link);
    default: return nullptr;
    }
}
