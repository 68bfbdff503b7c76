#include "TLoginLibrary.h"

#include <QDir>
#include <QLibrary>

#include <array>

namespace {

using EncryptFunction = unsigned short (*)(char *out, int size, const char *password);

} // namespace

QString TLoginLibrary::LibraryPath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("qnet"));
}

bool TLoginLibrary::MakeLoginText(const QString &programFolder, const QByteArray &password,
                                  QByteArray &text, QString &error)
{
    QLibrary library(LibraryPath(programFolder));
    if (!library.load()) {
        error = library.errorString();
        return false;
    }
    const auto encrypt = reinterpret_cast<EncryptFunction>(library.resolve("qnet_encryptpsw"));
    if (!encrypt) {
        error = library.errorString();
        return false;
    }
    std::array<char, 100> buffer{};
    encrypt(buffer.data(), int(buffer.size()), password.constData());
    buffer.back() = '\0';  // whatever the library did, the text ends inside the buffer
    text = QByteArray(buffer.data());
    return true;
}
