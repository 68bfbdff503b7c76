#pragma once

#include <QString>

#include <memory>

class QLockFile;

// The mark a running program leaves beside the project it has open (".house.qvp.lock"), so that
// a second program opening the same project knows, and a program that died leaves no lock for
// long: its mark is taken over.
class TProjectLock
{
public:
    TProjectLock();
    ~TProjectLock();

    // Marks `path` as ours, leaving any earlier one; a folder where no mark can be written leaves
    // the project unmarked (it opens all the same).
    void Take(const QString &path);
    void Release();
    // Whether our mark is on `path`.
    bool Holds(const QString &path) const;
    // Who else has `path` open ("process 1234 on host"), or empty when nobody living does.
    static QString OtherHolder(const QString &path);

private:
    static QString LockPath(const QString &path);

    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};
