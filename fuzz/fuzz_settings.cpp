// Reads arbitrary bytes as the settings file, writes the settings and reads them again: the
// second writing must give the same bytes as the first.
#include "FuzzSupport.h"
#include "TSettingsFile.h"

#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QByteArray written = TSettingsFile::Compose(TSettingsFile::Parse(InputBytes(data, size), folder.path()));
    if (TSettingsFile::Compose(TSettingsFile::Parse(written, folder.path())) != written)
        std::abort();
    return 0;
}
