#pragma once

#include <QString>

#include <functional>

class QMenu;
class QWidget;
class TProjectSession;

// The features that follow the project session beside the windows, made once with the main
// window and gone with the session: the MQTT bridge ("Parameter > MQTT bridge…") and the history
// of every change ("Display > History"). `say` shows one line about them (the status bar).
void AttachSessionFeatures(TProjectSession &session, const QString &programFolder, QWidget *window, QMenu *parameterMenu,
                           QMenu *displayMenu, const std::function<void(const QString &)> &say);
