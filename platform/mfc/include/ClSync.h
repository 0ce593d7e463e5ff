#pragma once
// Synchronisation objects: a critical section and a scoped lock over it.
#include "ClassLibExport.h"

class CCriticalSection
{
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    BOOL Lock() { EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Lock(DWORD) { return Lock(); }
    BOOL Unlock() { LeaveCriticalSection(&m_sect); return TRUE; }
    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};

// Holds a critical section from Lock (or construction with bInitialLock) until Unlock or destruction.
class CSingleLock
{
public:
    explicit CSingleLock(CCriticalSection* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject), m_bAcquired(FALSE)
    {
        if (bInitialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD = INFINITE)
    {
        if (!m_bAcquired)
            m_bAcquired = m_pObject->Lock();
        return m_bAcquired;
    }
    BOOL Unlock()
    {
        if (m_bAcquired)
            m_bAcquired = !m_pObject->Unlock();
        return !m_bAcquired;
    }
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CCriticalSection* m_pObject;
    BOOL m_bAcquired;
};
