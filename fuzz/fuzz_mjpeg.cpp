// Feeds arbitrary bytes to the camera stream splitter: the first line is the boundary, the rest
// the body, arriving in pieces cut where a zero byte stands. What it buffers stays bounded.
#include "FuzzSupport.h"
#include "TMjpegSplitter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = InputBytes(data, size);
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArrayView boundary = lineEnd < 0 ? input : input.first(lineEnd);
    const QByteArrayView body = lineEnd < 0 ? QByteArrayView() : input.sliced(lineEnd + 1);
    TMjpegSplitter splitter(boundary);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= body.size(); ++i) {
        if (i == body.size() || body[i] == '\0') {
            splitter.Feed(body.sliced(start, i - start));
            QByteArray part;
            splitter.TakeNewest(part);
            if (part.size() > TMjpegSplitter::MaxPart || splitter.Buffered() > TMjpegSplitter::MaxPart + boundary.size() + 1100 + (i - start))
                std::abort();
            start = i + 1;
        }
    }
    return 0;
}
