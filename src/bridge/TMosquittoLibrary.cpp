#include "TMosquittoLibrary.h"

#include <QLibrary>

namespace {

template <typename Function>
bool Resolve(QLibrary &library, const char *name, Function &function, QString &missing)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (!function)
        missing = QString::fromLatin1(name);
    return function != nullptr;
}

} // namespace

const TMosquittoLibrary *TMosquittoLibrary::Load(QString &error)
{
    static QString failure;
    // Never unloaded: the library's own thread may still run in a client being destroyed.
    static QLibrary *file = new QLibrary(QStringLiteral("mosquitto"), 1);
    static const TMosquittoLibrary *library = [] () -> const TMosquittoLibrary * {
        file->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!file->load()) {
            failure = QStringLiteral("The MQTT library (libmosquitto.so.1) cannot be loaded: ") + file->errorString();
            return nullptr;
        }
        auto *m = new TMosquittoLibrary;
        QString missing;
        const bool found = Resolve(*file, "mosquitto_lib_init", m->LibInit, missing) && Resolve(*file, "mosquitto_new", m->New, missing)
            && Resolve(*file, "mosquitto_destroy", m->Destroy, missing) && Resolve(*file, "mosquitto_strerror", m->StrError, missing)
            && Resolve(*file, "mosquitto_connack_string", m->ConnackString, missing)
            && Resolve(*file, "mosquitto_connect_callback_set", m->ConnectCallbackSet, missing)
            && Resolve(*file, "mosquitto_disconnect_callback_set", m->DisconnectCallbackSet, missing)
            && Resolve(*file, "mosquitto_message_callback_set", m->MessageCallbackSet, missing)
            && Resolve(*file, "mosquitto_publish_callback_set", m->PublishCallbackSet, missing)
            && Resolve(*file, "mosquitto_reconnect_delay_set", m->ReconnectDelaySet, missing)
            && Resolve(*file, "mosquitto_username_pw_set", m->UsernamePwSet, missing)
            && Resolve(*file, "mosquitto_tls_set", m->TlsSet, missing) && Resolve(*file, "mosquitto_will_set", m->WillSet, missing)
            && Resolve(*file, "mosquitto_connect_async", m->ConnectAsync, missing)
            && Resolve(*file, "mosquitto_loop_start", m->LoopStart, missing)
            && Resolve(*file, "mosquitto_loop_stop", m->LoopStop, missing)
            && Resolve(*file, "mosquitto_disconnect", m->Disconnect, missing)
            && Resolve(*file, "mosquitto_publish", m->Publish, missing) && Resolve(*file, "mosquitto_subscribe", m->Subscribe, missing);
        if (!found) {
            failure = QStringLiteral("The MQTT library (libmosquitto.so.1) lacks ") + missing;
            delete m;
            return nullptr;
        }
        m->LibInit();
        return m;
    }();
    if (!library)
        error = failure;
    return library;
}
