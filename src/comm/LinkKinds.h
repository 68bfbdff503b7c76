#pragma once

#include <QtGlobal>

// The kind of an application's link; the values are those stored in the project's App Data.
enum class LinkKinds : quint8 { None = 0, Serial = 1, Udp = 3 };

// Where a link stands: a UDP log-in sent and unanswered, connected, refused or failed, or idle.
enum class LinkStates : quint8 { LoginSent = 1, Connected = 2, Failed = 3, Idle = 4 };
