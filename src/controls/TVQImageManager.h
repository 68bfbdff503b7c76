#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <memory>

class UserMessages;
#include <vector>

// One cached picture: the image as loaded, drawn plain or transparent.
class TVQPicture
{
public:
    explicit TVQPicture(QImage image = QImage());

    bool IsEmpty() const { return m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    const QImage &Image() const { return m_image; }
    // Transparent: pictures without an alpha channel lose the colour of their bottom-left pixel,
    // as bitmaps drawn transparent always have.
    const QPixmap &Pixmap(bool transparent) const;

private:
    QImage m_image;
    mutable QPixmap m_plain;
    mutable QPixmap m_transparent;
    mutable bool m_madePlain = false;
    mutable bool m_madeTransparent = false;
};

// The process-wide picture cache. A name is either a path (it holds "/" or "\") or the key of a
// built-in picture ("Ico..." or "BMP..." and the resource name). Every name is loaded once and
// kept for the life of the program, so the pictures handed out never dangle. A file that does not
// exist, or cannot be decoded, gives the program's icon of "Default Images".
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
    QString m_programFolder;
    QString m_defaultName;  // the picture for files that do not exist or cannot be decoded
    UserMessages *m_messages = nullptr;
    TVQPicture m_empty;
};
