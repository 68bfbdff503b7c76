#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

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
