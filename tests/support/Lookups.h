#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

// The child of that type and name, as a user would find the field on the screen. A child that
// is not there throws, so the test fails with its name instead of crashing.
template <typename T>
T &Child(const QObject &parent, const char *name)
{
    T *child = parent.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no child named ") + name);
    return *child;
}

// The first descendant of that type whose text is `text` (a menu entry, a button); a miss throws.
template <typename T>
T &Titled(const QObject &parent, const QString &text)
{
    for (T *child : parent.findChildren<T *>()) {
        if (child->text() == text)
            return *child;
    }
    throw std::runtime_error("nothing reads " + text.toStdString());
}

// What a look-up found; a miss throws, so the test fails with `what` instead of crashing.
template <typename T>
T &Found(T *found, const char *what)
{
    if (!found)
        throw std::runtime_error(std::string("not found: ") + what);
    return *found;
}
