#pragma once

#include "TDataFileManager.h"
#include "THeadlessBinder.h"
#include "TProgramLists.h"
#include "TProjectManager.h"

#include "ProgramFolder.h"
#include "RecordingMessages.h"
#include "TFileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// A program folder with the pictures the test projects name (empty files do), and a project
// opened from a file the way the program opens one, with the headless binder.
class ProjectFixture
{
public:
    ProjectFixture()
    {
        QDir folder(m_folder.path());
        folder.mkpath(QStringLiteral("Default Images"));
        folder.mkpath(QStringLiteral("Imported Pictures/Screen"));
        folder.mkpath(QStringLiteral("OldVersion"));
        folder.mkpath(QStringLiteral("Data"));
        for (const char *name : {"KOB ON.ico", "KOB OFF.ico", "DIM ON.ico", "DIM OFF.ico", "QUELNOR.ico", "ZUL UP.ico",
                                 "ZUL DOWN.ico", "Memo ON.ico", "Memo OFF.ico", "MemoDIMON.ico", "MemoDIMOFF.ico",
                                 "FlagON.ico", "FlagOff.ico", "wall_800x600.bmp"})
            Touch(QStringLiteral("Default Images/") + QString::fromLatin1(name));
        Touch(QStringLiteral("Imported Pictures/Screen/plan.jpg"));
    }

    QString ProgramFolder() const { return m_folder.path(); }
    QString Path(const QString &name) const { return m_folder.filePath(name); }
    void Touch(const QString &name) const
    {
        QFile file(m_folder.filePath(name));
        file.open(QIODevice::WriteOnly);
    }

    static QByteArray TestFile(const QString &name)
    {
        return ProgramFolder::Read(QStringLiteral(QUELNOR_TEST_DATA "/project/") + name);
    }

    // Writes `content` into the program folder as `name` and opens it; false when a step fails.
    bool Open(const QString &name, const QByteArray &content)
    {
        TFileAccess::SaveAtomically(Path(name), content);
        return Open(Path(name));
    }
    bool Open(const QString &path)
    {
        project = std::make_unique<TProjectManager>(ProgramFolder(), &messages);
        lists = std::make_unique<TProgramLists>(nullptr, ProgramFolder(), &messages);
        binder = std::make_unique<THeadlessBinder>();
        if (!project->OpenProject(path))
            return false;
        for (const auto &application : project->Applications())
            lists->AddApplication(*application);
        const bool read = project->ReadScreens(*binder, *lists, path);
        project->ClearModified();
        return read;
    }

    ~ProjectFixture()
    {
        // Controls unregister from the model objects, which point into the applications.
        binder.reset();
        lists.reset();
        project.reset();
    }

    RecordingMessages messages;
    std::unique_ptr<TProjectManager> project;
    std::unique_ptr<TProgramLists> lists;
    std::unique_ptr<THeadlessBinder> binder;

private:
    QTemporaryDir m_folder;
};
