// Test programs that work with cards of test controls: COM is started and the test controls'
// classes are known for the whole run.
#include <gtest/gtest.h>

#include "CardControls.h"

namespace {

class CardControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        classes = new TestControlClasses;
    }
    void TearDown() override
    {
        delete classes;
        CoUninitialize();
    }
    TestControlClasses* classes = nullptr;
};
::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CardControlsEnvironment);

} // namespace
