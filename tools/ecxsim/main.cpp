// ecxsim: a simulated ECX control unit on a pseudo-terminal.
#include "tools/ecxsim/PtyServer.h"
#include "tools/ecxsim/Unit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

bool ReadCount(const QCommandLineParser& parser, const QString& name, int& value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    if (!ok) {
        std::fprintf(stderr, "ecxsim: --%s needs a whole number\n", qPrintable(name));
        return false;
    }
    return true;
}

bool LoadText(const QCommandLineParser& parser, const QString& name, ecxsim::Unit& unit,
              ecxsim::Unit::LogSection section)
{
    if (!parser.isSet(name))
        return true;
    QFile file(parser.value(name));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "ecxsim: cannot read %s\n", qPrintable(file.fileName()));
        return false;
    }
    unit.SetLogText(section, file.readAll());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ecxsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated ECX control unit on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("firmware"), QStringLiteral("Firmware version, such as 4.47."), QStringLiteral("version")},
        {QStringLiteral("hardware"), QStringLiteral("Hardware version number."), QStringLiteral("n")},
        {QStringLiteral("unit-type"), QStringLiteral("Unit type register (1: propulsion)."), QStringLiteral("n")},
        {QStringLiteral("identity"), QStringLiteral("Identity the unit answers to (default 240)."), QStringLiteral("n")},
        {QStringLiteral("hours"), QStringLiteral("Engine-hour counter."), QStringLiteral("n")},
        {QStringLiteral("pace"), QStringLiteral("Send at the real line rate (9600 baud, 8O1).")},
        {QStringLiteral("engine-running"), QStringLiteral("The engine is running: writes stay locked.")},
        {QStringLiteral("q3"), QStringLiteral("Answer as a Q3 unit.")},
        {QStringLiteral("command-delay"), QStringLiteral("Milliseconds until a service command is done (default 500)."), QStringLiteral("ms")},
        {QStringLiteral("silent"), QStringLiteral("Leave the next n requests unanswered (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("bad-bcc"), QStringLiteral("Spoil the block check of the next n replies (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("wrong-id"), QStringLiteral("Wrong third character in the next n replies (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("split"), QStringLiteral("Send the next n replies in pieces (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("split-gap"), QStringLiteral("Milliseconds between the pieces of a split reply."), QStringLiteral("ms")},
        {QStringLiteral("stray"), QStringLiteral("Stray bytes before the next n replies (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("corrupt"), QStringLiteral("Alter one word in the next n register reads (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("corrupt-register"), QStringLiteral("The register --corrupt alters (default: the first read)."), QStringLiteral("r")},
        {QStringLiteral("stop-after"), QStringLiteral("Answer k packages, then fall silent."), QStringLiteral("k")},
        {QStringLiteral("dead-at-relock"), QStringLiteral("Fall silent just before the master locks the unit again.")},
        {QStringLiteral("burst-size"), QStringLiteral("Bytes per burst of log text (default 64)."), QStringLiteral("n")},
        {QStringLiteral("burst-interval"), QStringLiteral("Milliseconds between bursts of log text (default 100)."), QStringLiteral("ms")},
        {QStringLiteral("info-text"), QStringLiteral("File answered to the information request."), QStringLiteral("file")},
        {QStringLiteral("counters-text"), QStringLiteral("File answered to the counters request."), QStringLiteral("file")},
        {QStringLiteral("log-text"), QStringLiteral("File answered to the log request."), QStringLiteral("file")},
        {QStringLiteral("bit-size"), QStringLiteral("Size field of a get-bit reply: 01 (data bytes, default) or 00 (echoed)."), QStringLiteral("size")},
        {QStringLiteral("data-type"), QStringLiteral("Type character of every data reply (default 0, and 3 for a bit)."), QStringLiteral("c")},
        {QStringLiteral("late"), QStringLiteral("Send the next n replies late (-1: all)."), QStringLiteral("n")},
        {QStringLiteral("reply-delay"), QStringLiteral("Milliseconds a late reply waits (default 0)."), QStringLiteral("ms")},
        {QStringLiteral("verbose"), QStringLiteral("Show the traffic on standard error.")},
    });
    parser.process(app);

    ecxsim::Unit unit;
    if (parser.isSet(QStringLiteral("firmware")) && !unit.SetFirmwareVersion(parser.value(QStringLiteral("firmware")))) {
        std::fprintf(stderr, "ecxsim: firmware version must look like 4.47\n");
        return 2;
    }
    int hardware = unit.HardwareVersion();
    int unitType = unit.UnitType();
    int identity = unit.Identity();
    int hours = unit.EngineHours();
    int commandDelay = unit.CommandDelay();
    int silent = 0, badBcc = 0, wrongId = 0, split = 0, splitGap = 0, stray = 0, corrupt = 0;
    int corruptRegister = -1, stopAfter = -1, late = 0, replyDelay = 0;
    int burstSize = unit.LogBurstSize(), burstInterval = unit.LogBurstInterval();
    const bool numbersOk = ReadCount(parser, QStringLiteral("hardware"), hardware)
        && ReadCount(parser, QStringLiteral("unit-type"), unitType)
        && ReadCount(parser, QStringLiteral("identity"), identity)
        && ReadCount(parser, QStringLiteral("hours"), hours)
        && ReadCount(parser, QStringLiteral("command-delay"), commandDelay)
        && ReadCount(parser, QStringLiteral("silent"), silent)
        && ReadCount(parser, QStringLiteral("bad-bcc"), badBcc)
        && ReadCount(parser, QStringLiteral("wrong-id"), wrongId)
        && ReadCount(parser, QStringLiteral("split"), split)
        && ReadCount(parser, QStringLiteral("split-gap"), splitGap)
        && ReadCount(parser, QStringLiteral("stray"), stray)
        && ReadCount(parser, QStringLiteral("corrupt"), corrupt)
        && ReadCount(parser, QStringLiteral("corrupt-register"), corruptRegister)
        && ReadCount(parser, QStringLiteral("stop-after"), stopAfter)
        && ReadCount(parser, QStringLiteral("burst-size"), burstSize)
        && ReadCount(parser, QStringLiteral("burst-interval"), burstInterval)
        && ReadCount(parser, QStringLiteral("late"), late)
        && ReadCount(parser, QStringLiteral("reply-delay"), replyDelay);
    if (!numbersOk)
        return 2;
    const QString bitSize = parser.value(QStringLiteral("bit-size"));
    if (parser.isSet(QStringLiteral("bit-size")) && bitSize != QLatin1String("01") && bitSize != QLatin1String("00")) {
        std::fprintf(stderr, "ecxsim: --bit-size is 01 or 00\n");
        return 2;
    }
    const QString dataType = parser.value(QStringLiteral("data-type"));
    if (parser.isSet(QStringLiteral("data-type")) && (dataType.size() != 1 || dataType.at(0).unicode() < 0x20
                                                      || dataType.at(0).unicode() > 0x7E)) {
        std::fprintf(stderr, "ecxsim: --data-type is one printable character\n");
        return 2;
    }
    if (!LoadText(parser, QStringLiteral("info-text"), unit, ecxsim::Unit::LogSection::Information)
        || !LoadText(parser, QStringLiteral("counters-text"), unit, ecxsim::Unit::LogSection::Counters)
        || !LoadText(parser, QStringLiteral("log-text"), unit, ecxsim::Unit::LogSection::Log))
        return 2;

    unit.SetHardwareVersion(hardware);
    unit.SetUnitType(quint16(qBound(0, unitType, 65535)));
    unit.SetIdentity(identity);
    unit.SetEngineHours(hours);
    unit.SetCommandDelay(commandDelay);
    unit.SetEngineRunning(parser.isSet(QStringLiteral("engine-running")));
    unit.SetQ3(parser.isSet(QStringLiteral("q3")));
    unit.SetPaced(parser.isSet(QStringLiteral("pace")));
    unit.SetFault(ecxsim::Unit::Fault::Silence, silent);
    unit.SetFault(ecxsim::Unit::Fault::BadBlockCheck, badBcc);
    unit.SetFault(ecxsim::Unit::Fault::WrongThirdCharacter, wrongId);
    unit.SetFault(ecxsim::Unit::Fault::SplitReply, split);
    unit.SetSplit(4, splitGap);
    unit.SetFault(ecxsim::Unit::Fault::StrayBytes, stray);
    unit.SetFault(ecxsim::Unit::Fault::CorruptReadBack, corrupt);
    unit.SetCorruptRegister(corruptRegister);
    unit.SetStopAfter(stopAfter);
    unit.SetDeadAtRelock(parser.isSet(QStringLiteral("dead-at-relock")));
    unit.SetLogBurst(burstSize, burstInterval);
    unit.SetFault(ecxsim::Unit::Fault::DelayedReply, late);
    unit.SetReplyDelay(replyDelay);
    unit.SetBitReplySize(bitSize == QLatin1String("00") ? ecxsim::Unit::BitReplySize::Echo
                                                        : ecxsim::Unit::BitReplySize::DataBytes);
    if (!dataType.isEmpty())
        unit.SetDataReplyType(char(dataType.at(0).unicode()));

    if (parser.isSet(QStringLiteral("verbose"))) {
        QObject::connect(&unit, &ecxsim::Unit::Transmit, [](const QByteArray& b) {
            std::fprintf(stderr, "out: %s\n", b.toHex(' ').toUpper().constData());
        });
    }

    ecxsim::PtyServer server(&unit);
    if (!server.Open()) {
        std::fprintf(stderr, "ecxsim: %s\n", qPrintable(server.ErrorString()));
        return 1;
    }
    if (::pipe(signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
            char c;
            [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
            QCoreApplication::quit();
        });
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }

    std::printf("ecxsim: listening on %s\n", qPrintable(server.SlavePath()));
    std::fflush(stdout);
    const int rc = app.exec();
    server.Close();
    std::fprintf(stderr, "ecxsim: %d packages received, %d answered\n", unit.PackagesReceived(),
                 unit.PackagesAnswered());
    return rc;
}
