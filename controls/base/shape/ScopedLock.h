#pragma once
// A critical section that lives as long as its owner, and a scope that holds one.
#include <windows.h>

class CCriticalSectionObject {
public:
    CCriticalSectionObject() { InitializeCriticalSection(&lock); }
    ~CCriticalSectionObject() { DeleteCriticalSection(&lock); }
    CCriticalSectionObject(const CCriticalSectionObject&) = delete;
    CCriticalSectionObject& operator=(const CCriticalSectionObject&) = delete;
    CRITICAL_SECTION lock;
};

class CScopedLock {
public:
    explicit CScopedLock(CRITICAL_SECTION& lock) : lock_(&lock) { EnterCriticalSection(lock_); }
    ~CScopedLock() { Unlock(); }
    // Leaves early (before a modal box, say); the destructor then does nothing.
    void Unlock() {
        if (lock_) LeaveCriticalSection(lock_);
        lock_ = nullptr;
    }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    CRITICAL_SECTION* lock_;
};
