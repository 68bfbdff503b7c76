#include "TSectionScanner.h"

#include "TRecordFormat.h"

void TSectionScanner::EnterSection(Section section)
{
    m_section = section;
    m_state = State::AfterHeading;
}

bool TSectionScanner::IsRecordLine(QByteArrayView line)
{
    switch (m_state) {
    case State::Ignore:
        return false;
    case State::AfterHeading:
        if (const auto version = TRecordFormat::VersionOf(line)) {
            m_version = *version;
            m_state = State::AfterVersion;
        } else if (line.size() >= 2) {
            // Not a version line: the section's lines are ignored up to the next heading.
            m_state = State::Ignore;
        }
        return false;
    case State::AfterVersion:
    case State::InRecords:
        m_state = State::InRecords;
        return m_section != Section::None;
    }
    return false;
}
