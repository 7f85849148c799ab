#include "seriallink/Comm.h"
#include "seriallink/Package.h"
#include "seriallink/RequestEngine.h"
#include "seriallink/Trace.h"

#include "platform/SystemInfo.h"

#include <QLocale>

#ifndef XELCOMM_VERSION
#define XELCOMM_VERSION "0.0.0"
#endif

namespace {

constexpr int kMaxRegistersPerPackage = 32;
constexpr int kMaxBitsPerPackage = 512;

[[noreturn]] void Raise(qint32 code, const char* message)
{
    throw CommException(code, QString::fromLatin1(message));
}

// The short date and the long time of the user's locale.
QString NowText()
{
    const QDateTime now = platform::SystemInfo::Instance().Now();
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove('t');
    return locale.toString(now.date(), QLocale::ShortFormat) + ' '
           + locale.toString(now.time(), timeFormat.trimmed());
}

// A byte of a reply's data, 0 past its end.
quint8 ByteAt(const QByteArray& data, int i) { return i < data.size() ? quint8(data[i]) : 0; }

QString RegHex(qint32 address) { return Package::RegisterAddressField(address); }
QString BitHex(qint32 address) { return Package::BitAddressField(address); }

} // namespace

struct Comm::Impl {
    xelcomm::LinkState s;
    xelcomm::RequestEngine engine{s};
    qint16 commPort = 1;
    QString settings;
    qint16 identity = 1;
    bool active = false;
    // Request operations under way on the stack, and whether the Comm was deleted by
    // an event handler inside one of their waits.
    int depth = 0;
    bool orphaned = false;
};

namespace {

// Keeps Active true for a whole operation, nested operations included. The outermost
// one frees the state of a Comm that was deleted while it waited.
class ActiveScope {
public:
    explicit ActiveScope(Comm::Impl* impl)
        : m_impl(impl)
        , m_was(impl->active)
    {
        m_impl->active = true;
        ++m_impl->depth;
    }
    ~ActiveScope()
    {
        m_impl->active = m_was;
        if (--m_impl->depth == 0 && m_impl->orphaned)
            delete m_impl;
    }

private:
    Comm::Impl* m_impl;
    bool m_was;
};

} // namespace

Comm::Comm()
    : d(std::make_unique<Impl>())
{
}

Comm::~Comm()
{
    if (d->depth > 0) {
        // Deleted by an event handler inside its own wait: end the wait, and leave the
        // state to the request that is still unwinding.
        Cancel();
        d->orphaned = true;
        d.release();
    }
}

qint32 Comm::ByteCount() const { return d->s.byteCount; }

qint16 Comm::CommPort() const { return d->commPort; }

void Comm::SetCommPort(qint16 value)
{
    // Every number the program's port list offers.
    if (value < 1 || value > 32)
        Raise(ErrCommPort, "Property CommPort must be between 1 and 32!");
    d->commPort = value;
    d->s.portNumber = value;
}

QString Comm::Settings()
{
    if (d->settings.isEmpty())
        d->settings = d->s.portSettings;
    return d->settings;
}

void Comm::SetSettings(const QString& value)
{
    if (value.isEmpty()) {
        d->s.portSettings = QStringLiteral("9600,o,8,1");
        return;
    }
    d->settings = value;
    d->s.portSettings = value;
}

qint16 Comm::Identity() const { return d->identity; }

void Comm::SetIdentity(qint16 value)
{
    if (value < 0 || value > 247)
        Raise(ErrIdentity, "Property Identity must be between 0 and 247!");
    d->identity = value;
}

bool Comm::IgnorenotToMaster() const { return d->s.ignoreNotToMaster; }
void Comm::SetIgnorenotToMaster(bool value) { d->s.ignoreNotToMaster = value; }

bool Comm::ShowDebug() { return xelcomm::DebugOn(); }

void Comm::SetShowDebug(bool value)
{
    xelcomm::SetDebugOn(value);
    if (value)
        xelcomm::Trace("Debug session started " + NowText() + ".");
}

qint16 Comm::Retries() const { return d->s.retries; }

void Comm::SetRetries(qint16 value)
{
    if (value < 0 || value > 99)
        Raise(ErrRetries, "Property Retries must be between 0 and 99!");
    d->s.retries = value;
}

qint16 Comm::TimeOut() const { return d->s.timeOut; }

void Comm::SetTimeOut(qint16 value)
{
    if (value < 1 || value > 30)
        Raise(ErrTimeOut, "Property Timeout must be between 1 and 30 seconds!");
    d->s.timeOut = value;
}

bool Comm::Active() const { return d->active; }
bool Comm::CommDone() const { return d->s.commDone; }
qint16 Comm::CommError() const { return d->s.commError; }
void Comm::ResetByteCount() { d->s.byteCount = 0; }
qint16 Comm::RequestKind() const { return d->s.requestKind; }
QByteArray Comm::ReplyData() const { return d->s.replyData; }
QString Comm::Version() const { return QStringLiteral(XELCOMM_VERSION); }

void Comm::Cancel()
{
    d->engine.Stop();
    d->s.commError = 3;
    d->s.commDone = true;
    d->active = false;
}

void Comm::EndComm() { Cancel(); }

void Comm::StartComm(bool DisplayDialog)
{
    Q_UNUSED(DisplayDialog);
    d->s.portNumber = d->commPort;
    d->s.portSettings = Settings();
    if (!xelcomm::DebugOn())
        return;
    xelcomm::NewTrace();
    xelcomm::Trace("****");
    xelcomm::Trace("Comm started " + NowText());
    xelcomm::Trace(QString("Settings:%1; Commport:%2; Identity:%3; Timeout%4; Retries:%5")
                       .arg(Settings())
                       .arg(d->commPort)
                       .arg(d->identity)
                       .arg(d->s.timeOut)
                       .arg(d->s.retries));
}

// ---- registers ------------------------------------------------------------------------

namespace {

void CheckRegisterRun(qint32 start, qint32 count, qint32 tooManyCode, const char* tooManyText)
{
    if (start < MinRegisterAddress || start > MaxRegisterAddress)
        Raise(ErrRegisterAddress, "StartAddress must be between 0 and 3071!");
    if (count < 1)
        Raise(ErrNoRegisters, "The number of registers must be at least 1!");
    if (tooManyCode && count > kMaxRegistersPerPackage)
        Raise(tooManyCode, tooManyText);
    if (start + count - 1 > MaxRegisterAddress)
        Raise(ErrRegisterRange, "The number of registers that you have specified goes beyond the maximum "
                                "address for registers which is 3071!");
}

const char* kTooManySet = "Too many registers specified! A maximum of 32 per package may be set using this "
                          "function. Use the SetRegistersEx function to set more than 32 registers!";
const char* kTooManyGet = "Too many registers specified! A maximum of 32 per package may be specified using "
                          "this function. Use the GetRegistersEx function to get more than 32 registers!";

} // namespace

bool Comm::SetRegister(qint16 Address, qint32 Value)
{
    QByteArray bytes;
    if (!Package::LongToByteArray(Value, bytes))
        Raise(ErrLongToByteArray, "Function SetRegister failed when calling LongToByteArray.");
    if (Address < MinRegisterAddress || Address > MaxRegisterAddress)
        Raise(ErrRegisterAddress, "Address must be between 0 and 3071!");
    // A request from an event handler inside this link's own wait is refused before it
    // can touch the pending request's kind, state or reply.
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::SetRegistersKind;
    xelcomm::Trace(QString("Setting register at address %1(%2H) to value %3").arg(Address).arg(RegHex(Address)).arg(Value));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildSetRegisters(quint8(d->identity), Address, 1, bytes);
    return d->engine.Exchange(package, Package::ExpectedReplyLength(Package::SetRegistersKind, 1));
}

bool Comm::SetRegisters(qint16 StartAddress, const QVector<qint32>& Value)
{
    QByteArray bytes;
    if (!Package::LongArrayToByteArray(Value, bytes))
        Raise(ErrLongArrayToByteArray, "Function SetRegisters failed when calling LongArrayToByteArray.");
    const qint32 n = qint32(Value.size());
    CheckRegisterRun(StartAddress, n, ErrTooManySetRegisters, kTooManySet);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::SetRegistersKind;
    xelcomm::Trace(QString("Setting %1 register(s) starting at address %2(%3H)").arg(n).arg(StartAddress).arg(RegHex(StartAddress)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildSetRegisters(quint8(d->identity), StartAddress, n, bytes);
    return d->engine.Exchange(package, Package::ExpectedReplyLength(Package::SetRegistersKind, n));
}

bool Comm::SetRegistersEx(qint16 StartAddress, const QVector<qint32>& Value)
{
    // Every value is checked before the first package goes out.
    QByteArray bytes;
    if (!Package::LongArrayToByteArray(Value, bytes))
        Raise(ErrLongArrayToByteArray, "Function SetRegisters failed when calling LongArrayToByteArray.");
    const qint32 n = qint32(Value.size());
    CheckRegisterRun(StartAddress, n, 0, nullptr);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    xelcomm::Trace("SetRegistersEx...");
    xelcomm::Trace(QString("Setting %1 register(s) starting at address %2(%3H)").arg(n).arg(StartAddress).arg(RegHex(StartAddress)));
    if (n <= kMaxRegistersPerPackage)
        xelcomm::Trace(QString("This is done by setting %1 registers 1 time.").arg(n));
    else if (n % kMaxRegistersPerPackage == 0)
        xelcomm::Trace(QString("This is done by setting %1 registers %2 time(s).").arg(kMaxRegistersPerPackage).arg(n / kMaxRegistersPerPackage));
    else
        xelcomm::Trace(QString("This is done by setting %1 registers %2 time(s) and then %3 in the final package.")
                           .arg(kMaxRegistersPerPackage)
                           .arg(n / kMaxRegistersPerPackage)
                           .arg(n % kMaxRegistersPerPackage));
    for (qint32 done = 0; done < n; done += kMaxRegistersPerPackage) {
        const qint32 count = qMin(kMaxRegistersPerPackage, n - done);
        if (!SetRegisters(qint16(StartAddress + done), Value.mid(done, count)))
            return false;
    }
    return true;
}

bool Comm::GetRegister(qint16 Address, qint32& Value)
{
    if (Address < MinRegisterAddress || Address > MaxRegisterAddress)
        Raise(ErrRegisterAddress, "Address must be between 0 and 3071!");
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::GetRegistersKind;
    xelcomm::Trace(QString("Getting register at address %1(%2H)").arg(Address).arg(RegHex(Address)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildGetRegisters(quint8(d->identity), Address, 1);
    if (!d->engine.Exchange(package, Package::ExpectedReplyLength(Package::GetRegistersKind, 1)))
        return false;
    const QByteArray& data = d->s.replyData;
    Value = Package::BytesToLong(quint8(ByteAt(data, 0)), quint8(ByteAt(data, 1)));
    return true;
}

bool Comm::GetRegisters(qint16 StartAddress, qint16 NumberOfRegisters, QVector<qint32>& Value)
{
    const qint32 n = NumberOfRegisters;
    CheckRegisterRun(StartAddress, n, ErrTooManyGetRegisters, kTooManyGet);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::GetRegistersKind;
    xelcomm::Trace(QString("Getting %1 register(s) starting at address %2(%3H)").arg(n).arg(StartAddress).arg(RegHex(StartAddress)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildGetRegisters(quint8(d->identity), StartAddress, n);
    if (!d->engine.Exchange(package, Package::ExpectedReplyLength(Package::GetRegistersKind, n)))
        return false;
    Value = Package::ByteArrayToLongArray(d->s.replyData);
    Value.resize(n);
    return true;
}

bool Comm::GetRegistersEx(qint16 StartAddress, qint16 NumberOfRegisters, QVector<qint32>& Value)
{
    const qint32 n = NumberOfRegisters;
    CheckRegisterRun(StartAddress, n, 0, nullptr);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    for (qint32 done = 0; done < n; done += kMaxRegistersPerPackage) {
        const qint32 count = qMin(kMaxRegistersPerPackage, n - done);
        QVector<qint32> words;
        if (!GetRegisters(qint16(StartAddress + done), qint16(count), words))
            return false;
        // Words already in Value stay in front.
        Value += words;
    }
    return true;
}

// ---- bits -----------------------------------------------------------------------------

bool Comm::SetBit(qint16 Address, bool Value)
{
    if (Address < MinBitAddress || Address > MaxBitAddress)
        Raise(ErrBitAddress, "Address must be between 0 and 16383!");
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::SetBitKind;
    xelcomm::Trace(QString("Setting bit at address %1(%2H)").arg(Address).arg(BitHex(Address)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildSetBit(quint8(d->identity), Address, Value);
    return d->engine.Exchange(package, Package::ExpectedReplyLength(Package::SetBitKind, 0));
}

bool Comm::GetBit(qint16 Address, bool& Value)
{
    if (Address < MinBitAddress || Address > MaxBitAddress)
        Raise(ErrBitAddress, "Address must be between 0 and 16383!");
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    d->s.requestKind = Package::GetBitKind;
    xelcomm::Trace(QString("Getting bit at address %1(%2H)").arg(Address).arg(BitHex(Address)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildGetBit(quint8(d->identity), Address);
    if (!d->engine.Exchange(package, Package::ExpectedReplyLength(Package::GetBitKind, 0)))
        return false;
    Value = ByteAt(d->s.replyData, 0) != 0;
    return true;
}

namespace {

struct BitSplit {
    int lead, trail, middle;
};

BitSplit SplitBits(qint32 start, int total)
{
    BitSplit b;
    b.lead = (8 - start % 8) % 8;
    const int rest = total - b.lead;
    b.trail = rest % 8;
    b.middle = rest - b.trail;
    return b;
}

const char* kTooManySetBits = "Too many bits specified! A maximum of 512 per package may be set using this "
                              "function. Use the SetBitsEx function to set more than 512 bits!";
const char* kTooManyGetBits = "Too many bits specified! A maximum of 512 per package may be specified using this "
                              "function. Use the GetBitsEx function to set more than 512 bits!";

} // namespace

// A run must at least fill its leading part and must end at bit 16383 at the latest,
// so no packed package can reach into the register addresses.
void Comm::CheckBitRun(qint32 start, qint64 count, int tooManyCode, const char* tooManyText, bool limitMiddle)
{
    if (start < MinBitAddress || start > MaxBitAddress)
        Raise(ErrBitAddress, "StartAddress must be between 0 and 16383!");
    const int lead = (8 - start % 8) % 8;
    if (count < lead)
        Raise(ErrBitRunTooShort, "Too few bits specified! The bits must at least reach the next multiple of 8 "
                                 "from StartAddress!");
    if (count > 0 && start + count - 1 > MaxBitAddress)
        Raise(ErrBitRange, "The number of bits that you have specified goes beyond the maximum address for bits "
                           "which is 16383!");
    if (limitMiddle) {
        const qint64 rest = count - lead;
        if ((rest - rest % 8) / 8 > kMaxBitsPerPackage / 8)
            Raise(tooManyCode, tooManyText);
    }
}

// Sets Value[from .. from + count) at bits start.. (start a multiple of 8 or a run with lead).
bool Comm::SetBitRun(qint32 start, const QVector<bool>& value, int from, int count)
{
    const BitSplit b = SplitBits(start, count);
    for (int k = 0; k < b.lead; ++k)
        if (!SetBit(qint16(start + k), value[from + k]))
            return false;
    for (int k = count - b.trail; k < count; ++k)
        if (!SetBit(qint16(start + k), value[from + k]))
            return false;
    if (b.middle == 0)
        return true;
    const qint32 address = start + b.lead;
    const int bytes = b.middle / 8;
    QByteArray packed(bytes, '\0');
    for (int i = 0; i < bytes; ++i) {
        quint8 byte = 0;
        for (int j = 0; j < 8; ++j)
            if (value[from + b.lead + 8 * i + j])
                byte |= quint8(1 << j);
        packed[i] = char(byte);
    }
    d->s.requestKind = Package::SetPackedBitsKind;
    xelcomm::Trace(QString("Setting %1 bits starting at address %2(%3H)").arg(b.middle).arg(address).arg(BitHex(address)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildSetPackedBits(quint8(d->identity), address, bytes, packed);
    return d->engine.Exchange(package, Package::ExpectedReplyLength(Package::SetPackedBitsKind, bytes));
}

// Reads count bits from start into value[0 .. count).
bool Comm::GetBitRun(qint32 start, int count, QVector<bool>& value)
{
    const BitSplit b = SplitBits(start, count);
    for (int k = 0; k < b.lead; ++k) {
        bool bit = false;
        if (!GetBit(qint16(start + k), bit))
            return false;
        value[k] = bit;
    }
    for (int k = count - b.trail; k < count; ++k) {
        bool bit = false;
        if (!GetBit(qint16(start + k), bit))
            return false;
        value[k] = bit;
    }
    if (b.middle == 0)
        return true;
    const qint32 address = start + b.lead;
    const int bytes = b.middle / 8;
    d->s.requestKind = Package::GetPackedBitsKind;
    xelcomm::Trace(QString("Getting %1 bits starting at address %2(%3H)").arg(b.middle).arg(address).arg(BitHex(address)));
    d->s.commDone = false;
    d->s.commError = 0;
    const QByteArray package = Package::BuildGetPackedBits(quint8(d->identity), address, bytes);
    if (!d->engine.Exchange(package, Package::ExpectedReplyLength(Package::GetPackedBitsKind, bytes)))
        return false;
    const QByteArray& data = d->s.replyData;
    for (int i = 0; i < bytes; ++i)
        for (int j = 0; j < 8; ++j)
            value[b.lead + 8 * i + j] = (quint8(ByteAt(data, i)) >> j) & 1;
    return true;
}

bool Comm::SetBits(qint16 StartAddress, const QVector<bool>& Value)
{
    CheckBitRun(StartAddress, Value.size(), ErrRegisterRange, kTooManySetBits, true);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    return SetBitRun(StartAddress, Value, 0, int(Value.size()));
}

bool Comm::GetBits(qint16 StartAddress, qint16 NumberOfBits, QVector<bool>& Value)
{
    CheckBitRun(StartAddress, NumberOfBits, ErrTooManyGetBits, kTooManyGetBits, true);
    if (d->engine.Waiting())
        return false;
    Value = QVector<bool>(NumberOfBits, false);
    ActiveScope active(d.get());
    return GetBitRun(StartAddress, NumberOfBits, Value);
}

bool Comm::SetBitsEx(qint16 StartAddress, const QVector<bool>& Value)
{
    const qint64 n = Value.size();
    CheckBitRun(StartAddress, n, 0, nullptr, false);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    const int lead = (8 - StartAddress % 8) % 8;
    const int rest = int(n) - lead;
    xelcomm::Trace("SetBitsEx...");
    xelcomm::Trace(QString("Setting %1 bit(s) starting at address %2(%3H)").arg(n).arg(StartAddress).arg(BitHex(StartAddress)));
    if (lead == 0 && n % kMaxBitsPerPackage == 0)
        xelcomm::Trace(QString("This is done by setting 512 bits %1 time(s).").arg(n / kMaxBitsPerPackage));
    else if (lead == 0)
        xelcomm::Trace(QString("This is done by setting 512 bits %1 time(s) and then %2 in the final package.")
                           .arg(n / kMaxBitsPerPackage)
                           .arg(n % kMaxBitsPerPackage));
    else if (rest % kMaxBitsPerPackage == 0)
        xelcomm::Trace(QString("This is done by setting %1 individual bits first, then setting 512 bits %2 time(s).")
                           .arg(lead)
                           .arg(rest / kMaxBitsPerPackage));
    else
        xelcomm::Trace(QString("This is done by setting %1 individual bits first, then setting 512 bits %2 time(s), "
                               "and then %3 in the final package.")
                           .arg(lead)
                           .arg(rest / kMaxBitsPerPackage)
                           .arg(rest % kMaxBitsPerPackage));
    for (int k = 0; k < lead; ++k)
        if (!SetBit(qint16(StartAddress + k), Value[k]))
            return false;
    for (int done = 0; done < rest; done += kMaxBitsPerPackage) {
        const int count = qMin(kMaxBitsPerPackage, rest - done);
        if (!SetBits(qint16(StartAddress + lead + done), Value.mid(lead + done, count)))
            return false;
    }
    return true;
}

bool Comm::GetBitsEx(qint16 StartAddress, qint16 NumberOfBits, QVector<bool>& Value)
{
    const int n = NumberOfBits;
    CheckBitRun(StartAddress, n, 0, nullptr, false);
    if (d->engine.Waiting())
        return false;
    ActiveScope active(d.get());
    const BitSplit b = SplitBits(StartAddress, n);
    QVector<bool> bits(n, false);
    // The single bits at both ends first, then the whole bytes between.
    for (int k = 0; k < b.lead; ++k)
        if (!GetBit(qint16(StartAddress + k), bits[k]))
            return false;
    for (int k = n - b.trail; k < n; ++k)
        if (!GetBit(qint16(StartAddress + k), bits[k]))
            return false;
    for (int done = 0; done < b.middle; done += kMaxBitsPerPackage) {
        const int count = qMin(kMaxBitsPerPackage, b.middle - done);
        QVector<bool> piece;
        if (!GetBits(qint16(StartAddress + b.lead + done), qint16(count), piece))
            return false;
        std::copy(piece.begin(), piece.end(), bits.begin() + b.lead + done);
    }
    // Bits already in Value stay in front.
    Value += bits;
    return true;
}
