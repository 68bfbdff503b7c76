// Feeds arbitrary bytes to the project reader (applications, data blocks, screens and controls
// bound to the model without windows), then writes the project back.
#include "FuzzSupport.h"
#include "TDataFileManager.h"
#include "THeadlessBinder.h"
#include "TProgramLists.h"
#include "TProjectManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("fuzz.qvp"));
    // Written plainly: the atomic save's flush to disk would slow every run.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    NoMessages messages;
    TProjectManager project(folder.path(), &messages);
    if (project.OpenProject(path)) {
        TProgramLists lists(nullptr, folder.path(), &messages);
        for (const auto &application : project.Applications())
            lists.AddApplication(*application);
        {
            THeadlessBinder binder;
            project.ReadScreens(binder, lists, path);
            project.Compose();
            std::vector<quint16> ids;
            for (TProjectScreen *screen : project.Screens())
                ids.push_back(screen->ScreenRecord().ScreenId);
            for (quint16 id : ids)
                project.DeleteScreen(binder, id);
        }
        for (const auto &application : project.Applications())
            lists.RemoveApplication(*application);
    }
    return 0;
}
