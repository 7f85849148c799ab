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

// Qt takes its own options out of what it is handed: it is handed none that belong to a file
// name, and the program reads the arguments as given.
TEST(CommandLine, QtIsHandedOnlyTheArgumentsNoValueTakes)
{
    struct Row {
        QList<QByteArray> argv; // program name first
        QStringList qt;
    };
    const Row rows[] = {
        {{"quarno", "-q", "-t", "/p/Ship", "-reverse", "A.QRN"}, {"-q", "-t"}},
        {{"quarno", "-f", "/p/Ship", "-style", "B.QRN", "-debug"}, {"-f", "-debug"}},
        {{"quarno", "-reverse", "-style", "fusion", "-p", "a b.QRN", "-platform", "x"}, {"-reverse", "-style", "fusion", "-p"}},
        {{"quarno", "-q", "-reverse"}, {"-q", "-reverse"}},
        {{"quarno"}, {}},
    };
    for (const Row& row : rows) {
        QList<QByteArray> bytes = row.argv;
        std::vector<char*> argv;
        for (QByteArray& b : bytes)
            argv.push_back(b.data());
        CommandLine line(int(argv.size()), argv.data());
        QStringList given;
        for (qsizetype i = 1; i < bytes.size(); ++i)
            given << QString::fromLocal8Bit(bytes[i]);
        const std::string name = given.join(' ').toStdString();
        EXPECT_EQ(line.Arguments(), given) << name;
        EXPECT_EQ(line.QtArguments(), row.qt) << name;
        ASSERT_EQ(line.QtArgc(), row.qt.size() + 1) << name;
        EXPECT_STREQ(line.QtArgv()[0], "quarno");
        for (int i = 1; i < line.QtArgc(); ++i)
            EXPECT_EQ(QString::fromLocal8Bit(line.QtArgv()[i]), row.qt[i - 1]) << name;
        EXPECT_EQ(line.QtArgv()[line.QtArgc()], nullptr) << name;
    }
}
