#pragma once

#include <QMutexLocker>
#include <QRecursiveMutex>

// One value with a mutex of its own: the GUI thread writes a worker's setting
// while the worker reads it from its own thread. The lock covers a single copy
// or assignment, nothing more.
template <typename T>
class cLockedValue
{
public:
    cLockedValue() = default;
    Q_DISABLE_COPY_MOVE(cLockedValue)

    T value() const
    {
        const QMutexLocker locker(&mutex);
        return data;
    }

    void setValue(const T &v)
    {
        const QMutexLocker locker(&mutex);
        data = v;
    }

private:
    mutable QRecursiveMutex mutex;
    T data{};
};
