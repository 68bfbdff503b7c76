#pragma once

#include <QByteArrayView>

// The line states shared by the export reader and the data block reader: a heading opens a
// section, the line after it must be its record-version line, then come the record lines.
class TSectionScanner
{
public:
    enum class Section { None, AppData, Modules, Ios, Memos, MemoList, Variables, Param32 };

    // A heading line opens `section`.
    void EnterSection(Section section);
    // A heading whose lines are never read ("Link", "SoftVersion"): the line state stays.
    void LeaveSection() { m_section = Section::None; }

    // Any line that is not a heading: true when it is a record line of the current section, to be
    // parsed with Version().
    bool IsRecordLine(QByteArrayView line);

    Section CurrentSection() const { return m_section; }
    int Version() const { return m_version; }

private:
    enum class State { Ignore, AfterHeading, AfterVersion, InRecords };

    Section m_section = Section::None;
    State m_state = State::Ignore;
    int m_version = 0;
};
