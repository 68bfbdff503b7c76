#include "TVQImageManager.h"

#include "TPicturePaths.h"
#include "TVisualDefaults.h"
#include "UserMessages.h"

#include <QBitmap>
#include <QDir>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

TVQImageManager::TVQImageManager()
{
    m_entries.reserve(1000);
}

TVQImageManager &TVQImageManager::GetInstance()
{
    static TVQImageManager manager;
    return manager;
}

void TVQImageManager::SetProgramFolder(const QString &folder)
{
    // Names resolved under another folder are looked up again; the pictures already handed out
    // stay alive for the controls that hold them.
    if (folder != m_programFolder) {
        m_index.clear();
        m_missing.clear();
        m_controlPaths.clear();
    }
    m_programFolder = folder;
    m_defaultName = TVisualDefaults::ProgramIcon(folder);
}

QString TVQImageManager::PathOf(const QByteArray &stored)
{
    static auto *made = new QHash<QByteArray, QString>;
    if (const auto found = made->constFind(stored); found != made->constEnd())
        return *found;
    QString path = TPicturePaths::FromRecord(stored);
    if (made->size() < 4096)
        made->insert(stored, path);
    return path;
}

bool TVQImageManager::IsPath(const QString &name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'));
}

const TVQPicture *TVQImageManager::GetControlImage(const QString &fileName)
{
    // Controls ask for the same few pictures on every paint: each path is joined once.
    auto path = m_controlPaths.constFind(fileName);
    if (path == m_controlPaths.constEnd()) {
        if (m_controlPaths.size() >= 256)
            m_controlPaths.clear();
        path = m_controlPaths.insert(fileName, QDir(m_programFolder).filePath(QStringLiteral("Image Control/") + fileName));
    }
    return GetImage(*path);
}

const TVQPicture *TVQImageManager::GetImage(const QString &name)
{
    const auto found = m_index.constFind(name);
    Entry *known = found != m_index.constEnd() ? &m_entries[size_t(*found)] : nullptr;
    // An entry of a path keeps the file it read; a built-in picture's has none.
    if (known && known->File.isEmpty())
        return known->Picture.get();
    if (known || IsPath(name)) {
        // A file that does not exist (any more) gives the default picture. A file seen within
        // the last second is not looked for again: a project's controls ask for the same few
        // pictures thousands of times while it opens.
        const qint64 now = QDeadlineTimer::current().deadline();
        if (known && now - known->SeenAt < 1000)
            return known->Picture.get();
        const auto missing = [&] { return name == m_defaultName || m_defaultName.isEmpty() ? &m_empty : GetImage(m_defaultName); };
        // Likewise a file found missing within the last second: finding it in any case of its
        // name lists its folder, which every paint of a control showing it did again.
        const auto missed = known ? m_missing.end() : m_missing.find(name);
        if (missed != m_missing.end() && now - *missed < 1000)
            return missing();
        const QString file = known ? known->File : TPicturePaths::Resolve(TPicturePaths::ToRecord(name), m_programFolder);
        if (file.isEmpty() || !QFileInfo(file).isFile()) {
            if (!known)
                m_missing.insert(name, now);
            return missing();
        }
        if (missed != m_missing.end())
            m_missing.erase(missed);
        if (known) {
            known->SeenAt = now;
            return known->Picture.get();
        }
        QImage image = Decode(file, m_messages);
        // Only a picture decoded from its file can give its memory back and be read again.
        const bool readAgain = !image.isNull();
        if (image.isNull() && name != m_defaultName && !m_defaultName.isEmpty()) {
            // A file that is there but cannot be decoded: said once, and the default stands in,
            // so the control stays visible and can be reached.
            if (m_messages)
                m_messages->ShowMessage(QStringLiteral("Picture cannot be read:\n") + file + QStringLiteral("\nSet to default image"));
            image = GetImage(m_defaultName)->Image();
        }
        m_entries.push_back({name, file, now, std::make_unique<TVQPicture>(image, readAgain ? file : QString())});
        KeepWithinBudget(m_entries.back().Picture.get());
    } else {
        m_entries.push_back({name, QString(), 0, std::make_unique<TVQPicture>(BuiltIn(name))});
    }
    m_index.insert(name, int(m_entries.size() - 1));
    return m_entries.back().Picture.get();
}

QImage TVQImageManager::Decode(const QString &file, UserMessages *messages)
{
    QImageReader reader(file);
    // A control picture larger than a display is kept at display size: a few huge pictures
    // would otherwise hold gigabytes.
    if (const QSize full = reader.size(); full.width() > LargestPicture.width() || full.height() > LargestPicture.height()) {
        const QSize kept = full.scaled(LargestPicture, Qt::KeepAspectRatio);
        reader.setScaledSize(kept);
        if (messages)
            messages->ShowMessage(QStringLiteral("Picture larger than a display, kept at %1 x %2:\n").arg(kept.width()).arg(kept.height()) + file);
    }
    return reader.read();
}

void TVQImageManager::KeepWithinBudget(const TVQPicture *keep)
{
    qint64 total = 0;
    std::vector<TVQPicture *> releasable;
    for (const Entry &entry : m_entries) {
        total += entry.Picture->DecodedBytes();
        if (entry.Picture.get() != keep && entry.Picture->CanRelease())
            releasable.push_back(entry.Picture.get());
    }
    if (total <= m_budget)
        return;
    std::sort(releasable.begin(), releasable.end(), [](const TVQPicture *a, const TVQPicture *b) { return a->LastUse() < b->LastUse(); });
    for (TVQPicture *picture : releasable) {
        if (total <= m_budget)
            break;
        total -= picture->DecodedBytes();
        picture->Release();
    }
}

QImage TVQImageManager::BuiltIn(const QString &key)
{
    // The first three letters, in any case, name the kind; the rest names the resource.
    const QString kind = key.left(3).toUpper();
    const QString resource = key.mid(3);
    if (kind == QStringLiteral("BMP"))
        return {};
    const bool on = resource == QStringLiteral("ModWemOn16");
    if (resource != QStringLiteral("DefaultImage") && !on && resource != QStringLiteral("ModWemOff16"))
        return {};
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 64, 72), 1));
    if (resource == QStringLiteral("DefaultImage")) {
        p.setBrush(QColor(225, 228, 234));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
    } else {
        p.setBrush(on ? QColor(255, 200, 0) : QColor(170, 175, 182));
        p.drawEllipse(QRectF(3, 1.5, 10, 10));
        p.setBrush(QColor(140, 145, 152));
        p.drawRect(QRectF(5.5, 11.5, 5, 3));
    }
    return image;
}
