// Holds on the language library: the first loads it, the last release frees it, and the
// program's own load outlives them.
#include "extra/extra.h"
#include "platform/LibraryLoader.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

using namespace extra;

namespace {

class CountingLoader : public platform::LibraryLoader {
public:
    int loads = 0;
    int frees = 0;
    bool available = true;
    quintptr Load(const QString&) override
    {
        if (!available)
            return 0;
        ++loads;
        return 7;
    }
    void Free(quintptr) override { ++frees; }
    std::optional<QString> String(quintptr handle, quint16 id) override
    {
        if (handle != 7 || id != 220)
            return std::nullopt;
        return QStringLiteral("Ready");
    }
};

class LanguageHold : public ::testing::Test {
protected:
    void SetUp() override { platform::LibraryLoader::SetInstance(&loader); }
    void TearDown() override
    {
        while (LanguageLibraryLoaded() && loader.frees < loader.loads) {
            ReleaseLanguageLibrary();
            FreeLanguageLibrary();
        }
        platform::LibraryLoader::SetInstance(nullptr);
    }
    testing_doubles::PlatformDoubles doubles;
    CountingLoader loader;
};

} // namespace

TEST_F(LanguageHold, HoldsShareOneLoadAndTheLastReleaseFreesIt)
{
    ASSERT_TRUE(AcquireLanguageLibrary());
    ASSERT_TRUE(AcquireLanguageLibrary());
    EXPECT_EQ(loader.loads, 1);
    EXPECT_EQ(GetLangString(220), "Ready");
    ReleaseLanguageLibrary();
    EXPECT_TRUE(LanguageLibraryLoaded());
    EXPECT_EQ(loader.frees, 0);
    ReleaseLanguageLibrary();
    EXPECT_FALSE(LanguageLibraryLoaded());
    EXPECT_EQ(loader.frees, 1);
    ReleaseLanguageLibrary(); // no hold left: nothing happens
    EXPECT_EQ(loader.frees, 1);
}

TEST_F(LanguageHold, TheProgramsLoadAndTheHoldsKeepEachOtherAlive)
{
    ASSERT_TRUE(LoadLanguageLibrary());
    ASSERT_TRUE(AcquireLanguageLibrary());
    EXPECT_EQ(loader.loads, 1);
    ReleaseLanguageLibrary();
    EXPECT_TRUE(LanguageLibraryLoaded()); // the program still has it

    ASSERT_TRUE(AcquireLanguageLibrary());
    FreeLanguageLibrary();
    EXPECT_TRUE(LanguageLibraryLoaded()); // the hold still has it
    EXPECT_EQ(GetLangString(220), "Ready");
    ReleaseLanguageLibrary();
    EXPECT_FALSE(LanguageLibraryLoaded());
    EXPECT_EQ(loader.loads, 1);
    EXPECT_EQ(loader.frees, 1);
}

TEST_F(LanguageHold, AMissingLibraryTakesNoHold)
{
    loader.available = false;
    EXPECT_FALSE(AcquireLanguageLibrary());
    loader.available = true;
    ASSERT_TRUE(AcquireLanguageLibrary());
    ReleaseLanguageLibrary();
    EXPECT_FALSE(LanguageLibraryLoaded());
}

TEST_F(LanguageHold, AHandleOfAReplacedLoaderIsForgottenNotUsed)
{
    ASSERT_TRUE(AcquireLanguageLibrary());
    CountingLoader other;
    platform::LibraryLoader::SetInstance(&other);
    EXPECT_FALSE(LanguageLibraryLoaded());
    EXPECT_EQ(GetLangString(220), "");
    ASSERT_TRUE(AcquireLanguageLibrary()); // loads from the new loader
    EXPECT_EQ(other.loads, 1);
    ReleaseLanguageLibrary();
    ReleaseLanguageLibrary();
    EXPECT_EQ(other.frees, 1);
    EXPECT_EQ(loader.frees, 0); // never handed a foreign handle
    platform::LibraryLoader::SetInstance(&loader);
}
