#pragma once
// The main window started in-process: settings in a temporary store, the presenter, file
// dialogs, mail program, screen and ports scripted, and the unit operations replaced by
// recording fakes.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/frame/frmMain.h"
#include "extra/extra.h"
#include "datamodel/XelObject.h"
#include "platform/FileDialogs.h"
#include "platform/Mailer.h"
#include "platform/PortList.h"
#include "platform/ScreenInfo.h"
#include "platform/SettingsStore.h"
#include "tests/common/Doubles.h"
#include "tests/common/ServiceDoubles.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace frametest {

using QueuedDialogs = testing_doubles::QueuedFileDialogs;

class FakeMailer : public platform::Mailer {
public:
    bool available = true;
    bool starts = true;
    QList<platform::MailMessage> sent;
    bool Available() override { return available; }
    bool Compose(const platform::MailMessage& m) override
    {
        sent << m;
        return starts;
    }
};

// The work area and the window manager's decorations, as a test sets them.
class FixedScreen : public platform::ScreenInfo {
public:
    QRect area{0, 0, 1280, 1024};
    std::optional<QMargins> margins; // title bar and borders; unset: the window system's
    QRect WorkArea() override { return area; }
    // How the window manager takes a frame-inclusive move: it puts the frame at the point, or
    // (an older reading) the client, pushing the title bar above it.
    bool placesClient = false;
    QMargins FrameMargins(const QWidget& w) override { return margins ? *margins : ScreenInfo::FrameMargins(w); }
    void MoveFrame(QWidget& w, const QPoint& at) override
    {
        if (!margins)
            return ScreenInfo::MoveFrame(w, at);
        const QPoint client = placesClient ? at : at + QPoint(margins->left(), margins->top());
        w.setGeometry(QRect(client, w.size()));
    }
};

class ListedPorts : public platform::PortList {
public:
    QList<int> present;
    int opened = 0;
    bool PortExists(int) override
    {
        ++opened; // opening a port: must not happen for the lists
        return false;
    }
    int listed = 0;
    QList<int> PresentPorts() override
    {
        ++listed;
        return present;
    }
    QMap<int, QString> descriptions;
    QString Description(int portNumber) override { return descriptions.value(portNumber); }
};

// What the fake unit operations saw.
struct UnitLog {
    QStringList calls;
    bool detect = true;
    bool propulsionUnit = false;
    QString firmware = QStringLiteral("4.47");
    bool transferOk = true;
    bool transmitOk = true;
    bool logOk = true;
    // What a receive puts into the state's document (before it reports its result).
    std::function<void(XelObject&)> receive;
    bool transmitSawPropulsion = false;
    int printedDirect = -1;
    QString transferFirmware;
};

inline void InstallFakeUnit(frmMain& window, UnitLog& log)
{
    FrameUnitOps& ops = window.UnitOps();
    ops.ReadUnitVersion = [&log](bool fw) {
        log.calls << (fw ? "ReadUnitVersion(fw)" : "ReadUnitVersion(hw)");
        return fw ? log.firmware : QStringLiteral("3");
    };
    ops.DetectUnit = [&log] {
        log.calls << "DetectUnit";
        return log.detect;
    };
    ops.IsPropulsionUnit = [&log] {
        log.calls << "IsPropulsionUnit";
        return log.propulsionUnit;
    };
    ops.RunSetupTransfer = [&log](MainState& s, int type, const QString& firmware) {
        log.calls << QStringLiteral("RunSetupTransfer(%1)").arg(type);
        log.transferFirmware = firmware;
        if (type == 1 && log.receive)
            log.receive(*s.XelObject());
        return log.transferOk;
    };
    ops.DoFileTransmit = [&log](MainState& s) {
        log.calls << "DoFileTransmit";
        log.transmitSawPropulsion = s.PROPULSION;
        return log.transmitOk;
    };
    ops.OpenSetupLog = [&log](MainState&, bool swap) {
        log.calls << QStringLiteral("OpenSetupLog(%1)").arg(swap);
        return log.logOk;
    };
    ops.SaveSetupLog = [&log](MainState&) {
        log.calls << "SaveSetupLog";
        return true;
    };
    ops.CmdDeleteLog = [&log](MainState&, bool ask) { log.calls << QStringLiteral("CmdDeleteLog(%1)").arg(ask); };
    ops.CmdResetCounters = [&log](MainState&, bool ask) {
        log.calls << QStringLiteral("CmdResetCounters(%1)").arg(ask);
    };
    ops.CmdCounters = [&log](MainState&, bool ask) { log.calls << QStringLiteral("CmdCounters(%1)").arg(ask); };
    ops.CmdClock = [&log](MainState&) { log.calls << "CmdClock"; };
    ops.CmdOptions = [&log](MainState&) { log.calls << "CmdOptions"; };
    ops.CmdBackupSystemSettings = [&log](MainState&) { log.calls << "CmdBackupSystemSettings"; };
    ops.CmdRetrieveLog = [&log](MainState&) { log.calls << "CmdRetrieveLog"; };
    ops.CloseRetrieveLog = [&log] { log.calls << "CloseRetrieveLog"; };
    ops.PrintSetup = [&log](MainState&, bool direct) {
        log.calls << "PrintSetup";
        log.printedDirect = direct ? 1 : 0;
        return true;
    };
    ops.CmdExportAsText = [&log](MainState&) { log.calls << "CmdExportAsText"; };
}

// A store of the test's own stands in for the settings while this lives.
class StoreInPlace {
public:
    explicit StoreInPlace(platform::SettingsStore& store) : m_before(&platform::SettingsStore::Instance())
    {
        platform::SettingsStore::SetInstance(&store);
    }
    ~StoreInPlace() { platform::SettingsStore::SetInstance(m_before); }
    StoreInPlace(const StoreInPlace&) = delete;
    StoreInPlace& operator=(const StoreInPlace&) = delete;

private:
    platform::SettingsStore* m_before;
};

// Closes the next modal dialog of that class once it is shown, pressing the named button.
// What the dialog showed is kept for the test.
class DialogAnswer : public QObject {
public:
    DialogAnswer(const QString& className, const QString& button, std::function<void(QDialog*)> look = {})
        : m_class(className), m_button(button), m_look(std::move(look))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(w);
                if (!dialog || !dialog->isVisible() || dialog->objectName() != m_class)
                    continue;
                ++seen;
                if (m_look)
                    m_look(dialog);
                if (auto* b = dialog->findChild<QPushButton*>(m_button))
                    b->click();
                else
                    dialog->reject();
            }
        });
        m_timer.start(1);
    }
    int seen = 0;

private:
    QString m_class, m_button;
    std::function<void(QDialog*)> m_look;
    QTimer m_timer;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FileDialogs::SetInstance(&dialogs);
        platform::Mailer::SetInstance(&mailer);
        platform::ScreenInfo::SetInstance(&screen);
        platform::PortList::SetInstance(&ports);
        doubles.time.timerDivisor = 5000;
    }
    void TearDown() override
    {
        CloseWindow();
        extra::FreeLanguageLibrary();
        platform::FileDialogs::SetInstance(nullptr);
        platform::Mailer::SetInstance(nullptr);
        platform::ScreenInfo::SetInstance(nullptr);
        platform::PortList::SetInstance(nullptr);
    }

    // Starts the window with these arguments; false when the program ended in start-up.
    bool Start(const QStringList& args = {})
    {
        window = std::make_unique<frmMain>();
        InstallFakeUnit(*window, unit);
        return window->Form_Load(args);
    }

    void CloseWindow()
    {
        if (!window)
            return;
        doubles.keys.shift = true; // no save question on the way out
        window->close();
        window.reset();
        doubles.keys.shift = false;
    }

    QString Path(const QString& name) const { return doubles.dir.filePath(name); }

    // A setup file written by the data model alone.
    QString WriteSetup(const QString& name, const std::function<void(XelObject&)>& change = {})
    {
        extra::LoadLanguageLibrary();
        auto doc = CreateDefaultSetupDocument();
        if (change)
            change(*doc);
        const QString path = Path(name);
        EXPECT_TRUE(doc->SaveFile(path));
        return path;
    }

    static QByteArray Bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QString Status() const { return window->Panel("TEXT")->text(); }
    QStringList Shown() const
    {
        QStringList texts;
        for (const auto& s : doubles.presenter.shown)
            texts << s.text;
        return texts;
    }
    static QString Lang(quint16 id, const QVariantList& args = {}) { return extra::FormatLangString(id, args); }

    testing_doubles::PlatformDoubles doubles;
    QueuedDialogs dialogs;
    FakeMailer mailer;
    FixedScreen screen;
    ListedPorts ports;
    UnitLog unit;
    std::unique_ptr<frmMain> window;
};

} // namespace frametest
