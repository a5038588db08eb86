// Reaches a window's controls by the object names its layout gives them, as
// a user's tools (or accessibility) would, so tests need no back door.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace tovane::test {

template <typename T>
T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no control %s of the right kind", name);
    return found;
}

}  // namespace tovane::test
