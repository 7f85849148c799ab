#include "seriallink/frmDebug.h"
#include "seriallink/Trace.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>

namespace {

bool g_debugOn = false;
QPointer<frmDebug> g_window;

// 300 twips at the usual 15 twips a pixel.
constexpr int kBottomGap = 20;

frmDebug* LoadWindow()
{
    if (g_window)
        return g_window;
    // Without a GUI there is nothing to show the trace on.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    g_window = new frmDebug;
    return g_window;
}

} // namespace

frmDebug::frmDebug(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmDebug");
    setWindowTitle("XelComm Debug Window");
    setModal(false);
    txtDebug = new QPlainTextEdit(this);
    txtDebug->setObjectName("txtDebug");
    txtDebug->setReadOnly(true);
    txtDebug->setLineWrapMode(QPlainTextEdit::NoWrap);
    chkAppend = new QCheckBox("&Append debug output", this);
    chkAppend->setObjectName("chkAppend");
    txtDebug->move(8, 8);
    resize(480, 320);
    Load();
}

void frmDebug::Load()
{
    txtDebug->clear();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.left(), s.top() + s.height() - frameGeometry().height() - kBottomGap);
    }
}

frmDebug::~frmDebug() = default;

frmDebug* frmDebug::Loaded() { return g_window; }

void frmDebug::NewDebug()
{
    if (!chkAppend->isChecked())
        Clear();
}

void frmDebug::AddDebug(const QString& sText)
{
    txtDebug->setUpdatesEnabled(false);
    if (txtDebug->document()->isEmpty())
        txtDebug->setPlainText(sText);
    else
        txtDebug->appendPlainText(sText);
    txtDebug->verticalScrollBar()->setValue(txtDebug->verticalScrollBar()->maximum());
    txtDebug->setUpdatesEnabled(true);
}

void frmDebug::Clear() { txtDebug->clear(); }

void frmDebug::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int top = txtDebug->y();
    const int left = txtDebug->x();
    const int chkHeight = chkAppend->sizeHint().height();
    const int chkTop = height() - chkHeight - top;
    chkAppend->setGeometry(left, chkTop, qMax(0, width() - 2 * left), chkHeight);
    txtDebug->resize(qMax(0, width() - 2 * left), qMax(0, chkTop - 2 * top));
}

void frmDebug::reject()
{
    // Escape hides a dialog without a close event; it still ends tracing.
    g_debugOn = false;
    QDialog::reject();
}

void frmDebug::closeEvent(QCloseEvent* event)
{
    // Closing the window, by hand or by switch, ends tracing.
    g_debugOn = false;
    QDialog::closeEvent(event);
}

namespace xelcomm {

bool DebugOn() { return g_debugOn; }

void SetDebugOn(bool on)
{
    if (on) {
        g_debugOn = true;
        if (frmDebug* w = LoadWindow()) {
            // A window closed earlier comes back as freshly loaded. Placed once shown,
            // when its frame is known.
            const bool fresh = !w->isVisible();
            w->show();
            if (fresh)
                w->Load();
        }
        return;
    }
    if (g_window) {
        g_window->Clear();
        g_window->close();
    }
    g_debugOn = false;
}

void Trace(const QString& line)
{
    if (!g_debugOn)
        return;
    if (frmDebug* w = LoadWindow())
        w->AddDebug(line);
}

void NewTrace()
{
    if (!g_debugOn)
        return;
    if (frmDebug* w = LoadWindow())
        w->NewDebug();
}

} // namespace xelcomm
