// Comm over a scripted line: argument errors, re-sends, cancel, chunking, bit runs and
// the receive layer.
#include "seriallink/Comm.h"
#include "seriallink/Package.h"
#include "seriallink/XelCommTesting.h"
#include "tests/common/Doubles.h"
#include "tests/seriallink/ScriptedPort.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using seriallink_test::Framed;

QByteArray Ack(const QByteArray& request)
{
    return Framed("F0" + request.mid(3, 2) + char(6));
}

// A data reply echoing the request's head.
QByteArray DataReply(const QByteArray& request, const QByteArray& data)
{
    return Framed("F0" + request.mid(3, 8) + data);
}

QByteArray Reversed(std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int v : bytes)
        b += char(Package::ReverseBits(quint8(v)));
    return b;
}

class CommLine : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    seriallink_test::ScriptedLine scripted;
    seriallink_test::Line& line = scripted.line;
    Comm comm;

    void SetUp() override
    {
        comm.SetSettings("9600,o,8,1");
        comm.SetIdentity(240);
        comm.SetRetries(0);
        comm.SetTimeOut(1);
        comm.StartComm();
    }
    void AckEverything()
    {
        line.respond = [](const QByteArray& r) { return QList<QByteArray>{Ack(r)}; };
    }
    // Addresses (register or bit) of every package sent, as the address field.
    QStringList SentAddresses() const
    {
        QStringList out;
        for (const QByteArray& w : line.writes)
            out << QString::fromLatin1(w.mid(5, 4));
        return out;
    }
};

TEST(CommProperties, DefaultsAndRangeErrorsKeepOldValue)
{
    Comm c;
    EXPECT_EQ(c.CommPort(), 1);
    EXPECT_EQ(c.Identity(), 1);
    EXPECT_EQ(c.Retries(), 3);
    EXPECT_EQ(c.TimeOut(), 1);
    EXPECT_TRUE(c.IgnorenotToMaster());
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(c.CommError(), 0);
    EXPECT_EQ(c.ByteCount(), 0);

    struct Case {
        std::function<void()> let;
        qint32 code;
    };
    const Case cases[] = {
        {[&] { c.SetCommPort(0); }, 1001},  {[&] { c.SetCommPort(33); }, 1001},
        {[&] { c.SetIdentity(248); }, 1002}, {[&] { c.SetIdentity(-1); }, 1002},
        {[&] { c.SetRetries(100); }, 1003},  {[&] { c.SetTimeOut(0); }, 1004},
        {[&] { c.SetTimeOut(31); }, 1004},
    };
    for (const Case& k : cases) {
        try {
            k.let();
            ADD_FAILURE() << "no error for code " << k.code;
        } catch (const CommException& e) {
            EXPECT_EQ(e.Code(), k.code);
            EXPECT_EQ(quint32(e.Number()), 0x80040000u + quint32(k.code));
            EXPECT_EQ(e.Source(), "XelComm.Comm");
        }
    }
    EXPECT_EQ(c.CommPort(), 1);
    EXPECT_EQ(c.Identity(), 1);
    EXPECT_EQ(c.Retries(), 3);
    EXPECT_EQ(c.TimeOut(), 1);

    // Every port number the program offers is taken.
    c.SetCommPort(32);
    EXPECT_EQ(c.CommPort(), 32);
    try {
        c.SetTimeOut(0);
    } catch (const CommException& e) {
        EXPECT_EQ(e.Description(), "Property Timeout must be between 1 and 30 seconds!");
    }
}

TEST(CommProperties, SettingsText)
{
    Comm c;
    // Unset, the port's own settings are reported and kept.
    EXPECT_EQ(c.Settings(), "9600,n,8,1");
    Comm d;
    d.SetSettings("");
    EXPECT_EQ(d.Settings(), "9600,o,8,1");
    d.SetSettings("4800,e,7,2");
    EXPECT_EQ(d.Settings(), "4800,e,7,2");
    d.SetSettings("");
    EXPECT_EQ(d.Settings(), "4800,e,7,2");
}

TEST_F(CommLine, ArgumentErrorsSendNothing)
{
    AckEverything();
    QVector<qint32> words;
    QVector<bool> bits;
    bool bit = false;
    qint32 word = 0;
    QVector<qint32> badEx(70, 1);
    badEx[60] = 70000;
    struct Case {
        const char* what;
        std::function<void()> call;
        qint32 code;
    };
    const Case cases[] = {
        {"SetRegister value", [&] { comm.SetRegister(0, 65536); }, 2001},
        {"SetRegister negative", [&] { comm.SetRegister(0, -1); }, 2001},
        {"SetRegister address", [&] { comm.SetRegister(3072, 1); }, 1101},
        {"GetRegister address", [&] { comm.GetRegister(-1, word); }, 1101},
        {"SetRegisters 33", [&] { comm.SetRegisters(0, QVector<qint32>(33, 0)); }, 1102},
        {"SetRegisters past end", [&] { comm.SetRegisters(3071, {1, 2}); }, 1103},
        {"SetRegisters value", [&] { comm.SetRegisters(0, {1, 70000}); }, 2002},
        {"SetRegisters none", [&] { comm.SetRegisters(0, {}); }, 1110},
        {"GetRegisters past end", [&] { comm.GetRegisters(3071, 2, words); }, 1103},
        {"GetRegisters 33", [&] { comm.GetRegisters(0, 33, words); }, 1104},
        {"GetRegisters none", [&] { comm.GetRegisters(0, 0, words); }, 1110},
        {"SetRegistersEx past end", [&] { comm.SetRegistersEx(3000, QVector<qint32>(100, 0)); }, 1103},
        {"SetRegistersEx late bad value", [&] { comm.SetRegistersEx(0, badEx); }, 2002},
        {"GetRegistersEx past end", [&] { comm.GetRegistersEx(3071, 2, words); }, 1103},
        {"GetRegistersEx start", [&] { comm.GetRegistersEx(3072, 1, words); }, 1101},
        {"SetBit address", [&] { comm.SetBit(16384, true); }, 1105},
        {"GetBit address", [&] { comm.GetBit(-1, bit); }, 1105},
        {"SetBits start", [&] { comm.SetBits(-8, QVector<bool>(8)); }, 1105},
        {"SetBits shorter than lead", [&] { comm.SetBits(3, QVector<bool>(2)); }, 1109},
        {"SetBits past end", [&] { comm.SetBits(16380, QVector<bool>(8)); }, 1108},
        {"SetBits into registers", [&] { comm.SetBits(16376, QVector<bool>(16)); }, 1108},
        {"SetBits too many", [&] { comm.SetBits(0, QVector<bool>(520)); }, 1103},
        {"GetBits too many", [&] { comm.GetBits(0, 520, bits); }, 1107},
        {"GetBits shorter than lead", [&] { comm.GetBits(1, 6, bits); }, 1109},
        {"GetBits past end", [&] { comm.GetBits(16383, 2, bits); }, 1108},
        {"SetBitsEx past end", [&] { comm.SetBitsEx(16000, QVector<bool>(400)); }, 1108},
        {"SetBitsEx shorter than lead", [&] { comm.SetBitsEx(5, QVector<bool>(2)); }, 1109},
        {"GetBitsEx start", [&] { comm.GetBitsEx(16384, 1, bits); }, 1105},
        {"GetBitsEx past end", [&] { comm.GetBitsEx(10000, 6400, bits); }, 1108},
    };
    for (const Case& k : cases) {
        try {
            k.call();
            ADD_FAILURE() << k.what << ": no error";
        } catch (const CommException& e) {
            EXPECT_EQ(e.Code(), k.code) << k.what;
            EXPECT_EQ(e.Source(), "XelComm.Comm");
        }
    }
    EXPECT_TRUE(line.writes.isEmpty());
    EXPECT_EQ(line.opens, 0);
    EXPECT_FALSE(comm.Active());
    // In range at the very end.
    EXPECT_TRUE(comm.SetBits(16376, QVector<bool>(8, true)));
}

TEST_F(CommLine, ErrorTexts)
{
    QVector<qint32> words;
    try {
        comm.GetRegisters(0, 33, words);
    } catch (const CommException& e) {
        EXPECT_EQ(e.Description(), "Too many registers specified! A maximum of 32 per package may be specified using "
                                   "this function. Use the GetRegistersEx function to get more than 32 registers!");
    }
    try {
        comm.SetRegister(0, 65536);
    } catch (const CommException& e) {
        EXPECT_EQ(e.Description(), "Function SetRegister failed when calling LongToByteArray.");
    }
    try {
        comm.GetRegister(3072, words.emplaceBack());
    } catch (const CommException& e) {
        EXPECT_EQ(e.Description(), "Address must be between 0 and 3071!");
    }
}

TEST_F(CommLine, SilentUnitIsSentOncePlusRetries)
{
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_TRUE(comm.CommDone());
    EXPECT_EQ(line.writes.size(), 1);

    line.writes.clear();
    comm.SetRetries(3);
    qint32 value = 77;
    EXPECT_FALSE(comm.GetRegister(5, value));
    EXPECT_EQ(value, 77);
    EXPECT_EQ(comm.CommError(), 1);
    ASSERT_EQ(line.writes.size(), 4);
    for (const QByteArray& w : line.writes)
        EXPECT_EQ(w, line.writes.first()); // same bytes, same stamp
    EXPECT_GE(line.discards, 4);           // stale input dropped before each send
    EXPECT_EQ(line.opens, 2);
    EXPECT_EQ(line.closes, 2);
}

TEST_F(CommLine, BadBlockCheckThenSilenceFails)
{
    comm.SetRetries(2);
    line.respond = [](const QByteArray& r) {
        QByteArray reply = Ack(r);
        reply.back() = char(reply.back() ^ 0x55);
        return QList<QByteArray>{reply};
    };
    EXPECT_FALSE(comm.SetRegister(1, 2));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_EQ(line.writes.size(), 3);
    EXPECT_EQ(line.writes[2], line.writes[0]);
}

TEST_F(CommLine, RejectedReplyCountsOnlyUntilTheNextReSend)
{
    comm.SetRetries(2);
    QList<qint16> errorAtSend;
    line.respond = [&](const QByteArray& r) {
        errorAtSend << comm.CommError();
        // Only the first send is answered, with a wrong block check.
        if (errorAtSend.size() > 1)
            return QList<QByteArray>{};
        QByteArray bad = Ack(r);
        bad.back() = char(bad.back() ^ 0x55);
        return QList<QByteArray>{bad};
    };
    EXPECT_FALSE(comm.SetRegister(1, 2));
    EXPECT_EQ(errorAtSend, (QList<qint16>{0, 0, 0}));
    EXPECT_EQ(comm.CommError(), 1);
}

TEST_F(CommLine, BadBlockCheckThenGoodReplySucceeds)
{
    line.respond = [](const QByteArray& r) {
        QByteArray bad = Ack(r);
        bad.back() = char(bad.back() ^ 0x55);
        return QList<QByteArray>{bad, Ack(r)};
    };
    EXPECT_TRUE(comm.SetRegister(1, 2));
    EXPECT_EQ(comm.CommError(), 0);
    EXPECT_EQ(line.writes.size(), 1);
}

TEST_F(CommLine, ByteCountGrowsByAcceptedReplies)
{
    line.respond = [](const QByteArray& r) {
        if (r[4] == '2')
            return QList<QByteArray>{DataReply(r, Reversed({0x12, 0x34}))};
        return QList<QByteArray>{Ack(r)};
    };
    EXPECT_TRUE(comm.SetRegister(5, 0x1234));
    EXPECT_EQ(comm.ByteCount(), 8);
    qint32 value = 0;
    EXPECT_TRUE(comm.GetRegister(5, value));
    EXPECT_EQ(value, 0x1234);
    EXPECT_EQ(comm.ByteCount(), 23);
    comm.ResetByteCount();
    EXPECT_EQ(comm.ByteCount(), 0);
}

TEST_F(CommLine, CancelDuringWaitEndsAtOnce)
{
    comm.SetRetries(99);
    comm.SetTimeOut(30);
    bool activeInside = false;
    QTimer::singleShot(5, [&] {
        activeInside = comm.Active();
        comm.Cancel();
    });
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_TRUE(activeInside);
    EXPECT_EQ(comm.CommError(), 3);
    EXPECT_TRUE(comm.CommDone());
    EXPECT_FALSE(comm.Active());
    EXPECT_EQ(line.writes.size(), 1);
}

TEST_F(CommLine, RequestFromInsideTheWaitLeavesThePendingOneAlone)
{
    comm.SetRetries(1);
    int n = 0;
    line.respond = [&n](const QByteArray& r) {
        // The first send goes unheard; the re-send is answered.
        if (++n == 1)
            return QList<QByteArray>{};
        return QList<QByteArray>{DataReply(r, Reversed({0xAB, 0xCD, 0x00, 0x01}))};
    };
    bool bitResult = true;
    bool exResult = true;
    QTimer::singleShot(5, [&] {
        bool bit = true;
        bitResult = comm.GetBit(9, bit);
        exResult = comm.SetRegistersEx(0, QVector<qint32>(40, 1));
    });
    QVector<qint32> words;
    ASSERT_TRUE(comm.GetRegisters(10, 2, words));
    EXPECT_FALSE(bitResult);
    EXPECT_FALSE(exResult);
    EXPECT_EQ(words, (QVector<qint32>{0xABCD, 1}));
    EXPECT_EQ(comm.RequestKind(), 50);
    EXPECT_EQ(comm.CommError(), 0);
    ASSERT_EQ(line.writes.size(), 2);
    EXPECT_EQ(line.writes[1], line.writes[0]);
}

TEST_F(CommLine, CommDeletedInsideItsWaitEndsTheRequestCleanly)
{
    // Deleted while its only package waits for a reply that never comes.
    auto* single = new Comm;
    single->SetIdentity(240);
    single->SetRetries(99);
    single->SetTimeOut(30);
    QTimer::singleShot(5, [&] { delete single; });
    EXPECT_FALSE(single->SetRegister(0, 1));
    EXPECT_EQ(line.closes, line.opens);

    // Deleted during the second package of a run: the run stops there.
    AckEverything();
    auto* run = new Comm;
    run->SetIdentity(240);
    run->SetRetries(99);
    run->SetTimeOut(30);
    line.respond = [&](const QByteArray& r) {
        if (line.writes.size() == 2) {
            QTimer::singleShot(5, [&] { delete run; });
            return QList<QByteArray>{};
        }
        return QList<QByteArray>{Ack(r)};
    };
    line.writes.clear();
    EXPECT_FALSE(run->SetBitsEx(3, QVector<bool>(40, true)));
    EXPECT_EQ(line.writes.size(), 2);
    EXPECT_EQ(line.closes, line.opens);
}

TEST_F(CommLine, EndCommWithoutTrafficLeavesCancelled)
{
    comm.EndComm();
    EXPECT_EQ(comm.CommError(), 3);
    EXPECT_TRUE(comm.CommDone());
}

TEST_F(CommLine, ReplyInPiecesIsJoined)
{
    line.respond = [](const QByteArray& r) {
        const QByteArray reply = DataReply(r, Reversed({0xAB, 0xCD, 0x00, 0x01}));
        return QList<QByteArray>{reply.left(1), reply.mid(1, 5), reply.mid(6, 7), reply.mid(13)};
    };
    QVector<qint32> words;
    ASSERT_TRUE(comm.GetRegisters(10, 2, words));
    EXPECT_EQ(words, (QVector<qint32>{0xABCD, 1}));
}

TEST_F(CommLine, StrayBytesBeforeReplyAreSkipped)
{
    int n = 0;
    line.respond = [&n](const QByteArray& r) {
        const QByteArray reply = DataReply(r, Reversed({0x00, 0x07}));
        // A stray STX on the first reply, a stray letter on the second.
        return QList<QByteArray>{QByteArray(1, ++n == 1 ? char(2) : 'x') + reply.left(4), reply.mid(4)};
    };
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(0, value));
    EXPECT_EQ(value, 7);
    value = 0;
    ASSERT_TRUE(comm.GetRegister(0, value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(line.writes.size(), 2);
}

TEST_F(CommLine, ShortReplyIsNeverSuccess)
{
    comm.SetRetries(1);
    int n = 0;
    line.respond = [&n](const QByteArray& r) {
        // First the right answer, then only an acknowledgement.
        if (++n == 1)
            return QList<QByteArray>{DataReply(r, Reversed({0x00, 0x2A}))};
        return QList<QByteArray>{Ack(r)};
    };
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(0, value));
    EXPECT_EQ(value, 42);
    value = -5;
    EXPECT_FALSE(comm.GetRegister(1, value));
    EXPECT_EQ(value, -5);
    EXPECT_EQ(comm.CommError(), 1);
}

TEST_F(CommLine, EchoedHeadLengthAndBlockCheckOfAReplyAreJudged)
{
    // Junk after a reply that echoes the request's stamp, address and size is ignored.
    line.respond = [](const QByteArray& r) {
        return QList<QByteArray>{Framed("F0" + r.mid(3, 1) + "0" + r.mid(5, 6) + Reversed({0x00, 0x2A})) + "\x02\x02junk"};
    };
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(0, value));
    EXPECT_EQ(value, 42);
    EXPECT_EQ(comm.ByteCount(), 15);

    // A non-hex address is no answer to this request.
    line.respond = [](const QByteArray& r) {
        return QList<QByteArray>{Framed("F0" + r.mid(3, 1) + "0" "ZZ\xFFZ" + r.mid(9, 2) + Reversed({0x00, 0x2A}))};
    };
    value = -1;
    EXPECT_FALSE(comm.GetRegister(0, value));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_EQ(value, -1);

    // A bit whose data character is no digit reads as not set.
    line.respond = [](const QByteArray& r) { return QList<QByteArray>{Framed("F0" + r.mid(3, 1) + "3" + r.mid(5, 6) + "G")}; };
    bool bit = true;
    ASSERT_TRUE(comm.GetBit(8, bit));
    EXPECT_FALSE(bit);
    line.respond = [](const QByteArray& r) { return QList<QByteArray>{Framed("F0" + r.mid(3, 1) + "3" + r.mid(5, 6) + "\x01")}; };
    bit = true;
    ASSERT_TRUE(comm.GetBit(8, bit));
    EXPECT_FALSE(bit);
}

TEST_F(CommLine, ReplyToAnEarlierPackageIsNotTakenAsTheAnswer)
{
    // Each reply carries a stamp; one from another package, or data for another address (the
    // package two before had the same stamp), is passed over and the wait goes on.
    line.respond = [](const QByteArray& r) {
        const QByteArray otherStamp = r.mid(3, 1) == "1" ? "2" : "1";
        return QList<QByteArray>{Framed("F0" + otherStamp + "0" + r.mid(5, 6) + Reversed({0x00, 0x07})),
                                 Framed("F0" + r.mid(3, 1) + "0" "4010" + r.mid(9, 2) + Reversed({0, 9})),
                                 DataReply(r, Reversed({0x00, 0x2A}))};
    };
    qint32 value = 0;
    ASSERT_TRUE(comm.GetRegister(0, value));
    EXPECT_EQ(value, 42);
    line.respond = [](const QByteArray& r) {
        const QByteArray otherStamp = r.mid(3, 1) == "1" ? "2" : "1";
        return QList<QByteArray>{Framed("F0" + otherStamp + r.mid(4, 1) + char(6))};
    };
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_EQ(comm.CommError(), 1);
}

TEST_F(CommLine, SizeAndTypeOfAReplyAreNeverCompared)
{
    // Units differ in what they put in these two fields: any size and type is the answer,
    // as long as the stamp (and for data the address) is the request's.
    struct Case {
        const char* what;
        QByteArray size; // empty: the request's own
        char type;       // 0: the request's own
    };
    const Case cases[] = {
        {"size counts the data", "01", '3'},  {"size echoed", "", '3'},
        {"size far off", "FF", '3'},          {"type of the request", "", 0},
        {"another type", "02", 'Z'},
    };
    for (const Case& c : cases) {
        const auto reply = [c](const QByteArray& r, const QByteArray& data) {
            return Framed("F0" + r.mid(3, 1) + (c.type ? QByteArray(1, c.type) : r.mid(4, 1)) + r.mid(5, 4)
                          + (c.size.isEmpty() ? r.mid(9, 2) : c.size) + data);
        };
        line.respond = [&](const QByteArray& r) { return QList<QByteArray>{reply(r, "1")}; };
        bool bit = false;
        EXPECT_TRUE(comm.GetBit(8, bit)) << c.what;
        EXPECT_TRUE(bit) << c.what;
        line.respond = [&](const QByteArray& r) { return QList<QByteArray>{reply(r, Reversed({0x12, 0x34}))}; };
        qint32 value = 0;
        EXPECT_TRUE(comm.GetRegister(7, value)) << c.what;
        EXPECT_EQ(value, 0x1234) << c.what;
        line.respond = [&](const QByteArray& r) { return QList<QByteArray>{reply(r, "\x05")}; };
        QVector<bool> bits;
        EXPECT_TRUE(comm.GetBits(16, 8, bits)) << c.what;
        EXPECT_EQ(bits, QVector<bool>({true, false, true, false, false, false, false, false})) << c.what;
        // An acknowledgement with another type character is an acknowledgement all the same.
        line.respond = [&](const QByteArray& r) {
            return QList<QByteArray>{Framed("F0" + r.mid(3, 1) + (c.type ? QByteArray(1, c.type) : r.mid(4, 1)) + char(6))};
        };
        EXPECT_TRUE(comm.SetRegister(0, 1)) << c.what;
    }
}

TEST_F(CommLine, FilterIgnoresRepliesNotToMaster)
{
    line.respond = [](const QByteArray& r) { return QList<QByteArray>{Framed("F1" + r.mid(3, 2) + char(6))}; };
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_EQ(comm.CommError(), 1);
    // Without the filter the same reply is checked and accepted.
    comm.SetIgnorenotToMaster(false);
    EXPECT_TRUE(comm.SetRegister(0, 1));
    // A wrong block check there is a rejection.
    line.respond = [](const QByteArray& r) {
        QByteArray b = Framed("F1" + r.mid(3, 2) + char(6));
        b.back() = char(b.back() ^ 1);
        return QList<QByteArray>{b};
    };
    EXPECT_FALSE(comm.SetRegister(0, 1));
}

TEST_F(CommLine, StampRunContinuesAcrossComms)
{
    AckEverything();
    XelCommTesting::ResetPackageStamp();
    Comm other;
    other.SetIdentity(240);
    other.SetRetries(0);
    EXPECT_TRUE(comm.SetBit(1, true));
    EXPECT_TRUE(other.SetBit(2, true));
    EXPECT_TRUE(comm.SetBit(3, true));
    EXPECT_TRUE(other.SetBit(4, false));
    QByteArray stamps;
    for (const QByteArray& w : line.writes)
        stamps += w[3];
    EXPECT_EQ(stamps, "0121");
    // Each Comm talks through its own port.
    EXPECT_EQ(line.writerIds, (QList<int>{1, 2, 1, 2}));
}

TEST_F(CommLine, RequestAfterEndCommUsesItsOwnPortAgain)
{
    AckEverything();
    EXPECT_TRUE(comm.SetRegister(0, 1));
    comm.EndComm();
    EXPECT_TRUE(comm.SetRegister(0, 2));
    EXPECT_EQ(comm.CommError(), 0);
    EXPECT_EQ(line.portsMade, 1);
    EXPECT_EQ(line.lastSettings, "9600,o,8,1");
}

TEST_F(CommLine, PortThatWillNotOpenFailsCleanly)
{
    line.refuseOpen = true;
    EXPECT_FALSE(comm.SetRegister(0, 1));
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_FALSE(comm.Active());
}

TEST_F(CommLine, SetRegistersExSendsThirtyTwoThirtyTwoSix)
{
    AckEverything();
    QVector<qint32> values;
    for (int i = 0; i < 70; ++i)
        values << 0x0100 + i;
    ASSERT_TRUE(comm.SetRegistersEx(100, values));
    ASSERT_EQ(line.writes.size(), 3);
    EXPECT_EQ(SentAddresses(), (QStringList{"4640", "4840", "4A40"}));
    EXPECT_EQ(line.writes[0].mid(9, 2), "40");
    EXPECT_EQ(line.writes[1].mid(9, 2), "40");
    EXPECT_EQ(line.writes[2].mid(9, 2), "0C");
    // Register 164 (value 0x0140) opens the last package, reversed.
    EXPECT_EQ(line.writes[2].mid(11, 2), Reversed({0x01, 0x40}));
    EXPECT_EQ(line.writes[2].size(), 13 + 12);
}

TEST_F(CommLine, GetRegistersExAppendsInOrder)
{
    line.respond = [](const QByteArray& r) {
        const int first = (r.mid(5, 4).toInt(nullptr, 16) - 0x4000) / 16;
        const int n = r.mid(9, 2).toInt(nullptr, 16) / 2;
        QByteArray data;
        for (int i = 0; i < n; ++i) {
            data += char(Package::ReverseBits(quint8((first + i) >> 8)));
            data += char(Package::ReverseBits(quint8(first + i)));
        }
        return QList<QByteArray>{DataReply(r, data)};
    };
    QVector<qint32> values{-1};
    ASSERT_TRUE(comm.GetRegistersEx(1000, 70, values));
    ASSERT_EQ(values.size(), 71);
    EXPECT_EQ(values[0], -1);
    for (int i = 0; i < 70; ++i)
        EXPECT_EQ(values[1 + i], 1000 + i);
    EXPECT_EQ(line.writes.size(), 3);
}

TEST_F(CommLine, FirstFailingPackageEndsTheRun)
{
    int n = 0;
    line.respond = [&n](const QByteArray& r) {
        return ++n == 2 ? QList<QByteArray>{} : QList<QByteArray>{Ack(r)};
    };
    EXPECT_FALSE(comm.SetRegistersEx(0, QVector<qint32>(100, 5)));
    EXPECT_EQ(line.writes.size(), 2);
    EXPECT_EQ(comm.CommError(), 1);
    EXPECT_FALSE(comm.Active());
}

TEST_F(CommLine, SetBitsSplitsLeadTrailAndMiddle)
{
    AckEverything();
    QVector<bool> values(20, false);
    values[5] = true;  // bit 8
    values[12] = true; // bit 15
    values[0] = true;  // bit 3
    ASSERT_TRUE(comm.SetBits(3, values));
    ASSERT_EQ(line.writes.size(), 13);
    EXPECT_EQ(SentAddresses(), (QStringList{"0003", "0004", "0005", "0006", "0007", "0010", "0011", "0012", "0013",
                                            "0014", "0015", "0016", "0008"}));
    EXPECT_EQ(line.writes[0].mid(4, 1), "3");
    EXPECT_EQ(line.writes[0][11], '1');
    EXPECT_EQ(line.writes[1][11], '0');
    const QByteArray packed = line.writes.last();
    EXPECT_EQ(packed.mid(4, 7), "0000801");
    EXPECT_EQ(quint8(packed[11]), 0x81); // not reversed
}

TEST_F(CommLine, BitRunsOfEveryShape)
{
    AckEverything();
    struct Shape {
        int start, count, packages;
        const char* packedAddress;
    };
    const Shape shapes[] = {
        {8, 16, 1, "0008"}, // whole bytes only
        {8, 5, 5, nullptr}, // trail only
        {5, 3, 3, nullptr}, // lead only
        {0, 0, 0, nullptr}, // nothing at all
        {1, 524, 7 + 5 + 1, "0008"}, // all three, middle of 512 bits
    };
    for (const Shape& s : shapes) {
        line.writes.clear();
        ASSERT_TRUE(comm.SetBits(qint16(s.start), QVector<bool>(s.count, true))) << s.start;
        EXPECT_EQ(line.writes.size(), s.packages) << s.start;
        if (s.packedAddress) {
            EXPECT_EQ(line.writes.last().mid(5, 4), s.packedAddress);
        }
    }
}

TEST_F(CommLine, GetBitsDecodesPackedAndSingleBits)
{
    line.respond = [](const QByteArray& r) {
        if (r[4] == '4') // single bit: odd addresses are set
            return QList<QByteArray>{DataReply(r, QByteArray(1, (r.mid(5, 4).toInt(nullptr, 16) & 1) ? '1' : '0'))};
        const int k = r.mid(9, 2).toInt(nullptr, 16);
        return QList<QByteArray>{DataReply(r, QByteArray(k, char(0xAA)))};
    };
    QVector<bool> bits{true, true, true};
    ASSERT_TRUE(comm.GetBits(6, 20, bits));
    ASSERT_EQ(bits.size(), 20);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(bits[k], ((6 + k) & 1) == 1) << k;
    bool one = false;
    ASSERT_TRUE(comm.GetBit(9, one));
    EXPECT_TRUE(one);

    QVector<bool> ex{false};
    ASSERT_TRUE(comm.GetBitsEx(3, 1100, ex));
    ASSERT_EQ(ex.size(), 1101);
    for (int k = 0; k < 1100; ++k)
        ASSERT_EQ(ex[1 + k], ((3 + k) & 1) == 1) << k;
}

} // namespace
