#pragma once

#include <QObject>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace cardmill::test {

// A window's control by its object name (the design's name); a missing one ends the test program.
template <typename T>
T* child(const QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "no control named %s\n", name);
        std::abort();
    }
    return found;
}

} // namespace cardmill::test
