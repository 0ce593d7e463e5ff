#pragma once
// The named collections of the class library. The arrays, lists and maps of objects, strings and
// numbers that can be archived are registered run-time classes (schema 0); their archive form is
// the element count (ReadCount/WriteCount) followed by the elements.
#include "ClCollTempl.h"

class CLASSLIB_API CObArray : public CArray<CObject*, CObject*>
{
    DECLARE_SERIAL(CObArray)
};

class CLASSLIB_API CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
};

class CLASSLIB_API CByteArray : public CArray<BYTE, BYTE>
{
    DECLARE_SERIAL(CByteArray)
};

class CLASSLIB_API CWordArray : public CArray<WORD, WORD>
{
    DECLARE_SERIAL(CWordArray)
};

class CLASSLIB_API CDWordArray : public CArray<DWORD, DWORD>
{
    DECLARE_SERIAL(CDWordArray)
};

class CLASSLIB_API CUIntArray : public CArray<UINT, UINT>
{
    DECLARE_DYNAMIC(CUIntArray)
};

class CLASSLIB_API CStringArray : public CArray<CString, LPCSTR>
{
    DECLARE_SERIAL(CStringArray)
};

class CLASSLIB_API CObList : public CList<CObject*, CObject*>
{
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CLASSLIB_API CPtrList : public CList<void*, void*>
{
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CLASSLIB_API CStringList : public CList<CString, LPCSTR>
{
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(int nBlockSize = 10) : CList(nBlockSize) {}
};

class CLASSLIB_API CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapStringToOb : public CMap<CString, LPCSTR, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapStringToString : public CMap<CString, LPCSTR, CString, LPCSTR>
{
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapWordToPtr : public CMap<WORD, WORD, void*, void*>
{
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapWordToOb)
public:
    explicit CMapWordToOb(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapPtrToPtr : public CMap<void*, void*, void*, void*>
{
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(int nBlockSize = 10) : CMap(nBlockSize) {}
};

class CLASSLIB_API CMapPtrToWord : public CMap<void*, void*, WORD, WORD>
{
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    explicit CMapPtrToWord(int nBlockSize = 10) : CMap(nBlockSize) {}
};
