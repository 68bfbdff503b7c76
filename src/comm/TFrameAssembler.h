#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// Collects the text of incoming frames between STX and ETX from raw link bytes. One per
// application; never reset except by an STX.
class TFrameAssembler
{
public:
    static constexpr int BufferSize = 4096;

    // Called with the collected text at each ETX.
    using FrameHandler = std::function<void(QByteArrayView text)>;

    explicit TFrameAssembler(FrameHandler onFrame);

    void AssembleBytes(QByteArrayView bytes);

    // Bytes thrown away: outside a frame, beyond the buffer, a frame cut by the next STX, an ETX
    // without its STX. Each one means a frame was lost.
    quint64 DroppedBytes() const { return m_droppedBytes; }
    // A frame has started and not ended yet.
    bool InFrame() const { return m_inFrame; }
    // The frame started is given up (its end never came): thrown away like a cut one.
    void DropOpenFrame();

private:
    FrameHandler m_onFrame;
    QByteArray m_buffer;
    bool m_inFrame = false;
    quint64 m_droppedBytes = 0;
};
