// Every test program of the controls runs inside one single-threaded apartment.
#include <gtest/gtest.h>
#include <objbase.h>

namespace {
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

::testing::Environment* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
}  // namespace
