#include <gtest/gtest.h>

#include <vector>

#include "ClException.h"
#include "ClOleStreamFile.h"
#include "SiteData.h"

namespace {

// Archives over a memory stream, as documents keep their records on the stream under the archive.
std::vector<BYTE> Store(CObject* object)
{
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    {
        COleStreamFile file;
        stream->AddRef();
        file.Attach(stream);
        CArchive ar(&file, CArchive::store);
        WriteObjectWithClass(ar, object);
        ar.Close();
        file.Abort();
    }
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    if (!bytes.empty())
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
    stream->Release();
    return bytes;
}

CObject* Load(const std::vector<BYTE>& bytes)
{
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    COleStreamFile file;
    file.Attach(stream);
    struct Releaser {
        COleStreamFile& file;
        ~Releaser() { file.Abort(); }
    } releaser{file};
    CArchive ar(&file, CArchive::load);
    CObject* object = nullptr;
    ReadObjectWithClass(ar, object);
    ar.Close();
    return object;
}

TEST(SiteDataTest, PartsFollowOneAnotherAndReadBack)
{
    CSiteData data;
    data.m_Properties.m_siteName = "Front";
    data.m_Properties.m_styleId = 3;
    data.m_Properties.m_siteId = 9;
    const std::vector<BYTE> bytes = Store(&data);
    // The two markers end the stream as two empty record lists.
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::vector<BYTE>(bytes.end() - 8, bytes.end()), std::vector<BYTE>(8, 0));

    CObject* object = Load(bytes);
    auto* loaded = dynamic_cast<CSiteData*>(object);
    ASSERT_NE(loaded, nullptr);
    EXPECT_STREQ(loaded->m_Properties.m_siteName, "Front");
    EXPECT_EQ(loaded->m_Properties.m_styleId, 3);
    EXPECT_EQ(loaded->m_Properties.m_siteId, 9);

    CSiteData copy;
    copy.Duplicate(loaded);
    EXPECT_STREQ(copy.m_Properties.m_siteName, "Front");
    delete object;
}

TEST(SiteDataTest, AStreamCutShortIsAnArchiveError)
{
    CSiteData data;
    data.m_Properties.m_siteName = "Back";
    std::vector<BYTE> bytes = Store(&data);
    bytes.resize(bytes.size() - 6);
    bool refused = false;
    try {
        delete Load(bytes);
    } catch (CException* e) {
        refused = true;
        e->Delete();
    }
    EXPECT_TRUE(refused);
}

}  // namespace
