#include "platform/PortList.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

namespace {

TEST(SerialPortOpen, PseudoTerminalsAreToldFromLines)
{
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    EXPECT_TRUE(platform::IsPseudoTerminal(QString::fromLatin1(name)));
    EXPECT_FALSE(platform::IsPseudoTerminal("/dev/null"));
    EXPECT_FALSE(platform::IsPseudoTerminal("/dev/no-such-port"));
    EXPECT_FALSE(platform::IsPseudoTerminal(""));
    close(slave);
    close(master);
}

TEST(SerialPortOpen, AFailedOpenSaysWhy)
{
    testing_doubles::PlatformDoubles doubles;
    platform::SettingsStore::Instance().SetValue("Ports/COM9", doubles.dir.filePath("missing-device"));
    auto port = platform::SerialPort::Create();
    EXPECT_FALSE(port->Open(9, "9600,o,8,1"));
    EXPECT_TRUE(port->OpenError().contains("could not be opened")) << port->OpenError().toStdString();
    EXPECT_FALSE(port->Open(9, "9600,q,8,1"));
    EXPECT_TRUE(port->OpenError().startsWith("Invalid port settings")) << port->OpenError().toStdString();
}

TEST(SerialPortOpen, APseudoTerminalOpensWithOddParity)
{
    testing_doubles::PlatformDoubles doubles;
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    platform::SettingsStore::Instance().SetValue("Ports/COM7", QString::fromLatin1(name));
    auto port = platform::SerialPort::Create();
    EXPECT_TRUE(port->Open(7, "9600,o,8,1")) << port->OpenError().toStdString();
    EXPECT_EQ(port->OpenError(), "");
    port->Close();
    close(slave);
    close(master);
}

TEST(SerialPortOpen, APortSetToALinkIsListedAsTheDeviceItPointsAt)
{
    testing_doubles::PlatformDoubles doubles;
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const QString link = doubles.dir.filePath("ecx-line");
    ASSERT_EQ(symlink(name, link.toLocal8Bit().constData()), 0);
    platform::SettingsStore::Instance().SetValue("Ports/COM30", link);
    platform::SettingsStore::Instance().SetValue("Ports/COM31", QString::fromLatin1(name));
    platform::SettingsStore::Instance().SetValue("Ports/COM32", doubles.dir.filePath("no-line"));
    platform::PortList* stand = &platform::PortList::Instance();
    platform::PortList::SetInstance(nullptr); // the real list
    const QList<int> present = platform::PortList::Instance().PresentPorts();
    platform::PortList::SetInstance(stand);
    EXPECT_TRUE(present.contains(30));
    EXPECT_TRUE(present.contains(31));
    EXPECT_FALSE(present.contains(32));
    close(slave);
    close(master);
}

} // namespace
