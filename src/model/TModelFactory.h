#pragma once

#include <memory>

class SerialPort;
class TDataFileManager;
class TVQQMemoBaseItem;
class TVQQModuleBase;
class TVQQVariableBaseItem;
struct MemoRecord;
struct ModuleRecord;
struct VariableRecord;

// The factories of the live model: each picks the class from the record's type or kind and
// returns none for codes it does not handle.
class TModelFactory
{
public:
    static std::unique_ptr<TVQQModuleBase> CreateModule(TDataFileManager *application, ModuleRecord *record, SerialPort *link);
    static std::unique_ptr<TVQQMemoBaseItem> CreateMemoItem(TDataFileManager *application, MemoRecord *record, SerialPort *link);
    static std::unique_ptr<TVQQVariableBaseItem> CreateVariableItem(TDataFileManager *application, VariableRecord *record, SerialPort *link);
};
