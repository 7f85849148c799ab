#include "datamodel/XelCollection.h"

#include <gtest/gtest.h>

namespace {

struct Dummy {
    qint32 index = -1;
    bool changed = false;
    int resets = 0;
    void SetIndex(qint32 v) { index = v; }
    bool Changed() const { return changed; }
    void ResetBackup() { ++resets; changed = false; }
};

class cDummy : public XelCollection<Dummy> {
public:
    Dummy* Add(qint32 key) { return AddNew(key); }
};

} // namespace

TEST(Collection, KeyAndPositionAreDistinct)
{
    cDummy c;
    ASSERT_NE(c.Add(5), nullptr);
    ASSERT_NE(c.Add(1), nullptr);
    Dummy* three = c.Add(3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->index, 3);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(3), three);        // third by position
    EXPECT_EQ(c.Item("3*"), three);     // by key text
    EXPECT_EQ(c.Item(1)->index, 5);
    EXPECT_EQ(c.Item("5*")->index, 5);
    EXPECT_EQ(c.Item("3"), nullptr);    // key texts carry the star
}

TEST(Collection, MissingItemsAndBadKeys)
{
    cDummy c;
    EXPECT_EQ(c.Item(1), nullptr);
    EXPECT_EQ(c.Item(0), nullptr);
    EXPECT_FALSE(c.Remove(1));
    EXPECT_FALSE(c.Remove("1*"));
    ASSERT_NE(c.Add(0), nullptr);
    ASSERT_NE(c.Add(255), nullptr);
    EXPECT_EQ(c.Add(256), nullptr);
    EXPECT_EQ(c.Add(-1), nullptr);
    EXPECT_EQ(c.Add(0), nullptr); // already present
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item(3), nullptr);
    EXPECT_EQ(c.Item(-1), nullptr);
}

TEST(Collection, RemoveKeepsOrderAndFreesTheKey)
{
    cDummy c;
    for (int k = 1; k <= 4; ++k)
        c.Add(k);
    EXPECT_TRUE(c.Remove("2*"));
    EXPECT_TRUE(c.Remove(3)); // now key 4
    QVector<qint32> order;
    for (Dummy* d : c)
        order.append(d->index);
    EXPECT_EQ(order, (QVector<qint32>{1, 3}));
    EXPECT_NE(c.Add(2), nullptr); // key free again, added at the end
    EXPECT_EQ(c.NewEnum().last()->index, 2);
}

TEST(Collection, ChangedAndResetBackupLoop)
{
    cDummy c;
    c.Add(1);
    c.Add(2);
    EXPECT_FALSE(c.Changed());
    c.Item(2)->changed = true;
    EXPECT_TRUE(c.Changed());
    c.ResetBackup();
    EXPECT_FALSE(c.Changed());
    EXPECT_EQ(c.Item(1)->resets, 1);
}
