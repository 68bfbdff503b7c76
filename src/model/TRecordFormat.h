#pragma once

#include "InstallationRecords.h"

#include <QByteArrayView>

#include <optional>

// The record lines of the installation data, shared by the export reader and the data block:
// one reader per record kind for every version it accepts, one writer for the version written.
// A reader returns nothing for a version it does not accept.
class TRecordFormat
{
public:
    // Record versions written into the data block.
    static constexpr quint8 AppDataVersion = 1;
    static constexpr quint8 ModuleVersion = 4;
    static constexpr quint8 IoVersion = 5;
    static constexpr quint8 MemoVersion = 4;
    static constexpr quint8 MemoListVersion = 1;
    static constexpr quint8 VariableVersion = 2;
    static constexpr quint8 Param32Version = 2;

    // Versions 2-4. `hasLineEnd` false with nothing after the numbers gives the name "No Name".
    static std::optional<ModuleRecord> ReadModule(QByteArrayView line, bool hasLineEnd, int version);
    // Versions 2-5; the caller reports other versions as "TableIO Not handled".
    static std::optional<IoRecord> ReadIo(QByteArrayView line, int version);
    static bool IsIoVersionHandled(int version) { return version >= 2 && version <= 5; }
    // Versions 2-4.
    static std::optional<MemoRecord> ReadMemo(QByteArrayView line, int version);
    // Versions 0-1.
    static std::optional<MemoListRecord> ReadMemoList(QByteArrayView line, int version);
    // Versions 0-2.
    static std::optional<VariableRecord> ReadVariable(QByteArrayView line, int version);
    // Versions 0-2.
    static std::optional<Param32Record> ReadParam32(QByteArrayView line, int version);
    // Versions 0 and 1.
    static std::optional<TVISUALQvpInfo> ReadAppData(QByteArrayView line, int version);

    // One record line each, CR LF included.
    static QByteArray WriteModule(const ModuleRecord &record);
    static QByteArray WriteIo(const IoRecord &record);
    static QByteArray WriteMemo(const MemoRecord &record);
    static QByteArray WriteMemoList(const MemoListRecord &record);
    static QByteArray WriteVariable(const VariableRecord &record);
    static QByteArray WriteParam32(const Param32Record &record);
    static QByteArray WriteAppData(const TVISUALQvpInfo &info);

    // The version of a record-version line ("**" or "*[" and two hexadecimal digits), or nothing
    // when the line is not one.
    static std::optional<int> VersionOf(QByteArrayView line);
};
