// The setup document: its parts, the default setup, file names, change detection with the
// silent save of a transfer record, and the engine-hour source.
#include "DocumentTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cInstrument.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/FileIdentity.h"
#include "tests/common/FileSizeLimit.h"

#include <QDir>
#include <functional>

using doctest::DocumentFixture;
using doctest::ReadAll;

namespace {

class DocumentTest : public DocumentFixture {};

TEST_F(DocumentTest, ANewDocumentHasItsPartsAndNoFile)
{
    XelObject doc;
    EXPECT_EQ(doc.Version(), "2.15.0");
    EXPECT_FALSE(doc.Initialized());
    EXPECT_TRUE(doc.Filename().isEmpty());
    EXPECT_TRUE(doc.FileTitle().isEmpty());
    ASSERT_NE(doc.Main(), nullptr);
    ASSERT_NE(doc.SMSNumbers(), nullptr);
    EXPECT_NE(doc.Relay(), doc.RelayNew());
    EXPECT_EQ(doc.DigitalIn()->Count(), 0);
    EXPECT_EQ(doc.AnalogIn()->Count(), 0);
    EXPECT_FALSE(doc.Changed());
}

TEST_F(DocumentTest, TheDefaultSetupHoldsEveryItemWithItsDefaults)
{
    auto doc = CreateDefaultSetupDocument();
    EXPECT_FALSE(doc->Changed());
    ASSERT_EQ(doc->DigitalIn()->Count(), 12);
    EXPECT_EQ(doc->DigitalIn()->Item("1*")->Terminal().trimmed(), "7");
    EXPECT_EQ(doc->DigitalIn()->Item("12*")->Terminal().trimmed(), "18");
    EXPECT_EQ(doc->DigitalIn()->Item(5)->Delay(), 2);
    EXPECT_EQ(doc->DigitalIn()->Item(5)->InitialDelay(), 15);
    EXPECT_EQ(doc->DigitalIn()->Item(5)->Action(), 2);

    ASSERT_EQ(doc->AnalogIn()->Count(), 11);
    EXPECT_EQ(doc->AnalogIn()->Item("1*")->Terminal().trimmed(), "19-20");
    EXPECT_EQ(doc->AnalogIn()->Item("5*")->Terminal(), "27-28 (AX-");
    EXPECT_EQ(doc->AnalogIn()->Item("11*")->Terminal().trimmed(), "AX-2:13-14");
    const XelAnalogIn* a = doc->AnalogIn()->Item(7);
    EXPECT_EQ(a->SensorMax(), 1000);
    EXPECT_EQ(a->AlarmDelay(), 2);
    EXPECT_EQ(a->RPM(0), 600);
    EXPECT_EQ(a->RPM(1), 1200);

    EXPECT_EQ(doc->Relay()->Count(), 14);
    ASSERT_EQ(doc->RelayNew()->Count(), 2);
    EXPECT_EQ(doc->RelayNew()->Item(1)->RelayText(), "K7");
    EXPECT_EQ(doc->RelayNew()->Item(1)->FunctionNo(), 46);
    EXPECT_TRUE(doc->RelayNew()->Item(1)->InUse());
    EXPECT_EQ(doc->RelayNew()->Item(2)->RelayText(), "K9");
    EXPECT_EQ(doc->RelayNew()->Item(2)->FunctionNo(), 66);
    ASSERT_EQ(doc->SpeedRelays()->Count(), 4);
    EXPECT_EQ(doc->SpeedRelays()->Item("4*")->FunctionNo(), 61);
    EXPECT_EQ(doc->SpeedRelays()->Item(1)->Descript(), "Speed Relay 1");
    ASSERT_EQ(doc->DigitalInAdditional()->Count(), 2);
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->Terminal(), 62);
    EXPECT_EQ(doc->Instrument()->Count(), 0);
    EXPECT_EQ(doc->SMSNumbers()->Count(), 0);

    EXPECT_EQ(doc->Main()->RunDelay(), 60);
    EXPECT_EQ(doc->Main()->CANNumber(), 171);
    EXPECT_TRUE(doc->Main()->Classified());
    EXPECT_EQ(doc->SpeedSensor()->NomSpeed(), 1500);
}

TEST_F(DocumentTest, FileTitleIsTheNameAfterTheLastFolderSeparator)
{
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(QDir(doubles.dir.path()).mkpath("sub"));
    const QString path = PathOf("sub/Engine 1.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    EXPECT_TRUE(doc->Initialized());
    EXPECT_EQ(doc->Filename(), path);
    EXPECT_EQ(doc->FileTitle(), "Engine 1.QRN");

    // A backslash separates folders too (a name written on the unit's home system).
    const QString windowsStyle = PathOf("C:\\Setups\\Ship.QRN");
    ASSERT_TRUE(doc->SaveFile(windowsStyle));
    EXPECT_EQ(doc->FileTitle(), "Ship.QRN");
}

// A change that only records the last transfer is saved silently, keeping the file's time,
// into a file of the current format read to its end and not read-only. Any other file is left
// as it was for the user's own save, and the change does not count either way.
TEST_F(DocumentTest, ATransferRecordAloneIsSavedSilentlyOnlyIntoACurrentWholeWritableFile)
{
    enum Kind { Current, OlderFormat, UnreadBytes, ReadOnly };
    for (Kind kind : {Current, OlderFormat, UnreadBytes, ReadOnly}) {
        SCOPED_TRACE(int(kind));
        const QString path = PathOf(QStringLiteral("silent%1.QRN").arg(int(kind)));
        ASSERT_TRUE(CreateDefaultSetupDocument()->SaveFile(path));
        QByteArray bytes = ReadAll(path);
        if (kind == OlderFormat) {
            bytes.remove(7 + 73 + 6, 2); // 2.14 lacks the main record's last field
            bytes[5] = 14;
        } else if (kind == UnreadBytes) {
            bytes += QByteArray("\x01\x00+4712345678\x00\x00", 16);
        }
        ASSERT_TRUE(doctest::WriteAll(path, bytes));
        const QDateTime old(QDate(2020, 1, 2), QTime(3, 4, 5));
        ASSERT_TRUE(testing_doubles::SetLastWriteTime(path, old));
        auto doc = CreateDefaultSetupDocument();
        ASSERT_TRUE(doc->LoadFile(path));
        if (kind == ReadOnly)
            ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
        EXPECT_EQ(doc->TransferRecordSavable(), kind == Current);

        doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        EXPECT_FALSE(doc->Changed());
        EXPECT_FALSE(doc->Changed()); // the save reset the backups, or nothing was saved
        QDateTime now;
        ASSERT_TRUE(platform::FileIdentity::Instance().LastWriteTime(path, now));
        EXPECT_EQ(now.toSecsSinceEpoch(), old.toSecsSinceEpoch());
        auto reread = CreateDefaultSetupDocument();
        ASSERT_TRUE(reread->LoadFile(path));
        EXPECT_EQ(reread->Main()->Firmware().trimmed(), kind == Current ? "4.47" : "");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
}

// The silent save writes only into the file this document read or last saved itself, and
// keeps its time to the nanosecond. Another program's change, a file put in its place by a
// rename (a newer version's) or a removed file leave the record to the user's own save.
TEST_F(DocumentTest, ATransferRecordIsSavedOnlyWhileTheFileOnDiskIsTheOneRead)
{
    platform::FileIdentity& identity = platform::FileIdentity::Instance();
    const QString path = PathOf("identity.QRN");
    std::unique_ptr<XelObject> doc;
    platform::FileStamp read, later;
    const struct Row {
        const char* name;
        std::function<void()> change;
        bool saved;
    } rows[] = {
        {"unchanged", [] {}, true},
        {"saved by this document", [&] { ASSERT_TRUE(doc->SaveFile()); }, true},
        {"content rewritten in place", [&] { ASSERT_TRUE(doctest::WriteAll(path, ReadAll(path).replace(20, 1, "#"))); }, false},
        {"size alone", [&] {
             ASSERT_TRUE(doctest::WriteAll(path, ReadAll(path) + "#") && identity.SetLastWriteTime(path, read));
         }, false},
        {"time a nanosecond on", [&] { ++later.writeNanoseconds; ASSERT_TRUE(identity.SetLastWriteTime(path, later)); }, false},
        {"a sibling of its size copied over it with its time (cp -p)", [&] {
             platform::FileStamp seen, now;
             ASSERT_TRUE(identity.Stamp(path, seen));
             const QByteArray sibling = ReadAll(path).replace(20, 1, "#");
             // Only the change time tells; it moves with the clock's tick, so copy until it shows.
             for (int copies = 0; copies < 10000; ++copies) {
                 ASSERT_TRUE(doctest::WriteAll(path, sibling) && identity.SetLastWriteTime(path, read));
                 ASSERT_TRUE(identity.Stamp(path, now));
                 if (now.changeSeconds != seen.changeSeconds || now.changeNanoseconds != seen.changeNanoseconds)
                     break;
             }
             ASSERT_EQ(now.size, seen.size);
             ASSERT_EQ(now.inode, seen.inode);
             ASSERT_EQ(now.LastWriteTime(), seen.LastWriteTime());
             ASSERT_EQ(now.writeNanoseconds, seen.writeNanoseconds);
         }, false},
        {"a newer version's file put in its place", [&] {
             ASSERT_TRUE(doctest::WriteAll(path + ".new", ReadAll(path).replace(3, 4, QByteArray("\x03\0\0\0", 4))));
             ASSERT_TRUE(identity.SetLastWriteTime(path + ".new", read) && QFile::remove(path));
             ASSERT_TRUE(QFile::rename(path + ".new", path));
         }, false},
        {"removed", [&] { ASSERT_TRUE(QFile::remove(path)); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(CreateDefaultSetupDocument()->SaveFile(path));
        ASSERT_TRUE(identity.Stamp(path, read));
        read.writeSeconds = 1577934245; // an old time, nanoseconds and all
        read.writeNanoseconds = 123456789;
        later = read;
        ASSERT_TRUE(identity.SetLastWriteTime(path, read));
        doc = CreateDefaultSetupDocument();
        ASSERT_TRUE(doc->LoadFile(path));
        row.change();
        platform::FileStamp before, after;
        identity.Stamp(path, before);
        const QByteArray bytes = ReadAll(path);
        // Twice: the document knows the file it saved silently as well.
        for (const char* firmware : {"4.47", "4.48"}) {
            doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, firmware, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
            EXPECT_EQ(doc->TransferRecordSavable(), row.saved);
            EXPECT_FALSE(doc->Changed());
            identity.Stamp(path, after);
            EXPECT_EQ(ReadAll(path) == bytes, !row.saved);
            EXPECT_EQ(after.writeSeconds, before.writeSeconds);
            EXPECT_EQ(after.writeNanoseconds, before.writeNanoseconds);
        }
        EXPECT_EQ(doc->Main()->Firmware().trimmed(), "4.48");
        QFile::remove(path);
    }
}

// Another program may change the file between the look that finds it savable and the write: the
// file is looked at once more right before it is written.
TEST_F(DocumentTest, ATransferRecordIsNotWrittenOverAChangeMadeAfterTheLook)
{
    const QString path = PathOf("late.QRN");
    ASSERT_TRUE(CreateDefaultSetupDocument()->SaveFile(path));
    // An old time, so their write differs from the read even within one tick of the clock.
    ASSERT_TRUE(testing_doubles::SetLastWriteTime(path, QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5))));
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadFile(path));
    const QByteArray theirs = ReadAll(path).replace(20, 1, "#");
    testing_doubles::SeenFiles files;
    files.watched = path;
    files.hookAfter = 1; // right after the look of TransferRecordSavable()
    files.hook = [&] { ASSERT_TRUE(doctest::WriteAll(path, theirs)); };
    doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    EXPECT_TRUE(doc->Changed());
    EXPECT_GE(files.stamps, 2);
    EXPECT_EQ(ReadAll(path), theirs);
}

TEST_F(DocumentTest, AnyOtherChangeCountsAndWritesNothing)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("changed.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    const QByteArray before = ReadAll(path);

    doc->Main()->RecordTransfer(MainFirmwareDirection::FromECX, "4.47", QDateTime::currentDateTime());
    doc->Main()->SetIDNumber(9);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(ReadAll(path), before);

    doc->Main()->SetIDNumber(1);
    doc->DigitalIn()->Item(3)->SetActive(true);
    EXPECT_TRUE(doc->Changed());
    doc->ResetBackup();
    EXPECT_FALSE(doc->Changed());
}

TEST_F(DocumentTest, SmsEditsNeverMakeTheDocumentChanged)
{
    auto doc = CreateDefaultSetupDocument();
    doc->SMS()->SetSend(true);
    doc->SMS()->SetSendToAll(true);
    doc->SMSNumbers()->Add(1)->SetNumber("+4712345678");
    EXPECT_FALSE(doc->Changed());
}

TEST_F(DocumentTest, WithoutAFileATransferRecordIsNotAChangeAndNothingIsWritten)
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime::currentDateTime());
    EXPECT_FALSE(doc->Changed());
    EXPECT_FALSE(doc->Initialized());
    EXPECT_EQ(QDir(doubles.dir.path()).entryList({"*.QRN"}, QDir::Files).size(), 0);
}

TEST_F(DocumentTest, AFailedSilentSaveLeavesTheDocumentChanged)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("full.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    const QByteArray before = ReadAll(path);

    doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", QDateTime::currentDateTime());
    FileSizeLimit disk(1000);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(DocumentTest, AClosedDocumentHasNoPartsAndRefusesEverything)
{
    auto doc = CreateDefaultSetupDocument();
    const QString path = PathOf("closed.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    EXPECT_TRUE(doc->CloseFile());
    EXPECT_EQ(doc->Main(), nullptr);
    EXPECT_EQ(doc->SMSNumbers(), nullptr);
    EXPECT_TRUE(doc->Filename().isEmpty());
    EXPECT_TRUE(doc->FileTitle().isEmpty());
    EXPECT_FALSE(doc->Changed());
    EXPECT_FALSE(doc->LoadFile(path));
    EXPECT_FALSE(doc->SaveFile(path));
    EXPECT_FALSE(doc->CreateTempFile(PathOf("t.QRN")));
    EXPECT_FALSE(doc->CreateSetup("4.47"));
    EXPECT_FALSE(doc->LoadSetup(QVector<qint32>(1536, 0), "4.47"));
    doc->ResetBackup();
}

TEST_F(DocumentTest, TheEngineHourSourceAmendsTheBuiltImage)
{
    auto doc = CreateDefaultSetupDocument();
    JData j;
    j.iTimeout = 20;
    j.iMID = 0;
    j.lPID = 0x1234;
    j.lPPID = 0xBEEF;
    j.iShr = 64;
    j.iSub = 7;
    EXPECT_FALSE(doc->AddEngineHourData(j)); // no image yet

    ASSERT_TRUE(doc->CreateSetup("4.47"));
    ASSERT_TRUE(doc->AddEngineHourData(j));
    QVector<qint32> words;
    ASSERT_TRUE(doc->GetSetup(words));
    EXPECT_EQ(words[1454], 20 * 256 + 0);  // bytes 2908, 2909
    EXPECT_EQ(words[1455], 0x1234);        // bytes 2910, 2911
    EXPECT_EQ(words[1456], 0xBEEF);        // bytes 2912, 2913
    EXPECT_EQ(words[1457], 64 * 256 + 7);  // bytes 2914, 2915

    JData tooBig = j;
    tooBig.lPPID = 65536;
    EXPECT_FALSE(doc->AddEngineHourData(tooBig));
    ASSERT_TRUE(doc->GetSetup(words));
    EXPECT_EQ(words[1456], 0xBEEF);
}

TEST_F(DocumentTest, GetSetupBeforeAnImageIsBuiltFailsWithoutAMessage)
{
    auto doc = CreateDefaultSetupDocument();
    QVector<qint32> words(3, 7);
    EXPECT_FALSE(doc->GetSetup(words));
    EXPECT_TRUE(words.isEmpty());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

} // namespace
