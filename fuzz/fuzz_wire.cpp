// Feeds arbitrary bytes, as they would arrive on the link, to the frame assembler, the decoder
// and the dispatch into a loaded installation whose every module channel, memo and variable has
// a control in run time.
#include "FuzzSupport.h"
#include "TControlFactory.h"
#include "TDataFileManager.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TVQBaseControl.h"
#include "TVQMemoBaseControl.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQVariableBaseControl.h"
#include "TVQQVariableBaseItem.h"

#include <QApplication>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

struct Installation
{
    NoMessages messages;
    TDataFileManager app{nullptr, {}, &messages};
    std::unique_ptr<TProgramLists> lists;
    QWidget screen;
    std::vector<std::unique_ptr<QWidget>> controls;

    Installation()
    {
        app.ExportImport(QStringLiteral(QUELNOR_FUZZ_EXPORT), TDataFileManager::ImportReplace);
        lists = std::make_unique<TProgramLists>(nullptr, QString(), &messages);
        lists->AddApplication(app);
        for (const auto &module : lists->Modules()) {
            for (quint16 channel = 0; channel < 8; ++channel) {
                const char *name = TModuleTypes::Channel(module->GetModuleType(), channel).Control;
                if (TVQBaseControl *control = TControlFactory::Create(name, &screen, module.get(), channel, nullptr)) {
                    module->AddControl(control);
                    Keep(control);
                }
            }
        }
        for (const auto &memo : lists->Memos())
            Keep(new TVQMemoMixteControl(&screen, memo.get(), nullptr));
        for (const auto &variable : lists->Variables())
            Keep(new TVQVariableValControl(&screen, variable.get(), nullptr));
    }
    template <typename Control>
    void Keep(Control *control)
    {
        control->SetRunTimeMode(RunMode::RunTime);
        controls.emplace_back(control);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_wire";
    static char *argv[] = {name, nullptr};
    static const bool platform = qputenv("QT_QPA_PLATFORM", "offscreen");
    // Made once and never destroyed: torn down at exit after Qt's own statics, the application
    // would leave its font engines unreachable, which the leak checker reports as ours.
    static QApplication *application = new QApplication(argc, argv);
    static Installation &installation = *new Installation;
    (void)platform;
    (void)application;
    // The bytes arrive in pieces, cut where a zero byte stands, as reads of a link would give them.
    const QByteArrayView bytes = InputBytes(data, size);
    installation.app.BeginBatch();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\0') {
            installation.app.AssembleBytes(bytes.sliced(start, i - start));
            start = i + 1;
        }
    }
    installation.app.EndBatch();
    return 0;
}
