// The Info. page on its own and the info-window template file.
#include "tests/app/pages/general/MainTestSupport.h"

#include "app/pages/general/InfoPage.h"
#include "app/pages/general/InfoTemplateFile.h"
#include "app/services/modRegistry.h"
#include "controls/InfoWindow.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/NonRegularFiles.h"
#include "datamodel/XelInfo.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest/QTest>

using namespace generaltest;

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString Line(QChar ch, int length) { return QString(length, ch); }

// One typed character, also outside ASCII.
void Type(QWidget* target, QChar ch)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &release);
}

class InfoPageTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        page = std::make_unique<InfoPage>(state);
        state.infoPage = page.get();
        page->LoadInfo();
        page->show();
    }
    void TearDown() override
    {
        page.reset();
        PageFixture::TearDown();
    }
    QLineEdit* Name(int i) const { return page->findChild<QLineEdit*>(QStringLiteral("txtInfo_%1").arg(i)); }
    InfoWindow* Window() const { return page->findChild<InfoWindow*>("txtInfoWindow"); }
    QString Stored() const { return setup->Info()->Info(); }
    void Show(const QString& text)
    {
        setup->Info()->SetInfo(text);
        setup->ResetBackup();
        page->LoadInfo();
    }
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = doubles.dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<InfoPage> page;
};

TEST_F(InfoPageTest, ShowSplitsNameAndWindow)
{
    struct Case {
        QString text;
        QString head, tail;
        bool tailShown;
        QString window;
    } cases[] = {
        {"", "", "", false, ""},
        {"ENGINE", "ENGINE", "", false, ""},
        {"MAIN ENGINE PORT SIDE" + CRLF + "line 1" + CRLF + "line 2", "MAIN ENGINE ", "PORT SIDE", true,
         "line 1" + CRLF + "line 2"},
        {"TWELVE CHARS" + CRLF + "x", "TWELVE CHARS", "", false, "x"},
        {Line('N', 38) + CRLF, Line('N', 12), Line('N', 26), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Show(c.text);
        EXPECT_EQ(Name(0)->text(), c.head);
        EXPECT_EQ(Name(1)->text(), c.tail);
        EXPECT_EQ(!Name(1)->isHidden(), c.tailShown);
        EXPECT_EQ(Window()->Text(), c.window);
        EXPECT_FALSE(setup->Changed());
    }
}

TEST_F(InfoPageTest, BothNameBoxesStoreTheirCharacters)
{
    Show("MAIN ENGINE PORT SIDE" + CRLF + "hello");
    Name(1)->setText("STARBOARD");
    EXPECT_EQ(Stored(), "MAIN ENGINE STARBOARD" + CRLF + "hello");
    Name(0)->setText("AUX ENGINE 1");
    EXPECT_EQ(Stored(), "AUX ENGINE 1STARBOARD" + CRLF + "hello");
    page->hide(); // a page not on show stores all the same
    Name(1)->setText("AFT");
    EXPECT_EQ(Stored(), "AUX ENGINE 1AFT" + CRLF + "hello");
}

TEST_F(InfoPageTest, NameAloneStoresAnEmptyWindow)
{
    Show("ENGINE");
    Name(0)->setText("ENGINE 2");
    EXPECT_EQ(Stored(), "ENGINE 2" + CRLF);
    Window()->SetText("first" + CRLF + "second");
    EXPECT_EQ(Stored(), "ENGINE 2" + CRLF + "first" + CRLF + "second");
    page->SetInfoDefaults();
    EXPECT_EQ(Stored(), "");
}

TEST_F(InfoPageTest, WindowTakesOnlyUnitCharactersFromTheKeyboard)
{
    Window()->hWndEdit()->setFocus();
    for (QChar ch : QStringLiteral("Aø€"))
        Type(Window()->hWndEdit(), ch);
    EXPECT_EQ(Window()->Text(), QStringLiteral("Aö"));
    EXPECT_GE(doubles.presenter.beeps, 1);
    EXPECT_EQ(Stored(), CRLF + QStringLiteral("Aö"));
    for (QChar ch : QStringLiteral("€x"))
        Type(Name(0), ch);
    EXPECT_EQ(Name(0)->text(), QStringLiteral("€x")) << "the name boxes take any character";
}

TEST_F(InfoPageTest, TemplateFilesAreCheckedOnRead)
{
    const QByteArray good38(38, 'a');
    struct Case {
        const char* what;
        QByteArray bytes;
        InfoTemplateFile::ReadResult result;
        QString name, window;
    } cases[] = {
        {"eight lines of 38", "NAME\r\n" + (good38 + "\r\n").repeated(7), InfoTemplateFile::ReadResult::Ok, "NAME",
         QStringList(7, QString::fromLatin1(good38)).join(CRLF)},
        {"no closing line break", "NAME\r\nA\r\nB", InfoTemplateFile::ReadResult::Ok, "NAME", "A" + CRLF + "B"},
        {"line feeds only", "NAME\nA\nB\n", InfoTemplateFile::ReadResult::Ok, "NAME", "A" + CRLF + "B"},
        {"empty", "", InfoTemplateFile::ReadResult::Ok, "", ""},
        {"long name is not checked", QByteArray(60, 'n') + "\r\nA\r\n", InfoTemplateFile::ReadResult::Ok,
         QString(60, 'n'), "A"},
        {"o with stroke", "N\r\nK\xf8r\r\n", InfoTemplateFile::ReadResult::Ok, "N", QStringLiteral("Kör")},
        {"nine lines", "NAME\r\n" + QByteArray("x\r\n").repeated(8), InfoTemplateFile::ReadResult::Invalid, "", ""},
        {"line of 39", "NAME\r\n" + QByteArray(39, 'a') + "\r\n", InfoTemplateFile::ReadResult::Invalid, "", ""},
        {"tab in the window", "NAME\r\na\tb\r\n", InfoTemplateFile::ReadResult::Invalid, "", ""},
        {"euro sign", "NAME\r\n\x80\r\n", InfoTemplateFile::ReadResult::Invalid, "", ""},
        {"far too large", QByteArray(100000, 'x'), InfoTemplateFile::ReadResult::Invalid, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = WriteFile("t.txt", c.bytes);
        InfoTemplateFile::Content content;
        EXPECT_EQ(InfoTemplateFile::Read(path, content), c.result);
        EXPECT_EQ(content.name, c.name);
        EXPECT_EQ(content.window, c.window);
    }
    // Names that are no regular file: a pipe would hold the read, a device might never end.
    const QString pipe = doubles.dir.filePath("pipe.txt");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    ASSERT_TRUE(QDir(doubles.dir.path()).mkdir("folder.txt"));
    for (const QString& path : {doubles.dir.filePath("none.txt"), pipe, doubles.dir.filePath("folder.txt"),
                                testing_files::Device()}) {
        InfoTemplateFile::Content content;
        const testing_files::Deadline deadline("InfoTemplateFile::Read(" + path.toStdString() + ")");
        EXPECT_EQ(InfoTemplateFile::Read(path, content), InfoTemplateFile::ReadResult::CannotRead) << path.toStdString();
    }
}

TEST_F(InfoPageTest, LoadTemplateFillsThePageOrRefusesWithItsMessage)
{
    Show("OLD NAME" + CRLF + "old text");
    const QString good = WriteFile("good.txt", "GENERATOR SET NUMBER 2\r\nline one\r\nline two\r\n");
    const QString bad = WriteFile("bad.txt", "NAME\r\n" + QByteArray(39, 'x') + "\r\n");
    modRegistry::SaveInfoTemplate(good);

    dialogs.answers = {bad};
    page->LoadTemplate();
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].title, "Load Info Template");
    EXPECT_EQ(dialogs.requests[0].filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(dialogs.requests[0].fileName, good);
    EXPECT_EQ(Messages(), QStringList{Lang(141, {bad})});
    EXPECT_EQ(doubles.presenter.shown.first().style, 64);
    EXPECT_EQ(Stored(), "OLD NAME" + CRLF + "old text");
    EXPECT_EQ(modRegistry::GetInfoTemplate(), good);

    doubles.presenter.shown.clear();
    dialogs.answers = {good};
    page->LoadTemplate();
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(Name(0)->text(), "GENERATOR SE");
    EXPECT_EQ(Name(1)->text(), "T NUMBER 2");
    EXPECT_FALSE(Name(1)->isHidden());
    EXPECT_EQ(Stored(), "GENERATOR SET NUMBER 2" + CRLF + "line one" + CRLF + "line two");

    dialogs.answers = {QString()}; // cancelled
    page->LoadTemplate();
    EXPECT_EQ(Stored(), "GENERATOR SET NUMBER 2" + CRLF + "line one" + CRLF + "line two");
    EXPECT_TRUE(Messages().isEmpty());

    dialogs.answers = {doubles.dir.filePath("gone.txt")};
    page->LoadTemplate();
    EXPECT_EQ(Messages(), QStringList{Lang(104, {doubles.dir.filePath("gone.txt")})});
}

TEST_F(InfoPageTest, SaveTemplateAsksForOtherExtensionsAndWritesTheRecord)
{
    Show("MAIN ENGINE PORT" + CRLF + "a" + CRLF + "b");
    struct Case {
        QStringList choices;
        QList<int> answers;
        int questions;
        QString written; // "" when nothing is written
    } cases[] = {
        {{"t1.txt"}, {}, 0, "t1.txt"},
        {{"t2.TXT"}, {}, 0, "t2.TXT"},
        {{"t3.dat"}, {platform::MsgResult::Yes}, 1, "t3.dat"},
        {{"t4", "t4.txt"}, {platform::MsgResult::No}, 1, "t4.txt"},
        {{"t5.dat", ""}, {platform::MsgResult::No}, 1, ""},
        {{""}, {}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choices.join(",").toStdString());
        doubles.presenter.shown.clear();
        dialogs.requests.clear();
        dialogs.answers.clear();
        for (const QString& choice : c.choices)
            dialogs.answers << (choice.isEmpty() ? QString() : doubles.dir.filePath(choice));
        doubles.presenter.answers = c.answers;
        page->SaveTemplate();
        EXPECT_EQ(Messages().size(), c.questions);
        if (c.questions)
            EXPECT_EQ(Messages().first(), Lang(195, {doubles.dir.filePath(c.choices.first())}));
        EXPECT_EQ(dialogs.requests.size(), c.choices.size());
        EXPECT_EQ(dialogs.requests.first().title, "Save Info Template");
        if (c.written.isEmpty())
            continue;
        const QString path = doubles.dir.filePath(c.written);
        EXPECT_EQ(ReadFile(path), QByteArray("MAIN ENGINE PORT\r\na\r\nb\r\n"));
        EXPECT_EQ(modRegistry::GetInfoTemplate(), path);
    }
    for (const char* never : {"t5.dat", "t4"})
        EXPECT_FALSE(QFileInfo::exists(doubles.dir.filePath(never))) << never;
}

TEST_F(InfoPageTest, SavedTemplateLoadsBackTheSameText)
{
    Show("ENGINE" + CRLF + "K\u00f6r" + CRLF + CRLF + "end");
    const QString path = doubles.dir.filePath("round.txt");
    dialogs.answers = {path};
    page->SaveTemplate();
    EXPECT_EQ(ReadFile(path), QByteArray("ENGINE\r\nK\xf6r\r\n\r\nend\r\n"));
    Show("");
    dialogs.answers = {path};
    page->LoadTemplate();
    EXPECT_EQ(Stored(), "ENGINE" + CRLF + "K\u00f6r" + CRLF + CRLF + "end");
}

TEST_F(InfoPageTest, FailedSaveReportsAndKeepsTheOldFile)
{
    Show("NAME" + CRLF + "text");
    // A folder under the chosen name: the file cannot take its place.
    const QString path = doubles.dir.filePath("t.txt");
    ASSERT_TRUE(QDir().mkdir(path));
    modRegistry::SaveInfoTemplate("previous.txt");
    dialogs.answers = {path};
    page->SaveTemplate();
    EXPECT_EQ(Messages(), QStringList{Lang(190, {"t.txt", path})});
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(modRegistry::GetInfoTemplate(), "previous.txt");
    const QStringList left = QDir(doubles.dir.path()).entryList({"t.txt*"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << "no half-written file is left: " << left.join(",").toStdString();
}

// A disk that takes only part of the template: message 190, the old template stays as it was
// and stays the one remembered.
TEST_F(InfoPageTest, ASaveOnAFullDiskKeepsTheOldTemplate)
{
    const QString path = doubles.dir.filePath("full.txt");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("OLD NAME\r\nold window text\r\n");
    }
    const QByteArray before = ReadFile(path);
    modRegistry::SaveInfoTemplate("previous.txt");
    Show("NEW NAME" + CRLF + "a much longer window text than the old one");
    dialogs.answers = {path};
    {
        FileSizeLimit disk(16);
        page->SaveTemplate();
    }
    EXPECT_EQ(Messages(), QStringList{Lang(190, {"full.txt", path})});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(modRegistry::GetInfoTemplate(), "previous.txt");
    EXPECT_EQ(QDir(doubles.dir.path()).entryList({"full.txt*"}, QDir::Files), QStringList{"full.txt"});
}

} // namespace
