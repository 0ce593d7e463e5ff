#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ClCollections.h"
#include "FixtureRecords.h"
#include "Registry.h"

namespace {

const char kTestRoot[] = "Software\\TarnTests";

// Every test works under its own empty key below HKEY_CURRENT_USER\Software\TarnTests.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CRegistry setup;
        ASSERT_TRUE(setup.CreateKey(kTestRoot));
        setup.DeleteKey(name.c_str());
        setup.Close();
        ASSERT_TRUE(reg.CreateKey(kTestRoot));
        ASSERT_TRUE(reg.CreateKey(name.c_str()));
    }
    void TearDown() override
    {
        reg.Close();
        reg.Close();
    }

    void PutRaw(const char* value, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(reg.GetCurrentKey(), value, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    std::string RawString(const char* value)
    {
        char text[512] = {};
        DWORD size = sizeof text - 1;
        DWORD type = 0;
        if (RegQueryValueExA(reg.GetCurrentKey(), value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS)
            return "<missing>";
        return text;
    }

    std::string name;
    CRegistry reg;
};

TEST_F(RegistryTest, PlainValuesRoundTrip)
{
    EXPECT_TRUE(reg.Write("Int", -42));
    EXPECT_TRUE(reg.Write("ULong", 4000000000ul));
    EXPECT_TRUE(reg.Write("True", true));
    EXPECT_TRUE(reg.Write("Text", "hello world"));
    int i = 0;
    unsigned long u = 0;
    bool b = false;
    CString s;
    EXPECT_TRUE(reg.Read("Int", i));
    EXPECT_TRUE(reg.Read("ULong", u));
    EXPECT_TRUE(reg.Read("True", b));
    EXPECT_TRUE(reg.Read("Text", s));
    EXPECT_EQ(i, -42);
    EXPECT_EQ(u, 4000000000ul);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, CString("hello world"));
    EXPECT_EQ(reg.GetLastType(), static_cast<DWORD>(REG_SZ));

    DWORD stored = 0, size = 4, type = 0;
    RegQueryValueExA(reg.GetCurrentKey(), "True", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored, 1u);
    const DWORD two = 2;
    PutRaw("Two", REG_DWORD, &two, 4);
    b = true;
    EXPECT_TRUE(reg.Read("Two", b));
    EXPECT_FALSE(b);

    i = 5;
    EXPECT_FALSE(reg.Read("Missing", i));
    EXPECT_EQ(i, 5);
    EXPECT_EQ(reg.GetLastResult(), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, StringLimitOf200Bytes)
{
    const std::string fits(199, 'a'), tooLong(200, 'b');
    PutRaw("Fits", REG_SZ, fits.c_str(), 200);
    PutRaw("TooLong", REG_SZ, tooLong.c_str(), 201);
    CString s = "unchanged";
    EXPECT_TRUE(reg.Read("Fits", s));
    EXPECT_EQ(s.GetLength(), 199);
    s = "unchanged";
    EXPECT_FALSE(reg.Read("TooLong", s));
    EXPECT_EQ(s, CString("unchanged"));
    // A value stored without its terminator still reads as its characters.
    PutRaw("Bare", REG_SZ, "abc", 3);
    EXPECT_TRUE(reg.Read("Bare", s));
    EXPECT_EQ(s, CString("abc"));
}

TEST_F(RegistryTest, DoublesAreFtoaText)
{
    struct Case {
        double value;
        const char* text;
        double readBack;
    };
    const Case cases[] = {
        {1.5, "1.5", 1.5},          {2.0, "2", 2.0},         {-0.25, "-0.25", -0.25},
        {0.1, "0.1", 0.1},          {1.0 / 3.0, "0.33333333", 0.33333333},
        {1e-9, "0", 0.0},           {8.5, "8.5", 8.5},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(reg.Write("D", c.value));
        EXPECT_EQ(RawString("D"), c.text) << c.value;
        double d = -1;
        EXPECT_TRUE(reg.Read("D", d));
        EXPECT_EQ(d, c.readBack) << c.value;
    }
}

TEST_F(RegistryTest, CompoundValuesUseNamedParts)
{
    const tagPointF p = {1.25, -3.5};
    const tagSizeF z = {8.5, 11};
    const tagRectF r = {1, 2, 3, 4};
    ASSERT_TRUE(reg.Write("Pt", p));
    ASSERT_TRUE(reg.Write("Sz", z));
    ASSERT_TRUE(reg.Write("Rc", r));
    EXPECT_EQ(RawString("Pt.x"), "1.25");
    EXPECT_EQ(RawString("Pt.y"), "-3.5");
    EXPECT_EQ(RawString("Sz.cx"), "8.5");
    EXPECT_EQ(RawString("Sz.cy"), "11");
    EXPECT_EQ(RawString("Rc.left"), "1");
    EXPECT_EQ(RawString("Rc.top"), "2");
    EXPECT_EQ(RawString("Rc.right"), "3");
    EXPECT_EQ(RawString("Rc.bottom"), "4");

    tagPointF p2 = {};
    tagSizeF z2 = {};
    tagRectF r2 = {};
    EXPECT_TRUE(reg.Read("Pt", p2));
    EXPECT_TRUE(reg.Read("Sz", z2));
    EXPECT_TRUE(reg.Read("Rc", r2));
    EXPECT_EQ(p2.y, -3.5);
    EXPECT_EQ(z2.cx, 8.5);
    EXPECT_EQ(r2.bottom, 4);

    // A missing part ends the read; the parts read before it are kept.
    ASSERT_TRUE(reg.DeleteValue("Rc.right"));
    tagRectF partial = {-1, -1, -1, -1};
    EXPECT_FALSE(reg.Read("Rc", partial));
    EXPECT_EQ(partial.top, 2);
    EXPECT_EQ(partial.left, 1);
    EXPECT_EQ(partial.right, -1);
    EXPECT_EQ(partial.bottom, -1);
}

TEST_F(RegistryTest, BinaryValuesAndObjects)
{
    BYTE bytes[] = {1, 2, 3, 0, 255};
    ASSERT_TRUE(reg.Write("Bytes", bytes, sizeof bytes));
    ASSERT_TRUE(reg.Write("Nothing", bytes, 0));
    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(reg.Read("Bytes", &data, &size));
    ASSERT_EQ(size, 5u);
    EXPECT_EQ(data[4], 255);
    delete[] data;
    ASSERT_TRUE(reg.Read("Nothing", &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(reg.Read("Missing", &data, &size));
    EXPECT_EQ(data, nullptr);

    CBuffer<unsigned char> buffer;
    ASSERT_TRUE(reg.Read("Bytes", buffer));
    EXPECT_EQ(buffer.GetSize(), 5u);
    ASSERT_TRUE(reg.Write("Copy", buffer));

    const RECT rect = {-1, 2, 300, 4000};
    ASSERT_TRUE(reg.Write("Rect", rect));
    RECT back = {};
    ASSERT_TRUE(reg.Read("Rect", back));
    EXPECT_EQ(back.right, 300);
    EXPECT_EQ(back.bottom, 4000);
    EXPECT_EQ(reg.GetLastSize(), 16u);

    // A persistent object goes in as its record list.
    std::unique_ptr<CFixtureRecord> record(MakeFixtureRecord("in registry", 3, 0.5, 2));
    ASSERT_TRUE(reg.Write("Object", *record));
    CFixtureRecord loaded;
    ASSERT_TRUE(reg.Read("Object", loaded));
    EXPECT_TRUE(loaded == *record);
    // Bytes that are no record list give FALSE, not an exception.
    BYTE junk[] = {5, 0, 0, 0, 'a'};
    ASSERT_TRUE(reg.Write("Junk", junk, sizeof junk));
    EXPECT_FALSE(reg.Read("Junk", loaded));
}

TEST_F(RegistryTest, CollectionsKeepWhatWasRead)
{
    CStringArray strings;
    strings.Add("one");
    strings.Add("two");
    ASSERT_TRUE(reg.Write("Strings", strings));
    CStringArray target;
    for (int i = 0; i < 5; ++i)
        target.Add("old");
    ASSERT_TRUE(reg.Read("Strings", target));
    ASSERT_EQ(target.GetSize(), 2);  // not given back its previous five elements
    EXPECT_EQ(target[1], CString("two"));

    CByteArray smallBytes;
    smallBytes.Add(7);
    ASSERT_TRUE(reg.Write("ByteArray", smallBytes));
    CByteArray byteTarget;
    byteTarget.SetSize(9);
    ASSERT_TRUE(reg.Read("ByteArray", byteTarget));
    ASSERT_EQ(byteTarget.GetSize(), 1);
    EXPECT_EQ(byteTarget[0], 7);

    CStringList list;
    list.AddTail("a");
    list.AddTail("b");
    ASSERT_TRUE(reg.Write("List", list));
    CStringList listTarget;
    listTarget.AddTail("stale");
    ASSERT_TRUE(reg.Read("List", listTarget));
    ASSERT_EQ(listTarget.GetCount(), 2);
    EXPECT_EQ(listTarget.GetHead(), CString("a"));

    CDWordArray dwords;
    dwords.Add(0xDEADBEEF);
    ASSERT_TRUE(reg.Write("DWords", dwords));
    CDWordArray dwordTarget;
    ASSERT_TRUE(reg.Read("DWords", dwordTarget));
    ASSERT_EQ(dwordTarget.GetSize(), 1);
    EXPECT_EQ(dwordTarget[0], 0xDEADBEEFu);

    CWordArray words;
    words.Add(1);
    words.Add(0xFFFF);
    ASSERT_TRUE(reg.Write("Words", words));
    EXPECT_EQ(reg.GetLastSize(), 8u);  // 32-bit count, then 16 bits each
    CWordArray wordTarget;
    ASSERT_TRUE(reg.Read("Words", wordTarget));
    ASSERT_EQ(wordTarget.GetSize(), 2);
    EXPECT_EQ(wordTarget[1], 0xFFFF);

    CObList objects;
    objects.AddTail(MakeFixtureRecord("first", 1, 1, 0));
    objects.AddTail(MakeFixtureRecord("second", 2, 2, 1));
    ASSERT_TRUE(reg.Write("Objects", objects));
    for (POSITION pos = objects.GetHeadPosition(); pos;)
        delete objects.GetNext(pos);
    objects.RemoveAll();
    ASSERT_TRUE(reg.Read("Objects", objects));
    ASSERT_EQ(objects.GetCount(), 2);
    EXPECT_EQ(static_cast<CFixtureRecord*>(objects.GetTail())->m_name, CString("second"));
    for (POSITION pos = objects.GetHeadPosition(); pos;)
        delete objects.GetNext(pos);
    objects.RemoveAll();

    // An object stored twice comes back as one object listed twice, and is deleted once.
    CFixtureRecord* shared = MakeFixtureRecord("shared", 5, 5, 0);
    objects.AddTail(shared);
    objects.AddTail(shared);
    ASSERT_TRUE(reg.Write("Repeated", objects));
    delete shared;
    objects.RemoveAll();
    ASSERT_TRUE(reg.Read("Repeated", objects));
    ASSERT_EQ(objects.GetCount(), 2);
    EXPECT_EQ(objects.GetHead(), objects.GetTail());
    ASSERT_TRUE(reg.Read("Objects", objects));
    EXPECT_EQ(objects.GetCount(), 2);
    EXPECT_NE(objects.GetHead(), objects.GetTail());
    for (POSITION pos = objects.GetHeadPosition(); pos;)
        delete objects.GetNext(pos);
    objects.RemoveAll();

    // Damaged values: FALSE and an empty collection; too large values are not read.
    BYTE damaged[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 'x'};
    ASSERT_TRUE(reg.Write("Damaged", damaged, sizeof damaged));
    listTarget.AddTail("stale");
    EXPECT_FALSE(reg.Read("Damaged", listTarget));
    EXPECT_EQ(listTarget.GetCount(), 0);
    EXPECT_FALSE(reg.Read("Damaged", wordTarget));
    EXPECT_EQ(wordTarget.GetSize(), 0);
    std::vector<BYTE> big(5000, 0);
    ASSERT_TRUE(reg.Write("Big", big.data(), static_cast<UINT>(big.size())));
    EXPECT_FALSE(reg.Read("Big", dwordTarget));
    // Only binary values are taken as collections.
    ASSERT_TRUE(reg.Write("NotBinary", 5));
    dwordTarget.Add(1);
    EXPECT_TRUE(reg.Read("NotBinary", dwordTarget));
    EXPECT_EQ(dwordTarget.GetSize(), 0);
}

// Damaged collection values give FALSE or a clean read, never an exception or a crash.
TEST_F(RegistryTest, MutatedCollectionValues)
{
    CObList objects;
    objects.AddTail(MakeFixtureRecord("one", 1, 1, 2));
    objects.AddTail(MakeFixtureRecord("two", 2, 2, 0));
    CStringList strings;
    strings.AddTail("first");
    strings.AddTail(CString('x', 300));
    ASSERT_TRUE(reg.Write("Objects", objects));
    ASSERT_TRUE(reg.Write("Strings", strings));
    for (POSITION pos = objects.GetHeadPosition(); pos;)
        delete objects.GetNext(pos);
    objects.RemoveAll();

    BYTE* objectBytes = nullptr;
    BYTE* stringBytes = nullptr;
    UINT objectSize = 0, stringSize = 0;
    ASSERT_TRUE(reg.Read("Objects", &objectBytes, &objectSize));
    ASSERT_TRUE(reg.Read("Strings", &stringBytes, &stringSize));
    std::unique_ptr<BYTE[]> ownObjects(objectBytes), ownStrings(stringBytes);

    std::mt19937 random(1210);
    int refused = 0;
    for (int round = 0; round < 1000; ++round) {
        const bool objectRound = round % 2 == 0;
        std::vector<BYTE> bytes(objectRound ? objectBytes : stringBytes,
                                (objectRound ? objectBytes + objectSize : stringBytes + stringSize));
        if (round % 3 == 0)
            bytes.resize(random() % bytes.size());
        else
            for (int flips = 1 + random() % 3; flips > 0; --flips)
                bytes[random() % bytes.size()] ^= static_cast<BYTE>(1u << (random() % 8));
        ASSERT_TRUE(reg.Write("Mutated", bytes.data(), static_cast<UINT>(bytes.size())));
        BOOL ok;
        if (objectRound) {
            ok = reg.Read("Mutated", objects);
            std::set<CObject*> distinct;
            for (POSITION pos = objects.GetHeadPosition(); pos;)
                distinct.insert(objects.GetNext(pos));
            objects.RemoveAll();
            for (CObject* object : distinct)
                delete object;
        } else {
            ok = reg.Read("Mutated", strings);
        }
        if (!ok)
            ++refused;
    }
    EXPECT_GT(refused, 100);
}

TEST_F(RegistryTest, PointValueReadsBackWhatWasWritten)
{
    POINT original = {-12, 345};
    POINT* in = &original;
    ASSERT_TRUE(reg.Write("Point", in));
    POINT result = {0, 0};
    POINT* out = &result;
    ASSERT_TRUE(reg.Read("Point", out));
    EXPECT_EQ(result.x, -12);
    EXPECT_EQ(result.y, 345);
}

TEST_F(RegistryTest, KeyStackNestsAndDeletesTrees)
{
    const HKEY testKey = reg.GetCurrentKey();
    ASSERT_TRUE(reg.CreateKey("A"));
    ASSERT_TRUE(reg.CreateKey("B\\C"));
    ASSERT_TRUE(reg.Write("Deep", 1));
    ASSERT_TRUE(reg.Close());
    ASSERT_TRUE(reg.CreateKey("D"));
    ASSERT_TRUE(reg.Close());
    EXPECT_EQ(reg.GetSubKeysCount(), 2u);
    EXPECT_EQ(reg.EnumKey(0), CString("B"));
    EXPECT_EQ(reg.EnumKey(1), CString("D"));
    EXPECT_TRUE(reg.EnumKey(7).IsEmpty());
    ASSERT_TRUE(reg.Close());
    EXPECT_EQ(reg.GetCurrentKey(), testKey);

    EXPECT_TRUE(reg.VerifyKey("A\\B\\C"));
    EXPECT_TRUE(reg.Open("A\\B\\C"));
    EXPECT_EQ(reg.GetLastOpenedName(), CString("A\\B\\C"));
    EXPECT_TRUE(reg.VerifyValue("Deep"));
    EXPECT_FALSE(reg.VerifyValue("Shallow"));
    reg.Close();
    EXPECT_TRUE(reg.DeleteKey("A"));
    EXPECT_FALSE(reg.VerifyKey("A"));
    EXPECT_FALSE(reg.Open("A"));

    // Close without a matching Open leaves the hive's root alone.
    CRegistry fresh;
    EXPECT_FALSE(fresh.Close());
    EXPECT_EQ(fresh.GetCurrentKey(), HKEY_CURRENT_USER);
}

TEST_F(RegistryTest, ReadOnlyMachineHive)
{
    {
        CRegistry machine(TRUE, FALSE);
        ASSERT_TRUE(machine.CreateKey("Software\\TarnTests"));
        ASSERT_TRUE(machine.Write("Machine", 77));
        machine.Close();
    }
    CRegistry readOnly(TRUE, TRUE);
    ASSERT_TRUE(readOnly.Open("Software\\TarnTests"));
    int value = 0;
    EXPECT_TRUE(readOnly.Read("Machine", value));
    EXPECT_EQ(value, 77);
    EXPECT_FALSE(readOnly.Write("Machine", 1));
    EXPECT_FALSE(readOnly.Write("Text", "x"));
    EXPECT_FALSE(readOnly.Write("D", 1.0));
    EXPECT_FALSE(readOnly.CreateKey("Child"));
    EXPECT_FALSE(readOnly.DeleteValue("Machine"));
    EXPECT_FALSE(readOnly.DeleteKey("Child"));
    readOnly.Read("Machine", value);
    EXPECT_EQ(value, 77);
    readOnly.Close();
}

TEST_F(RegistryTest, SubkeyCollections)
{
    CPersistent owner;
    CPersistentArray sites;
    for (int i = 0; i < 3; ++i) {
        auto* s = new CFixtureSetting;
        s->m_value = 100 + i;
        s->m_ratio = i * 0.5;
        sites.Add(s);
    }
    // Leftovers of a longer earlier collection disappear with a container.
    ASSERT_TRUE(reg.CreateKey("Sites\\Site0005"));
    reg.Close();
    ASSERT_TRUE(owner.StoreSubkeys(&reg, sites, "Site", true));
    ASSERT_TRUE(reg.Open("Sites"));
    ASSERT_EQ(reg.GetSubKeysCount(), 3u);
    EXPECT_EQ(reg.EnumKey(0), CString("Site0000"));
    EXPECT_EQ(reg.EnumKey(2), CString("Site0002"));
    // A name that only begins with the element name is taken too; one whose Load fails is dropped.
    ASSERT_TRUE(reg.CreateKey("SiteExtra"));
    ASSERT_TRUE(reg.Write("Value", 999));
    reg.Close();
    ASSERT_TRUE(reg.CreateKey("siteBroken"));
    reg.Close();
    ASSERT_TRUE(reg.CreateKey("Other"));
    reg.Close();
    reg.Close();

    CPersistentArray loaded;
    auto creator = static_cast<PersistentCreator>(&CFixtureSetting::CreateSetting);
    ASSERT_TRUE(owner.LoadSubkeys(&reg, loaded, "Site", creator, true));
    ASSERT_EQ(loaded.GetSize(), 4);
    EXPECT_EQ(static_cast<CFixtureSetting*>(loaded[0])->m_value, 100);
    EXPECT_EQ(static_cast<CFixtureSetting*>(loaded[2])->m_ratio, 1.0);
    EXPECT_EQ(static_cast<CFixtureSetting*>(loaded[3])->m_value, 999);

    EXPECT_FALSE(owner.LoadSubkeys(&reg, loaded, "Page", creator, true));
    // Without a container the elements sit under the current key and extra keys stay.
    ASSERT_TRUE(reg.CreateKey("Site000a"));
    reg.Close();
    ASSERT_TRUE(owner.StoreSubkeys(&reg, sites, "Site", false));
    EXPECT_TRUE(reg.VerifyKey("Site0001"));
    EXPECT_TRUE(reg.VerifyKey("Site000a"));
}

}  // namespace
