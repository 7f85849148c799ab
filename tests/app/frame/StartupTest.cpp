#include "app/frame/Startup.h"
#include "extra/extra.h"
#include "platform/LibraryLoader.h"
#include "tests/common/Doubles.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class CountingLoader : public platform::LibraryLoader {
public:
    bool available = false;
    int loads = 0;
    int frees = 0;
    quintptr Load(const QString& fileName) override
    {
        ++loads;
        lastName = fileName;
        return available ? 7 : 0;
    }
    void Free(quintptr) override { ++frees; }
    std::optional<QString> String(quintptr, quint16) override { return std::nullopt; }
    QString lastName;
};

class Startup : public ::testing::Test {
protected:
    void SetUp() override { platform::LibraryLoader::SetInstance(&loader); }
    void TearDown() override
    {
        extra::FreeLanguageLibrary();
        platform::LibraryLoader::SetInstance(nullptr);
    }
    testing_doubles::PlatformDoubles doubles;
    CountingLoader loader;
};

} // namespace

TEST_F(Startup, MissingLanguageLibraryShowsTheFixedMessageAndEnds)
{
    const int code = RunQuarno(*qobject_cast<QApplication*>(QCoreApplication::instance()), {});
    EXPECT_NE(code, 0);
    EXPECT_EQ(loader.lastName, "XELLAN.DLL");
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    const auto& shown = doubles.presenter.shown[0];
    EXPECT_EQ(shown.text,
              "Language component XELLAN.DLL could not be loaded. Quarno Q2 need this DLL to run. "
              "Please make sure this DLL is located in the Windows system directory or in the path!"
              "\r\n\r\nQuarno Q2 will now exit.");
    EXPECT_EQ(shown.style & 0xF0, platform::MsgStyle::Critical);
    EXPECT_EQ(shown.style & 0x0F, platform::MsgStyle::OKOnly);
    EXPECT_EQ(shown.caption, "Quarno Q2");
    EXPECT_FALSE(extra::LanguageLibraryLoaded());
}

TEST_F(Startup, NormalStartLoadsAndFreesTheLibrary)
{
    loader.available = true;
    // The window runs until it is closed; close it as soon as the loop turns.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("frmMain") && w->isVisible())
                w->close();
        }
    });
    closer.start(5);
    const int code = RunQuarno(*qobject_cast<QApplication*>(QCoreApplication::instance()), {});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(loader.loads, 1);
    EXPECT_EQ(loader.frees, 1);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    EXPECT_FALSE(extra::LanguageLibraryLoaded());
}
