#pragma once
// A shown window with one entry box and a plain field to move the focus to, and a log of
// the box's events in the order they came.
#include "controls/EntryBox.h"
#include "tests/common/Doubles.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <ostream>

// Readable values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(", ").toStdString() << ']'; }

namespace entrytest {

template <class Box>
struct Harness {
    testing_doubles::PlatformDoubles doubles;
    QWidget window;
    Box* box = nullptr;
    QLineEdit* other = nullptr;
    QStringList log;

    Harness()
    {
        box = new Box(&window);
        box->setGeometry(10, 10, 100, 24);
        other = new QLineEdit(&window);
        other->setObjectName("other");
        other->setGeometry(10, 50, 100, 24);
        QObject::connect(box, &Box::Change, [this] { log << "Change:" + box->Text(); });
        QObject::connect(box, &Box::ErrorValue, [this] { log << "ErrorValue"; });
        QObject::connect(box, &Box::KeyDown, [this](qint16& code, qint16&) { log << QString("KeyDown:%1").arg(code); });
        QObject::connect(box, &Box::KeyUp, [this](qint16& code, qint16&) { log << QString("KeyUp:%1").arg(code); });
        QObject::connect(box, &Box::KeyPress, [this](qint16& ascii) { log << QString("KeyPress:%1").arg(ascii); });
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        // Start with the focus outside the box.
        other->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        log.clear();
    }

    QLineEdit* text() const { return box->TextBox(); }
    int beeps() const { return doubles.presenter.beeps; }

    // Puts the focus into the box and lets its own selection settle.
    void focusBox()
    {
        box->TextBox()->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // Moves the focus to the other field, as a Tab would, and lets queued work run.
    void leaveBox()
    {
        other->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // Shows a text with the caret at its end, as if typed up to there. An empty start is a
    // selected text that the first key replaces.
    void start(const QString& shown)
    {
        if (shown.isEmpty()) {
            box->TextBox()->setText(QStringLiteral("0"));
            box->TextBox()->selectAll();
        } else {
            box->TextBox()->setText(shown);
            box->TextBox()->setCursorPosition(int(shown.size()));
        }
        log.clear();
        doubles.presenter.beeps = 0;
    }
    void type(const QString& keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(box->TextBox(), c.toLatin1());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(box->TextBox(), k, mods); }
};

} // namespace entrytest
