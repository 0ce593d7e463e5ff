// Drawing requests come from the application's factory when an application object exists, so a
// derived application can carry its own request class through every draw.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <typeinfo>

#include "DrawOptions.h"
#include "TarnApp.h"

namespace {

class CMarkedDrawOptions : public CDrawOptions {
public:
    CMarkedDrawOptions() { bShadow = 7; }
};

enum class Factory { Inherited, OwnClass, MakesNone };

class CFactoryApp : public CTarnApp {
public:
    explicit CFactoryApp(Factory factory) : factory_(factory) {}
    CDrawOptions* CreateDrawOptions() override {
        ++calls;
        switch (factory_) {
        case Factory::OwnClass: return new CMarkedDrawOptions;
        case Factory::MakesNone: return nullptr;
        default: return CTarnApp::CreateDrawOptions();
        }
    }
    int calls = 0;

private:
    Factory factory_;
};

bool EveryFieldZero(const CDrawOptions& options) {
    const tagDrawOptions& record = options;
    const tagDrawOptions zero{};
    return std::memcmp(&record, &zero, sizeof zero) == 0 && options.bMargins == 0 && options.bMarginLine == 0 &&
           options.bShadow == 0;
}

TEST(DrawOptionsFactory, WithoutAnApplicationTheRequestIsMadeDirectly) {
    ASSERT_EQ(GetTarnApp(), nullptr);
    std::unique_ptr<CDrawOptions> options(CDrawOptions::Create());
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(typeid(*options), typeid(CDrawOptions));
    EXPECT_TRUE(EveryFieldZero(*options));
}

struct FactoryCase {
    const char* name;
    Factory factory;
    bool ownClass;
};

TEST(DrawOptionsFactory, WithAnApplicationItsFactoryMakesTheRequest) {
    const FactoryCase cases[] = {
        {"inherited factory", Factory::Inherited, false},
        {"application's own class", Factory::OwnClass, true},
        {"factory that makes none", Factory::MakesNone, false},
    };
    for (const FactoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFactoryApp app(c.factory);
        ASSERT_EQ(GetTarnApp(), &app);
        std::unique_ptr<CDrawOptions> options(CDrawOptions::Create());
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(app.calls, 1);
        if (c.ownClass) {
            EXPECT_EQ(typeid(*options), typeid(CMarkedDrawOptions));
            EXPECT_EQ(options->bShadow, 7);
        } else {
            EXPECT_EQ(typeid(*options), typeid(CDrawOptions));
            EXPECT_TRUE(EveryFieldZero(*options));
        }
    }
    EXPECT_EQ(GetTarnApp(), nullptr) << "the application object is gone with its scope";
}

}  // namespace
