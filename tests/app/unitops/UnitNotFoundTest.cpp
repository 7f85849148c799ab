// When no unit answers, message 140 keeps its text and the status bar says which port and
// device were tried and why they failed.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "app/unitops/UnitNotFound.h"
#include "platform/SettingsStore.h"

#include <QFile>

namespace unitops_test {
namespace {

using namespace unitops;

TEST_F(UnitOpsTest, UnitNotFoundNamesThePortTheDeviceAndTheReason)
{
    const QString missing = doubles.dir.filePath("missing-device");
    const QString plainFile = doubles.dir.filePath("not-a-line");
    {
        QFile f(plainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    struct Row {
        const char* what;
        int port;
        QString device;  // mapped in the settings; "" keeps the usual name
        bool realPort;   // else the simulated unit, silent
        QString status;  // the whole text, or its start when `prefixOnly`
        bool prefixOnly;
    } rows[] = {
        {"missing device", 7, missing, true,
         "COM7 (" + missing + ") could not be opened: the device does not exist", false},
        // A later link that opens its port does not repeat the earlier failure.
        {"silent unit", 7, "", false, "COM7 (/dev/ttyUSB2) was opened, but no Control Unit answered", false},
        {"not a serial line", 3, plainFile, true, "COM3 (" + plainFile + ") could not be opened: ", true},
        {"no port set", 0, "", false, "No COM port is set for the Control Unit", false},
    };
    unit.SetFault(Unit::Fault::Silence, -1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        modRegistry::SaveCommPort(qint16(row.port));
        platform::SettingsStore::Instance().SetValue(QStringLiteral("Ports/COM%1").arg(row.port), row.device);
        if (row.realPort)
            platform::SerialPort::SetFactory({});
        else
            wire = Bind(unit);
        doubles.presenter.shown.clear();
        EXPECT_FALSE(DetectUnit());
        ShowUnitNotFound();
        ASSERT_EQ(ShownCount(), 1);
        EXPECT_EQ(doubles.presenter.shown[0].text, extra::FormatLangString(140, {}));
        const QString status = doubles.status.text;
        if (row.prefixOnly) {
            EXPECT_TRUE(status.startsWith(row.status)) << status.toStdString();
            EXPECT_GT(status.size(), row.status.size()) << "the system's reason is missing";
        } else {
            EXPECT_EQ(status, row.status);
        }
    }
}

} // namespace
} // namespace unitops_test
