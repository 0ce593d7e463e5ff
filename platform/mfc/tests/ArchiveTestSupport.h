#pragma once
// Helpers and small archivable classes shared by the archive tests.
#include <classlib.h>

#include <functional>
#include <set>
#include <vector>

using Bytes = std::vector<BYTE>;

// Runs fn on a storing archive over a memory file and returns the bytes it wrote.
Bytes StoreToBytes(const std::function<void(CArchive&)>& fn);
// Runs fn on a loading archive over a copy of bytes.
void LoadFromBytes(const Bytes& bytes, const std::function<void(CArchive&)>& fn);

// What fn threw: the cause of a CArchiveException, kNoException, or kOtherException.
constexpr int kNoException = -1;
constexpr int kOtherException = -2;
int ArchiveCause(const std::function<void()>& fn);

Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Le16(WORD v);
Bytes Le32(DWORD v);
Bytes Text(const char* s);

// Fixed-schema archivable class (schema 1).
class CTestPoint : public CObject
{
    DECLARE_SERIAL(CTestPoint)
public:
    CTestPoint(int x = 0, int y = 0) : m_x(x), m_y(y) {}
    void Serialize(CArchive& ar) override;
    int m_x, m_y;
};

class CTestPoint3 : public CTestPoint
{
    DECLARE_SERIAL(CTestPoint3)
public:
    void Serialize(CArchive& ar) override;
    int m_z = 0;
};

// Versionable class (schema 0x80000001) that refers to other nodes and records the schema it
// was loaded with. Nodes do not own one another: every live node is listed so tests can free them.
class CTestNode : public CObject
{
    DECLARE_SERIAL(CTestNode)
public:
    CTestNode();
    ~CTestNode() override;
    void Serialize(CArchive& ar) override;

    CString m_name;
    CTestNode* m_pNext = nullptr;
    CObArray m_items;
    UINT m_loadedSchema = 0;

    static std::set<CTestNode*>& Live();
    static void DeleteAll();
};

// Creatable but not archivable.
class CTestDynamic : public CObject
{
    DECLARE_DYNCREATE(CTestDynamic)
};
