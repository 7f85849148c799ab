// The trace window and the trace texts of the link.
#include "seriallink/Comm.h"
#include "seriallink/frmDebug.h"
#include "tests/common/Doubles.h"
#include "tests/seriallink/ScriptedPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

using seriallink_test::Framed;

class Trace : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    seriallink_test::ScriptedLine scripted;
    Comm comm;

    void SetUp() override
    {
        scripted.line.respond = [](const QByteArray& r) {
            return QList<QByteArray>{Framed("F0" + r.mid(3, 2) + char(6))};
        };
        comm.SetSettings("9600,o,8,1");
        comm.SetIdentity(240);
        comm.SetRetries(3);
        comm.SetTimeOut(3);
        Comm::SetShowDebug(true);
    }
    void TearDown() override
    {
        Comm::SetShowDebug(false);
        delete frmDebug::Loaded(); // unloaded, as at the program's end: no window for the next test
    }
    QStringList Lines() const
    {
        return frmDebug::Loaded()->txtDebug->toPlainText().split('\n');
    }
};

TEST_F(Trace, WindowShowsSessionStartFirst)
{
    frmDebug* w = frmDebug::Loaded();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "XelComm Debug Window");
    EXPECT_EQ(w->chkAppend->text(), "&Append debug output");
    const QString text = w->txtDebug->toPlainText();
    EXPECT_TRUE(text.startsWith("Debug session started ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("."));
    EXPECT_TRUE(Comm::ShowDebug());
}

TEST_F(Trace, StartCommAndRequestLines)
{
    frmDebug::Loaded()->chkAppend->setChecked(false);
    comm.StartComm();
    ASSERT_TRUE(comm.SetRegister(5, 0x1234));
    const QStringList lines = Lines();
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "****");
    EXPECT_TRUE(lines[1].startsWith("Comm started "));
    EXPECT_EQ(lines[2], "Settings:9600,o,8,1; Commport:1; Identity:240; Timeout3; Retries:3");
    EXPECT_EQ(lines[3], "Setting register at address 5(4050H) to value 4660");
    EXPECT_TRUE(lines[4].startsWith("Package out: '02 46 30 ")) << lines[4].toStdString();
    EXPECT_TRUE(lines[4].endsWith(" 48 2C 03 " + lines[4].right(3)));
    EXPECT_TRUE(lines[5].startsWith("Package in : '02 46 30 ")) << lines[5].toStdString();
}

TEST_F(Trace, AppendBoxKeepsEarlierConnections)
{
    frmDebug* w = frmDebug::Loaded();
    w->chkAppend->setChecked(true);
    comm.StartComm();
    comm.StartComm();
    EXPECT_EQ(Lines().count("****"), 2);
    w->chkAppend->setChecked(false);
    comm.StartComm();
    EXPECT_EQ(Lines().count("****"), 1);
    EXPECT_EQ(Lines().first(), "****");
}

TEST_F(Trace, PlanLines)
{
    comm.StartComm();
    ASSERT_TRUE(comm.SetRegistersEx(0, QVector<qint32>(32, 1)));
    EXPECT_TRUE(Lines().contains("This is done by setting 32 registers 1 time."));
    ASSERT_TRUE(comm.SetRegistersEx(0, QVector<qint32>(70, 1)));
    EXPECT_TRUE(Lines().contains("SetRegistersEx..."));
    EXPECT_TRUE(Lines().contains("Setting 70 register(s) starting at address 0(4000H)"));
    EXPECT_TRUE(Lines().contains("This is done by setting 32 registers 2 time(s) and then 6 in the final package."));
    ASSERT_TRUE(comm.SetRegistersEx(0, QVector<qint32>(64, 1)));
    EXPECT_TRUE(Lines().contains("This is done by setting 32 registers 2 time(s)."));

    ASSERT_TRUE(comm.SetBitsEx(3, QVector<bool>(1000, true)));
    EXPECT_TRUE(Lines().contains("SetBitsEx..."));
    EXPECT_TRUE(Lines().contains("Setting 1000 bit(s) starting at address 3(0003H)"));
    EXPECT_TRUE(Lines().contains("This is done by setting 5 individual bits first, then setting 512 bits 1 time(s), "
                                 "and then 483 in the final package."));
    EXPECT_TRUE(Lines().contains("Setting 512 bits starting at address 8(0008H)"));
    ASSERT_TRUE(comm.SetBitsEx(0, QVector<bool>(1024, true)));
    EXPECT_TRUE(Lines().contains("This is done by setting 512 bits 2 time(s)."));
}

TEST_F(Trace, ReSendsAreTraced)
{
    comm.SetRetries(1);
    comm.SetTimeOut(1);
    scripted.line.respond = {};
    bool bit = false;
    EXPECT_FALSE(comm.GetBit(8, bit));
    EXPECT_TRUE(Lines().contains("Getting bit at address 8(0008H)"));
    EXPECT_EQ(Lines().count("Re-sending..."), 1);
}

TEST_F(Trace, ClosingTheWindowStopsTracing)
{
    frmDebug::Loaded()->close();
    EXPECT_FALSE(Comm::ShowDebug());
    frmDebug::Loaded()->Clear();
    comm.StartComm();
    ASSERT_TRUE(comm.SetRegister(0, 1));
    EXPECT_TRUE(frmDebug::Loaded()->txtDebug->toPlainText().isEmpty());

    Comm::SetShowDebug(false);
    EXPECT_FALSE(frmDebug::Loaded()->isVisible());
}

TEST_F(Trace, ReloadedWindowStartsEmptyAtTheBottomLeft)
{
    frmDebug* w = frmDebug::Loaded();
    const QPoint home = w->pos();
    EXPECT_EQ(home.x(), 0);
    w->move(300, 40);
    Comm::SetShowDebug(false);
    Comm::SetShowDebug(true);
    EXPECT_EQ(w->pos(), home);
    EXPECT_EQ(Lines().size(), 1);
}

TEST_F(Trace, EscapeClosesTheWindowAndStopsTracing)
{
    frmDebug* w = frmDebug::Loaded();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(Comm::ShowDebug());
    w->Clear();
    ASSERT_TRUE(comm.SetRegister(0, 1));
    EXPECT_TRUE(w->txtDebug->toPlainText().isEmpty());
}

} // namespace
