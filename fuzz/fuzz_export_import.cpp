// Feeds arbitrary bytes to the export reader and the data block reader, then writes the block.
#include "FuzzSupport.h"
#include "TDataFileManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView content = InputBytes(data, size);
    NoMessages messages;
    TDataFileManager app(nullptr, {}, &messages);
    app.ImportExportContent(content, "k", TDataFileManager::ImportReplace);
    app.ReadDataBlockFrom(content, "k");
    const QByteArray block = app.DataBlock();
    TDataFileManager back(nullptr, {}, &messages);
    back.ReadDataBlockFrom(block, app.Settings().SourcePath);
    return 0;
}
