#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "platform/KeyTracker.h"
#include "tests/common/Doubles.h"

#include <QComboBox>
#include <QMimeData>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace pagecommon;

TEST(PageCommon, KeysRoundTrip)
{
    struct { int index; const char* key; } cases[] = {{1, "1*"}, {12, "12*"}, {0, "0*"}, {255, "255*"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ItemKey(c.index), QString::fromLatin1(c.key));
        EXPECT_EQ(KeyIndex(QString::fromLatin1(c.key)), c.index);
    }
    EXPECT_EQ(KeyIndex("*7"), 7); // the other way round names the same row
    EXPECT_EQ(KeyIndex("abc"), 0);
    EXPECT_EQ(KeyIndex(""), 0);
}

TEST(PageCommon, ScopedFlagRestoresOnEveryExit)
{
    bool flag = false;
    try {
        ScopedFlag guard(flag);
        EXPECT_TRUE(flag);
        throw 1;
    } catch (int) {
    }
    EXPECT_FALSE(flag);
    flag = true;
    {
        ScopedFlag inner(flag, false);
        EXPECT_FALSE(flag);
    }
    EXPECT_TRUE(flag);
}

TEST(PageCommon, DragPayloadIsKeyAndTwoNuls)
{
    std::unique_ptr<QMimeData> data(MakeDragPayload("12*"));
    EXPECT_EQ(data->data("VIRUDIVIRU"), QByteArray("12*\0\0", 5));
    QString key;
    ASSERT_TRUE(ReadDragPayload(data.get(), key));
    EXPECT_EQ(key, "12*");

    QMimeData foreign;
    foreign.setText("12*");
    EXPECT_FALSE(ReadDragPayload(&foreign, key));
    QMimeData empty;
    empty.setData("VIRUDIVIRU", QByteArray("\0\0", 2));
    EXPECT_FALSE(ReadDragPayload(&empty, key));
    EXPECT_FALSE(ReadDragPayload(nullptr, key));
}

TEST(PageCommon, RowsByKeyPictureColourAndBold)
{
    QTreeWidget list;
    QVector<QIcon> images(3, QIcon());
    AddRow(&list, "1*", "one", 2, images);
    QTreeWidgetItem* two = AddRow(&list, "2*", "two", 9, images); // outside the list: no icon
    EXPECT_EQ(RowByKey(&list, "2*"), two);
    EXPECT_EQ(RowByKey(&list, "3*"), nullptr);
    EXPECT_EQ(RowPicture(two), 9);
    EXPECT_TRUE(two->icon(0).isNull());
    SetRowColor(two, QColor(255, 72, 72));
    SetRowBold(two, true);
    EXPECT_EQ(RowColor(two), QColor(255, 72, 72));
    EXPECT_TRUE(RowBold(two));
    EXPECT_EQ(SelectedRowIndex(&list), 0);
    SelectRow(&list, two);
    EXPECT_EQ(SelectedRowIndex(&list), 2);
}

TEST(PageCommon, LanguageListComboSkipsMissingAndSelectsByData)
{
    testing_doubles::PlatformDoubles doubles;
    ASSERT_TRUE(extra::LoadLanguageLibrary());
    QComboBox combo;
    // The additional switch input functions: 1 "Standby" .. 4 "LOCAL Mode" at 6100..6103.
    FillComboFromLangList(&combo, 6099, 10); // 6100..6103 exist, 6104.. do not
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemData(0).toInt(), 1);
    EXPECT_EQ(combo.itemText(0), "Standby");
    EXPECT_EQ(SelectByItemData(&combo, 4), 3);
    EXPECT_EQ(CurrentItemData(&combo), 4);
    EXPECT_EQ(SelectByItemData(&combo, 99), -1);
    EXPECT_EQ(CurrentItemData(&combo, -7), -7);
    extra::FreeLanguageLibrary();
}

TEST(KeyTracker, LetterChordsFollowPressAndRelease)
{
    platform::KeyTracker::Install();
    QWidget w;
    w.show();
    QTest::keyPress(&w, Qt::Key_B);
    QTest::keyPress(&w, Qt::Key_N);
    EXPECT_TRUE(platform::KeyTracker::IsCharDown('B'));
    EXPECT_TRUE(platform::KeyTracker::IsCharDown('n'));
    QTest::keyRelease(&w, Qt::Key_B);
    EXPECT_FALSE(platform::KeyTracker::IsCharDown('B'));
    EXPECT_TRUE(platform::KeyTracker::IsCharDown('N'));
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(platform::KeyTracker::IsCharDown('N'));
}

TEST(SteppedTime, WaitsAdvanceTheClockWithoutRealTime)
{
    testing_doubles::PlatformDoubles doubles;
    platform::TimeSource& time = platform::TimeSource::Instance();
    const qint64 start = time.Milliseconds();
    time.Wait(3000);
    EXPECT_GE(time.Milliseconds() - start, 3000);
    // A pause loop that polls the clock ends.
    const qint64 t0 = time.Milliseconds();
    int polls = 0;
    while (time.Milliseconds() - t0 < 500) {
        time.ProcessEvents();
        ++polls;
    }
    EXPECT_GT(polls, 0);
    EXPECT_EQ(time.TimerInterval(2000), 20);
    EXPECT_EQ(time.TimerInterval(0), 0);
}
