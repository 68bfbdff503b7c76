#include "TSimulatorOptions.h"

#include "ToolArguments.h"

#include <QHostAddress>

QString TSimulatorOptions::Usage()
{
    return QStringLiteral(
        "Usage: quelnor-sim --export FILE [--udp PORT] [--bind ADDRESS] [--password-file FILE | --password TEXT]\n"
        "                   [--serial PATH]\n"
        "                   [--refuse-password] [--deny-access] [--silent] [--corrupt PERCENT]\n"
        "                   [--drop-session-after SECONDS] [--garbage] [--log] [--tick MS] [--exit-after SECONDS]\n"
        "                   [--reboot-after SECONDS] [--cut PERCENT] [--login-delay MS]\n"
        "                   [--camera PORT [--camera-user NAME] [--camera-password TEXT] [--camera-auth basic|digest|both]\n"
        "                    [--camera-fps N] [--camera-stall-after FRAMES] [--camera-refuse]]\n"
        "Plays the interface module of the installation of a configuration export: UDP on ADDRESS:PORT\n"
        "(127.0.0.1:17481 by default) and, with --serial, a pty linked at PATH (for example\n"
        "<program folder>/Ports/COM3). With --camera, also an IP camera's MJPEG stream on ADDRESS:PORT at\n"
        "/axis-cgi/mjpg/video.cgi (account root / tavo unless given).\n");
}

std::optional<TSimulatorOptions> TSimulatorOptions::Parse(const QStringList &arguments, QString &error)
{
    TSimulatorOptions o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            return arguments[++i];
        };
        const auto number = [&](int low, int high) -> std::optional<int> {
            const auto text = value();
            if (!text)
                return std::nullopt;
            const auto n = Number(*text, low, high);
            if (!n)
                error = QStringLiteral("%1 takes a whole number from %2 to %3").arg(a).arg(low).arg(high);
            return n;
        };
        if (a == QStringLiteral("--export")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            o.ExportPath = *v;
        } else if (a == QStringLiteral("--udp")) {
            const auto n = number(0, 65535);
            if (!n)
                return std::nullopt;
            o.UdpPort = quint16(*n);
        } else if (a == QStringLiteral("--bind")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (QHostAddress(*v).isNull()) {
                error = QStringLiteral("--bind takes an IP address");
                return std::nullopt;
            }
            o.BindAddress = *v;
        } else if (a == QStringLiteral("--password")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            o.Password = *v;
        } else if (a == QStringLiteral("--password-file")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            const std::optional<QString> read = PasswordFromFile(*v, error);
            if (!read)
                return std::nullopt;
            o.Password = *read;
        } else if (a == QStringLiteral("--serial")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            o.SerialPath = *v;
        } else if (a == QStringLiteral("--corrupt")) {
            const auto n = number(0, 100);
            if (!n)
                return std::nullopt;
            o.CorruptPercent = *n;
        } else if (a == QStringLiteral("--drop-session-after")) {
            const auto n = number(1, 86400);
            if (!n)
                return std::nullopt;
            o.DropSessionAfter = *n;
        } else if (a == QStringLiteral("--reboot-after")) {
            const auto n = number(1, 86400);
            if (!n)
                return std::nullopt;
            o.RebootAfter = *n;
        } else if (a == QStringLiteral("--cut")) {
            const auto n = number(0, 100);
            if (!n)
                return std::nullopt;
            o.CutPercent = *n;
        } else if (a == QStringLiteral("--login-delay")) {
            const auto n = number(0, 60000);
            if (!n)
                return std::nullopt;
            o.LoginDelay = *n;
        } else if (a == QStringLiteral("--tick")) {
            const auto n = number(10, 3600000);
            if (!n)
                return std::nullopt;
            o.TickMilliseconds = *n;
        } else if (a == QStringLiteral("--exit-after")) {
            const auto n = number(1, 86400 * 365);
            if (!n)
                return std::nullopt;
            o.ExitAfter = *n;
        } else if (a == QStringLiteral("--camera")) {
            const auto n = number(0, 65535);
            if (!n)
                return std::nullopt;
            o.CameraPort = *n;
        } else if (a == QStringLiteral("--camera-user") || a == QStringLiteral("--camera-password")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (v->isEmpty() || v->contains(QLatin1Char(':')) || v->toLatin1() != v->toUtf8()) {
                error = a + QStringLiteral(" takes plain characters, no colon");
                return std::nullopt;
            }
            (a == QStringLiteral("--camera-user") ? o.CameraUser : o.CameraPassword) = *v;
        } else if (a == QStringLiteral("--camera-auth")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (*v != QStringLiteral("basic") && *v != QStringLiteral("digest") && *v != QStringLiteral("both")) {
                error = QStringLiteral("--camera-auth takes basic, digest or both");
                return std::nullopt;
            }
            o.CameraAuth = *v;
        } else if (a == QStringLiteral("--camera-fps")) {
            const auto n = number(1, 60);
            if (!n)
                return std::nullopt;
            o.CameraFps = *n;
        } else if (a == QStringLiteral("--camera-stall-after")) {
            const auto n = number(1, 1000000);
            if (!n)
                return std::nullopt;
            o.CameraStallAfter = *n;
        } else if (a == QStringLiteral("--camera-refuse")) {
            o.CameraRefuse = true;
        } else if (a == QStringLiteral("--refuse-password")) {
            o.RefusePassword = true;
        } else if (a == QStringLiteral("--deny-access")) {
            o.DenyAccess = true;
        } else if (a == QStringLiteral("--silent")) {
            o.Silent = true;
        } else if (a == QStringLiteral("--garbage")) {
            o.Garbage = true;
        } else if (a == QStringLiteral("--log")) {
            o.Log = true;
        } else {
            error = QStringLiteral("Unknown argument: ") + a;
            return std::nullopt;
        }
    }
    if (o.ExportPath.isEmpty()) {
        error = QStringLiteral("--export FILE is needed");
        return std::nullopt;
    }
    return o;
}
