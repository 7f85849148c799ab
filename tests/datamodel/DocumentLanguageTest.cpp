// A document loads the language library once, at its first image build or CAN file load, and
// frees it when it ends: repeated builds never load and free it again.
#include "DocumentTestSupport.h"

#include "datamodel/XelMain.h"
#include "datamodel/cAnalogIn.h"
#include "platform/LibraryLoader.h"

using doctest::DocumentFixture;

namespace {

class CountingLoader : public platform::LibraryLoader {
public:
    int loads = 0;
    int frees = 0;
    quintptr Load(const QString&) override { return quintptr(++loads); }
    void Free(quintptr) override { ++frees; }
    std::optional<QString> String(quintptr, quint16 id) override
    {
        if (id == 10000)
            return QStringLiteral("English");
        if (id == 10001)
            return QStringLiteral("20-Mode");
        if (id == 936)
            return QStringLiteral("J1939");
        return std::nullopt;
    }
};

class DocumentLanguageTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        platform::LibraryLoader::SetInstance(nullptr);
        DocumentFixture::TearDown();
    }
};

TEST_F(DocumentLanguageTest, ManyBuildsAndLoadsShareOneLoad)
{
    auto source = CreateDefaultSetupDocument();
    source->Main()->SetCAN(true);
    for (int key = 12; key <= 17; ++key)
        source->AnalogIn()->Add(key, "J1939");
    const QString path = PathOf("can.QRN");
    ASSERT_TRUE(source->SaveFile(path));

    auto doc = CreateDefaultSetupDocument();
    CountingLoader loader;
    platform::LibraryLoader::SetInstance(&loader);
    {
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(doc->CreateSetup("4.47"));
        for (int i = 0; i < 5; ++i) {
            while (doc->AnalogIn()->Count() > 11)
                doc->AnalogIn()->Remove(doc->AnalogIn()->Count());
            ASSERT_TRUE(doc->LoadFile(path)); // CAN on: channels 12 to 17 get their texts
            ASSERT_EQ(doc->AnalogIn()->Count(), 17);
        }
        QVector<qint32> words;
        ASSERT_TRUE(doc->GetSetup(words));
        EXPECT_EQ(words[495], ('M' << 8) | 'o'); // the display text reached the image (byte 990)
        EXPECT_EQ(loader.loads, 1);
        EXPECT_EQ(loader.frees, 0);
    }
    doc.reset();
    EXPECT_EQ(loader.frees, 1);
}

} // namespace
