#pragma once

#include "TVQPicture.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

class UserMessages;

// The process-wide picture cache. A name is either a path (it holds "/" or "\") or the key of a
// built-in picture ("Ico..." or "BMP..." and the resource name). Every name is loaded once and
// kept for the life of the program, so the pictures handed out never dangle. A file that does not
// exist, or cannot be decoded, gives the program's icon of "Default Images". The decoded pictures
// of files stay within a memory budget: past it, those drawn least recently give their memory
// back and are decoded again when next drawn.
class TVQImageManager
{
public:
    static TVQImageManager &GetInstance();
    // The largest a picture is kept at (a display's size); a larger file is decoded down to it.
    static constexpr QSize LargestPicture{1920, 1200};

    // Where pictures stored with another computer's folders are looked for, and the default.
    void SetProgramFolder(const QString &folder);
    // Where a picture file that cannot be decoded is reported; it must outlive its use here.
    void SetMessages(UserMessages *messages) { m_messages = messages; }
    UserMessages *Messages() const { return m_messages; }

    // Never null: a missing file gives the default picture, an unknown key an empty picture.
    const TVQPicture *GetImage(const QString &name);
    // A picture of the program's own "Image Control" folder (panels, dials, keys).
    const TVQPicture *GetControlImage(const QString &fileName);

    static constexpr qint64 DefaultBudget = 256LL * 1024 * 1024;
    void SetBudget(qint64 bytes) { m_budget = bytes; }
    // Releases the pictures drawn least recently until the decoded ones fit the budget; `keep`
    // stays whatever it costs.
    void KeepWithinBudget(const TVQPicture *keep);
    // A file's picture as the cache keeps it (a larger one decoded down to LargestPicture);
    // `messages`, when given, hears of the reduction.
    static QImage Decode(const QString &file, UserMessages *messages);
    // A picture path as a project stores it, made into text. Thousands of controls name the same
    // few pictures: each stored path is made once and shared (up to a bound, so that a project
    // of distinct pictures is not kept twice). The controls' thread only.
    static QString PathOf(const QByteArray &stored);


private:
    TVQImageManager();
    static bool IsPath(const QString &name);
    static QImage BuiltIn(const QString &key);

    struct Entry
    {
        QString Name;
        QString File;  // the file actually read, for a path
        qint64 SeenAt = 0;  // when the file was last seen on the disk, in ms of the monotonic clock
        std::unique_ptr<TVQPicture> Picture;
    };
    std::vector<Entry> m_entries;
    QHash<QString, int> m_index;  // first entry of each name, beside the insertion-ordered list
    QHash<QString, qint64> m_missing;  // paths whose file was missing, and when last looked for
    QHash<QString, QString> m_controlPaths;  // each control picture's name, joined to the program folder
    QString m_programFolder;
    QString m_defaultName;  // the picture for files that do not exist or cannot be decoded
    UserMessages *m_messages = nullptr;
    qint64 m_budget = DefaultBudget;
    TVQPicture m_empty;
};
