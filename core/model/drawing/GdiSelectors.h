#pragma once
#include <windows.h>

#include "TarnApi.h"

// Selects a GDI object into a device context for the life of the selector and puts the previous
// one back at the end; with autoDelete the selector deletes its own object when it is replaced or
// at the end. Stock objects are never deleted.
class TARN_API CGDISelector {
public:
    CGDISelector(HDC dc, HGDIOBJ object, int autoDelete);
    CGDISelector(HDC dc, int stockObject, int autoDelete);
    ~CGDISelector();
    CGDISelector(const CGDISelector&) = delete;
    CGDISelector& operator=(const CGDISelector&) = delete;

    void Select(HGDIOBJ object, int autoDelete);

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_previous;
    int m_autoDelete;
};

// Sets a raster-operation mode for the life of the selector.
class TARN_API CROP2Selector {
public:
    CROP2Selector(HDC dc, int rop2);
    ~CROP2Selector();
    CROP2Selector(const CROP2Selector&) = delete;
    CROP2Selector& operator=(const CROP2Selector& other);

private:
    HDC m_dc;
    int m_previous;
};
