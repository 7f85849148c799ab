// The real library loader shares one open string table between every handle to it.
#include "platform/LibraryLoader.h"

#include <gtest/gtest.h>

TEST(LibraryLoader, HandlesToOneLibraryShareItUntilTheLastIsFreed)
{
    platform::LibraryLoader& loader = platform::LibraryLoader::Instance();
    const quintptr first = loader.Load("XELLAN.DLL");
    if (first == 0)
        GTEST_SKIP() << "libXelLan.so not next to the test";
    const quintptr second = loader.Load("XELLAN.DLL");
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    const std::optional<QString> english = loader.String(first, 10000);
    ASSERT_TRUE(english.has_value());
    EXPECT_EQ(loader.String(second, 10000), english);
    EXPECT_FALSE(loader.String(first, 65535).has_value());

    loader.Free(first);
    EXPECT_FALSE(loader.String(first, 10000).has_value());
    EXPECT_EQ(loader.String(second, 10000), english); // still open for the other holder
    loader.Free(second);
    loader.Free(second); // twice: ignored
    EXPECT_FALSE(loader.String(second, 10000).has_value());

    const quintptr again = loader.Load("XELLAN.DLL");
    EXPECT_EQ(loader.String(again, 10000), english);
    loader.Free(again);
}
