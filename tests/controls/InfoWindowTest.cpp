// The info-window editor: the line and length limits under typing, paste and line breaks,
// the keys that are never refused, and the host's key substitution.
#include "controls/InfoWindow.h"
#include "EntryHarness.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

struct Editor {
    testing_doubles::PlatformDoubles doubles;
    InfoWindow info;
    QPlainTextEdit* edit = nullptr;
    int changes = 0;
    int moves = 0;

    Editor()
    {
        edit = info.hWndEdit();
        QObject::connect(&info, &InfoWindow::Change, [this] { ++changes; });
        QObject::connect(&info, &InfoWindow::KeyMove, [this] { ++moves; });
    }
    int beeps() const { return doubles.presenter.beeps; }
    void setCaret(int position)
    {
        QTextCursor c = edit->textCursor();
        c.setPosition(position);
        edit->setTextCursor(c);
    }
    void load(const QString& text)
    {
        info.SetText(text);
        changes = 0;
        moves = 0;
        setCaret(int(edit->toPlainText().size()));
    }
    void type(const QString& keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(edit, c.toLatin1());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(edit, k, mods); }
};

QString Lines(int count, int length)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QString(length, QChar('a' + i));
    return lines.join("\r\n");
}

TEST(InfoWindow, NewEditorHasTheUnitsGrid)
{
    Editor e;
    EXPECT_EQ(e.info.LineCount(), 8);
    EXPECT_EQ(e.info.LineLength(), 38);
    EXPECT_EQ(e.edit->objectName(), "txtInfoText");
    EXPECT_TRUE(e.info.Font().fixedPitch());
    EXPECT_EQ(e.info.Text(), "");
}

TEST(InfoWindow, TypingStopsAtTheLineLength)
{
    Editor e;
    e.load(Lines(1, 37));
    e.type("x");
    EXPECT_EQ(e.info.Text(), Lines(1, 37) + "x");
    EXPECT_EQ(e.changes, 1);
    e.type("y");
    EXPECT_EQ(e.info.Text(), Lines(1, 37) + "x");
    EXPECT_EQ(e.beeps(), 1);
    EXPECT_EQ(e.changes, 1);
    EXPECT_EQ(e.edit->textCursor().position(), 38);
}

TEST(InfoWindow, EnterOnTheLastLineAddsNoLine)
{
    Editor e;
    e.load(Lines(7, 5));
    e.key(Qt::Key_Return);
    EXPECT_EQ(e.info.CurrentLineCount(), 8);
    EXPECT_EQ(e.beeps(), 0);
    e.key(Qt::Key_Return);
    EXPECT_EQ(e.info.CurrentLineCount(), 8);
    EXPECT_EQ(e.beeps(), 1);
    EXPECT_EQ(e.info.Text(), Lines(7, 5) + "\r\n");
}

TEST(InfoWindow, EnterSplittingALineIsCheckedByLength)
{
    Editor e;
    e.info.SetLineLength(10);
    e.load("abcdefghij");
    e.setCaret(4);
    e.key(Qt::Key_Return);
    EXPECT_EQ(e.info.Text(), "abcd\r\nefghij");
    EXPECT_EQ(e.info.CurrentLine(), 2);
    EXPECT_EQ(e.info.CurrentLinePos(), 0);
}

TEST(InfoWindow, PastedTextBreakingALimitIsUndoneWhole)
{
    struct PasteCase {
        const char* name;
        QString clip;
        bool accepted;
    };
    const PasteCase cases[] = {
        {"nine lines", Lines(9, 3), false},
        {"line of forty", QString(40, 'z'), false},
        {"eight lines of 38", Lines(8, 38), true},
        {"line break with long tail", "ab\r\n" + QString(39, 'q'), false},
        // Soft breaks and lone CRs are lines too: nine of them are one too many.
        {"nine lines by soft breaks", Lines(9, 3).replace("\r\n", QString(QChar::LineSeparator)), false},
        {"nine lines by CRs", Lines(9, 3).replace("\r\n", "\r"), false},
    };
    for (const PasteCase& c : cases) {
        Editor e;
        e.load("");
        QGuiApplication::clipboard()->setText(c.clip);
        e.key(Qt::Key_V, Qt::ControlModifier);
        if (c.accepted) {
            EXPECT_EQ(e.info.Text(), c.clip) << c.name;
            EXPECT_EQ(e.changes, 1) << c.name;
        } else {
            EXPECT_EQ(e.info.Text(), "") << c.name;
            EXPECT_EQ(e.beeps(), 1) << c.name;
            EXPECT_EQ(e.changes, 0) << c.name;
        }
    }
}

TEST(InfoWindow, ShiftEnterBreaksARealLineUnderTheLineCount)
{
    Editor e;
    e.info.SetLineCount(3);
    e.load("");
    for (int i = 0; i < 4; ++i) {
        e.type("a");
        e.key(Qt::Key_Return, Qt::ShiftModifier);
    }
    EXPECT_EQ(e.info.Text(), "a\r\na\r\naa");
    EXPECT_EQ(e.info.CurrentLineCount(), 3);
    EXPECT_EQ(e.beeps(), 2); // the breaks for a fourth line
}

TEST(InfoWindow, RefusedPasteRestoresTheTextAndCaret)
{
    Editor e;
    e.load("first\r\nsecond");
    e.setCaret(3);
    QGuiApplication::clipboard()->setText(QString(40, 'z'));
    e.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.info.Text(), "first\r\nsecond");
    EXPECT_EQ(e.edit->textCursor().position(), 3);
    EXPECT_EQ(e.changes, 0);
}

TEST(InfoWindow, NavigationKeysAreNeverRefusedAndReportTheMove)
{
    Editor e;
    e.load(Lines(8, 38));
    e.setCaret(10);
    const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                            Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Backspace};
    for (Qt::Key k : keys)
        e.key(k);
    EXPECT_EQ(e.moves, 8);
    EXPECT_EQ(e.beeps(), 0);
    EXPECT_EQ(e.changes, 2); // Backspace and Delete each removed a character
    // Delete at a line's end would join two full lines: refused like any other edit.
    e.key(Qt::Key_Delete);
    EXPECT_EQ(e.beeps(), 1);
    EXPECT_EQ(e.changes, 2);
    EXPECT_EQ(e.info.CurrentLineCount(), 8);
}

// A Tab is never typed: it moves the focus (refused with a beep where there is nowhere to go),
// and with Ctrl it switches the page of the tab widget around the box.
TEST(InfoWindow, TabKeysMoveTheFocusOrThePageAndTypeNothing)
{
    const struct {
        const char* name;
        bool alone; // the other fields disabled
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int focus; // 0 the box, 1 the field before it, 2 the one after it
        int page, beeps;
    } cases[] = {
        {"Tab, nowhere to go", true, Qt::Key_Tab, Qt::NoModifier, 0, 0, 1},
        {"Tab", false, Qt::Key_Tab, Qt::NoModifier, 2, 0, 0},
        {"Shift+Tab", false, Qt::Key_Tab, Qt::ShiftModifier, 1, 0, 0},
        {"Backtab", false, Qt::Key_Backtab, Qt::ShiftModifier, 1, 0, 0},
        {"Ctrl+Tab", true, Qt::Key_Tab, Qt::ControlModifier, 0, 1, 0},
        {"Ctrl+Shift+Tab", false, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0, 2, 0},
    };
    for (const auto& c : cases) {
        testing_doubles::PlatformDoubles doubles;
        QTabWidget tabs;
        auto* page = new QWidget;
        auto* info = new InfoWindow(page);
        QWidget* fields[] = {info->hWndEdit(), new QLineEdit(page), new QLineEdit(page)};
        QWidget::setTabOrder(fields[1], info);
        QWidget::setTabOrder(info, fields[2]);
        fields[1]->setEnabled(!c.alone);
        fields[2]->setEnabled(!c.alone);
        for (const char* name : {"first", "second", "third"})
            tabs.addTab(tabs.count() ? new QWidget : page, name);
        tabs.findChild<QTabBar*>()->setFocusPolicy(Qt::NoFocus);
        tabs.show();
        info->SetText("abc");
        fields[0]->setFocus();
        QTest::keyClick(fields[0], c.key, c.mods);
        EXPECT_EQ(info->Text(), "abc") << c.name;
        EXPECT_EQ(doubles.presenter.beeps, c.beeps) << c.name;
        EXPECT_EQ(tabs.currentIndex(), c.page) << c.name;
        if (c.page == 0)
            EXPECT_EQ(tabs.focusWidget(), fields[c.focus]) << c.name;
    }
}

TEST(InfoWindow, CaretLineAndColumn)
{
    Editor e;
    e.load("abc\r\ndefgh");
    e.setCaret(0);
    EXPECT_EQ(e.info.CurrentLine(), 1);
    EXPECT_EQ(e.info.CurrentLinePos(), 0);
    e.setCaret(6);
    EXPECT_EQ(e.info.CurrentLine(), 2);
    EXPECT_EQ(e.info.CurrentLinePos(), 2);
}

TEST(InfoWindow, HostMaySubstituteOrDropTheTypedCharacter)
{
    Editor e;
    // As the unit-text filter does: o-slash becomes o-umlaut, a tilde is dropped.
    QObject::connect(&e.info, &InfoWindow::KeyPress, [](qint16& ascii) {
        if (ascii == 0xF8)
            ascii = 0xF6;
        else if (ascii == '~')
            ascii = 0;
    });
    e.load("");
    QKeyEvent oslash(QEvent::KeyPress, Qt::Key_Ooblique, Qt::NoModifier, QString(QChar(0xF8)));
    QApplication::sendEvent(e.edit, &oslash);
    e.type("~k");
    EXPECT_EQ(e.info.Text(), QString::fromUtf8("\xC3\xB6k"));
    EXPECT_EQ(e.changes, 2);
}

TEST(InfoWindow, SubstitutionCannotOverfillALine)
{
    Editor e;
    e.info.SetLineLength(3);
    QObject::connect(&e.info, &InfoWindow::KeyPress, [](qint16& ascii) { ascii = 'Z'; });
    e.load("ab");
    e.type("cd");
    EXPECT_EQ(e.info.Text(), "abZ");
    EXPECT_EQ(e.beeps(), 1);
}

TEST(InfoWindow, TextSetByTheProgramIsCheckedToo)
{
    Editor e;
    e.info.SetLineCount(7);
    e.load("keep");
    e.info.SetText(Lines(8, 2));
    EXPECT_EQ(e.info.Text(), "keep");
    EXPECT_EQ(e.beeps(), 1);
    EXPECT_EQ(e.changes, 0);
    e.info.SetText("one\ntwo");
    EXPECT_EQ(e.info.Text(), "one\r\ntwo");
    EXPECT_EQ(e.changes, 1);
}

TEST(InfoWindow, LockedEditorTakesNoKeys)
{
    Editor e;
    e.load("abc");
    e.info.SetLocked(true);
    int presses = 0;
    QObject::connect(&e.info, &InfoWindow::KeyPress, [&](qint16&) { ++presses; });
    e.type("x");
    e.key(Qt::Key_Tab);
    EXPECT_EQ(e.info.Text(), "abc");
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(e.beeps(), 0);
}

TEST(InfoWindow, StoredPropertiesRoundTrip)
{
    Editor e;
    e.info.SetLineCount(7);
    e.info.SetText("Hello\r\nWorld");
    const QVariantMap bag = e.info.WriteProperties();
    EXPECT_EQ(bag.value("LineCount").toInt(), 7);
    EXPECT_FALSE(bag.contains("LineLength"));
    InfoWindow loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.LineCount(), 7);
    EXPECT_EQ(loaded.Text(), "Hello\r\nWorld");
}

} // namespace
