#include "TFrameAssembler.h"

#include "TFrameBuilder.h"

TFrameAssembler::TFrameAssembler(FrameHandler onFrame)
    : m_onFrame(std::move(onFrame))
{
    m_buffer.reserve(BufferSize);
}

void TFrameAssembler::AssembleBytes(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (quint8(c) == FrameStx) {
            // A frame cut before its ETX is thrown away with its STX.
            if (m_inFrame)
                m_droppedBytes += quint64(m_buffer.size()) + 1;
            m_buffer.clear();
            m_inFrame = true;
        } else if (quint8(c) == FrameEtx) {
            // The text stays until the next STX: an ETX alone decodes the last text again, and
            // counts as a thrown-away byte since its own frame's start was lost.
            if (!m_inFrame)
                ++m_droppedBytes;
            m_inFrame = false;
            if (m_onFrame)
                m_onFrame(m_buffer);
        } else if (m_inFrame && m_buffer.size() < BufferSize) {
            m_buffer.append(c);
        } else {
            ++m_droppedBytes;
        }
    }
}

void TFrameAssembler::DropOpenFrame()
{
    if (!m_inFrame)
        return;
    m_droppedBytes += quint64(m_buffer.size()) + 1;
    m_buffer.clear();
    m_inFrame = false;
}
