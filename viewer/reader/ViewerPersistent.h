#pragma once
#include "ArchiveReader.h"
#include "ViewerPropertyBag.h"

// Base of every object the viewer reads from a card: a property-record list turned into a bag and
// handed to the class, which takes what it knows.
class CViewerPersistent
{
public:
    virtual ~CViewerPersistent() = default;
    // Reads this object's property-record list. False when the archive is damaged or the class
    // refuses its records.
    virtual bool Load(CArchiveReader& archive);
    // Takes this class's values out of the bag; non-zero refuses the object.
    virtual int OnLoadProperties(CViewerPropertyBag& bag);
    // Reads object's record list from a memory block (a property whose data is a stored object).
    virtual bool LoadFromBytes(const void* data, size_t size, CViewerPersistent& object);

    const char* GetClassName() const { return m_className; }

    // Reads one property-record list into bag; false when the list is damaged.
    static bool ReadPropertyList(CArchiveReader& archive, CViewerPropertyBag& bag);

protected:
    explicit CViewerPersistent(const char* className = "CPersistent") : m_className(className) {}
    CViewerPersistent(const CViewerPersistent&) = default;
    CViewerPersistent& operator=(const CViewerPersistent&) = default;

private:
    const char* m_className;
};

// An object that only marks a place in the card ("CDocStartData", "CSiteFinishData", ...): it reads its
// record list and takes nothing from it.
class CViewerMarker : public CViewerPersistent
{
public:
    explicit CViewerMarker(const char* className) : CViewerPersistent(className) {}
};
