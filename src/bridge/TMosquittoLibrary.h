#pragma once

#include <QString>

#include <mosquitto.h>

// libmosquitto, loaded when the first MQTT client starts rather than with the program: a program
// that never bridges does not carry it, nor the TLS libraries it brings. Set up once per process
// and never torn down, so that its functions stay valid while a client may exist.
struct TMosquittoLibrary
{
    decltype(&mosquitto_lib_init) LibInit = nullptr;
    decltype(&mosquitto_new) New = nullptr;
    decltype(&mosquitto_destroy) Destroy = nullptr;
    decltype(&mosquitto_strerror) StrError = nullptr;
    decltype(&mosquitto_connack_string) ConnackString = nullptr;
    decltype(&mosquitto_connect_callback_set) ConnectCallbackSet = nullptr;
    decltype(&mosquitto_disconnect_callback_set) DisconnectCallbackSet = nullptr;
    decltype(&mosquitto_message_callback_set) MessageCallbackSet = nullptr;
    decltype(&mosquitto_publish_callback_set) PublishCallbackSet = nullptr;
    decltype(&mosquitto_reconnect_delay_set) ReconnectDelaySet = nullptr;
    decltype(&mosquitto_username_pw_set) UsernamePwSet = nullptr;
    decltype(&mosquitto_tls_set) TlsSet = nullptr;
    decltype(&mosquitto_will_set) WillSet = nullptr;
    decltype(&mosquitto_connect_async) ConnectAsync = nullptr;
    decltype(&mosquitto_loop_start) LoopStart = nullptr;
    decltype(&mosquitto_loop_stop) LoopStop = nullptr;
    decltype(&mosquitto_disconnect) Disconnect = nullptr;
    decltype(&mosquitto_publish) Publish = nullptr;
    decltype(&mosquitto_subscribe) Subscribe = nullptr;

    // The library, loaded and set up by the first call; none, with why, when it cannot be.
    static const TMosquittoLibrary *Load(QString &error);
};
