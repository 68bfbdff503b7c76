#pragma once

#include "TFileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A program folder of its own for a test: the built pictures linked in, the test installation
// and its project (tests/data/house) copied into "Data", so the test may save and write settings
// freely.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        const QDir built(QStringLiteral(QUELNOR_PROGRAM_DIR));
        QDir folder(m_folder.path());
        for (const char *name : {"Default Images", "Image Control", "Imported Pictures"})
            QFile::link(built.filePath(QString::fromLatin1(name)), folder.filePath(QString::fromLatin1(name)));
        QFile::link(built.filePath(QStringLiteral("libqnet.so")), folder.filePath(QStringLiteral("libqnet.so")));
        folder.mkpath(QStringLiteral("Data"));
        folder.mkpath(QStringLiteral("OldVersion"));
        for (const char *name : {"house.qap", "house.qvp"})
            QFile::copy(QStringLiteral(QUELNOR_TEST_DATA "/house/") + QString::fromLatin1(name),
                        folder.filePath(QStringLiteral("Data/") + QString::fromLatin1(name)));
    }

    QString Path() const { return m_folder.path(); }
    QString File(const QString &name) const { return m_folder.filePath(name); }
    QString House() const { return File(QStringLiteral("Data/house.qvp")); }
    // The demo installation and project copied into "Data"; returns the project's path.
    QString Demo() const
    {
        for (const char *name : {"demo.qap", "demo.qvp"})
            QFile::copy(QStringLiteral(QUELNOR_PROGRAM_DIR "/Data/") + QString::fromLatin1(name), File(QStringLiteral("Data/") + QString::fromLatin1(name)));
        return File(QStringLiteral("Data/demo.qvp"));
    }
    static QByteArray Read(const QString &path)
    {
        QByteArray content;
        TFileAccess::Read(path, content);
        return content;
    }

    // The content without the line that holds `text`.
    static QByteArray WithoutLineOf(QByteArray content, const char *text)
    {
        const qsizetype at = content.indexOf(text);
        const qsizetype start = content.lastIndexOf('\n', at) + 1;
        return content.remove(start, content.indexOf('\n', at) + 1 - start);
    }

private:
    QTemporaryDir m_folder;
};
