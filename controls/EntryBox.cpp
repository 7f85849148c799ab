#include "controls/EntryBox.h"

#include "controls/NumberText.h"
#include "controls/SpinPart.h"
#include "platform/AnsiCodePage.h"
#include "platform/KeyState.h"
#include "platform/MessagePresenter.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// Set while a box takes the focus back after a refused leave: the box that loses the
// focus then must not run its own leave check, or two boxes could pull the focus
// between them for ever.
bool g_refocusing = false;
// The box that refused its leave and is about to take the focus back.
QPointer<EntryBox> g_returning;
constexpr int kSpinWidth = 17;
constexpr qint16 kKeyUp = 38;
constexpr qint16 kKeyDown = 40;
} // namespace

EntryBox::EntryBox(QWidget* parent) : QWidget(parent)
{
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtNumber"));
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_spin = new SpinPart(this);
    m_spin->setObjectName(QStringLiteral("spnNumber"));
    m_spin->SetMin(0);
    m_spin->SetMax(100);
    m_spin->SetIncrement(1);
    m_spin->SetValue(0);
    m_text->setText(QStringLiteral("0"));
    m_lastGoodText = QStringLiteral("0");
    setFocusProxy(m_text);
    setFocusPolicy(Qt::StrongFocus);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &EntryBox::OnTextChanged);
    connect(m_spin, &SpinPart::stepRequested, this, [this](int direction) {
        if (Locked())
            return;
        SpinStep(direction);
    });
    connect(m_spin, &SpinPart::clicked, this, [this] {
        if (!Locked())
            SpinClicked();
    });
    resize(sizeHint());
}

EntryBox::~EntryBox()
{
    // The text box outlives this part of the object: its last focus change must not
    // reach the checks.
    m_text->removeEventFilter(this);
    disconnect(m_text, nullptr, this, nullptr);
}

bool EntryBox::AllowBlank() const { return m_allowBlank; }
void EntryBox::SetAllowBlank(bool allow) { m_allowBlank = allow; }

bool EntryBox::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void EntryBox::SetEnabled(bool enabled)
{
    // The spin part follows the box, and stays off while the box is locked.
    setEnabled(enabled);
}

QFont EntryBox::Font() const { return m_text->font(); }
void EntryBox::SetFont(const QFont& font)
{
    setFont(font);
    resizeEvent(nullptr);
}

bool EntryBox::Visible() const
{
    // Not yet shown counts as visible: only an explicit hide makes it invisible.
    return !testAttribute(Qt::WA_WState_ExplicitShowHide) || !isHidden();
}
void EntryBox::SetVisible(bool visible)
{
    setVisible(visible);
}

void EntryBox::SetSelStart(qint32 start)
{
    m_text->setCursorPosition(qBound(0, int(start), int(m_text->text().size())));
}

void EntryBox::SetSelLength(qint32 length)
{
    const int start = m_text->hasSelectedText() ? m_text->selectionStart() : m_text->cursorPosition();
    const int len = qBound(0, int(length), int(m_text->text().size()) - start);
    m_text->setSelection(start, len);
}

bool EntryBox::Locked() const { return m_text->isReadOnly(); }

void EntryBox::SetLocked(bool locked)
{
    m_text->setReadOnly(locked);
    m_spin->setEnabled(!locked);
}

QColor EntryBox::BackColor() const { return m_text->palette().color(QPalette::Base); }

void EntryBox::SetBackColor(const QColor& color)
{
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::Base, color);
    m_text->setPalette(pal);
}

QString EntryBox::Text() const { return m_text->text(); }

bool EntryBox::FocusReturnPending() { return g_returning && g_returning->m_refocusPending; }

bool EntryBox::CommitEntry()
{
    if (Locked() || LeaveCheck())
        return false;
    SelectAll();
    emit ErrorValue();
    return true;
}

QSize EntryBox::sizeHint() const
{
    return {qMax(80, minimumSizeHint().width()), m_text->sizeHint().height()};
}

QStringList EntryBox::LimitTexts() const
{
    return {QString::number(m_spin->Min()), QString::number(m_spin->Max())};
}

QSize EntryBox::minimumSizeHint() const
{
    const QFontMetrics fm(m_text->font());
    int widest = 0;
    for (const QString& text : LimitTexts())
        widest = qMax(widest, fm.horizontalAdvance(text));
    // What the text box needs around its text: the line edit's own margins (two pixels a
    // side), its text and contents margins, and the style's frame.
    const QMargins text = m_text->textMargins();
    const QMargins contents = m_text->contentsMargins();
    const QSize inner(widest + 2 * 2 + text.left() + text.right() + contents.left() + contents.right() + 1,
                      fm.height());
    QStyleOptionFrame option;
    option.initFrom(m_text);
    option.lineWidth = m_text->hasFrame() ? m_text->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_text) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QSize box = m_text->style()->sizeFromContents(QStyle::CT_LineEdit, &option, inner, m_text);
    // One pixel between the text box and the spin part.
    return {box.width() + 1 + kSpinWidth, m_text->sizeHint().height()};
}

bool EntryBox::ExtraCharPasses(QChar) const { return false; }
void EntryBox::KeyGoingDown() {}

bool EntryBox::NegativeAllowed() const { return m_spin->Min() < 0; }

void EntryBox::SetSpinValue(qint32 spinValue)
{
    m_spin->SetValue(spinValue);
    WriteText(SpinText(spinValue));
}

void EntryBox::SpinStep(int direction)
{
    const qint64 lo = m_spin->Min();
    const qint64 hi = qMax(m_spin->Min(), m_spin->Max());
    const qint64 from = numbertext::Bound64(lo, TextSpinValue(), hi);
    SetSpinValue(numbertext::Clamp32(numbertext::Bound64(lo, from + qint64(direction) * m_spin->Increment(), hi)));
}

qint64 EntryBox::ArrowFrom(int) const { return TextSpinValue(); }

void EntryBox::ArrowStep(int direction)
{
    qint64 spin = 0;
    if (TextBeyondLimit(direction)) {
        spin = direction > 0 ? m_spin->Min() : m_spin->Max();
    } else {
        const qint64 next = ArrowFrom(direction) + qint64(direction) * m_spin->Increment();
        spin = direction > 0 ? qMin<qint64>(next, m_spin->Max()) : qMax<qint64>(next, m_spin->Min());
    }
    SetSpinValue(numbertext::Clamp32(spin));
}

bool EntryBox::HandleKeyDown(QKeyEvent* event)
{
    qint16 code = VirtualKey(event);
    qint16 shift = ShiftMask(event->modifiers());
    KeyGoingDown();
    const bool arrow = code == kKeyUp || code == kKeyDown;
    if (arrow)
        ArrowStep(code == kKeyUp ? 1 : -1);
    emit KeyDown(code, shift);
    if (arrow) {
        SelectAll();
        return true;
    }
    m_savedSelStart = SelStartNow();
    // A key the host cleared is not handled by the text box; typed characters still are.
    return code == 0 && VirtualKey(event) != 0 && (event->text().isEmpty() || !event->text().at(0).isPrint());
}

void EntryBox::ReadLookProperties(const QVariantMap& bag)
{
    SetAllowBlank(bag.value(QStringLiteral("AllowBlank"), false).toBool());
    if (bag.contains(QStringLiteral("BackColor")))
        SetBackColor(bag.value(QStringLiteral("BackColor")).value<QColor>());
    SetEnabled(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        SetFont(bag.value(QStringLiteral("Font")).value<QFont>());
}

void EntryBox::WriteLookProperties(QVariantMap& bag) const
{
    if (AllowBlank())
        bag.insert(QStringLiteral("AllowBlank"), true);
    if (m_text->testAttribute(Qt::WA_SetPalette))
        bag.insert(QStringLiteral("BackColor"), BackColor());
    if (!Enabled())
        bag.insert(QStringLiteral("Enabled"), false);
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(QStringLiteral("Font"), Font());
}

void EntryBox::SpinClicked()
{
    SelectAll();
    if (!m_text->hasFocus())
        m_text->setFocus(Qt::OtherFocusReason);
}

void EntryBox::resizeEvent(QResizeEvent*)
{
    const int spinWidth = qMin(kSpinWidth, width());
    m_spin->setGeometry(width() - spinWidth, 0, spinWidth, height());
    // One pixel between the text box and the spin part.
    m_text->setGeometry(0, 0, qMax(0, width() - spinWidth - 1), height());
}

void EntryBox::WriteText(const QString& text)
{
    m_text->setText(text);
}

void EntryBox::RestoreLastGood()
{
    const bool was = m_inCheck;
    m_inCheck = true;
    m_text->setText(m_lastGoodText);
    m_inCheck = was;
    m_text->setCursorPosition(qMin(int(m_savedSelStart), int(m_lastGoodText.size())));
}

void EntryBox::Beep() const
{
    platform::MessagePresenter::Instance().Beep();
}

void EntryBox::SelectAll()
{
    m_text->selectAll();
}

void EntryBox::RefocusLater()
{
    if (m_refocusPending)
        return;
    m_refocusPending = true;
    g_returning = this;
    QPointer<EntryBox> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self)
                return;
            self->m_refocusPending = false;
            if (!self->isVisible() || !self->isEnabled() || self->m_text->hasFocus()) {
                self->m_refocusReturn = false;
                return;
            }
            g_refocusing = true;
            self->m_text->setFocus(Qt::OtherFocusReason);
            g_refocusing = false;
            self->SelectAll();
        },
        Qt::QueuedConnection);
}

qint16 EntryBox::ShiftMask(Qt::KeyboardModifiers modifiers)
{
    qint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

qint16 EntryBox::VirtualKey(const QKeyEvent* event)
{
    const int key = event->key();
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Period: return 190;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(112 + key - Qt::Key_F1);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return qint16(key);
    return 0;
}

quint8 EntryBox::SelStartNow() const
{
    // The start of a selection, not the end the caret sits at.
    const int start = m_text->hasSelectedText() ? m_text->selectionStart() : m_text->cursorPosition();
    return quint8(qBound(0, start, 255));
}

bool EntryBox::CtrlHeld(const QKeyEvent* event) const
{
    return (event && event->modifiers().testFlag(Qt::ControlModifier))
        || platform::KeyState::Instance().IsDown(platform::KeyState::Control);
}

void EntryBox::OnTextChanged()
{
    if (m_inCheck)
        return;
    m_inCheck = true;
    CheckEdit();
    m_inCheck = false;
}

bool EntryBox::KeyPressFilter(QKeyEvent* event)
{
    // Returns true when the character is used up here.
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar ch = text.at(0);
    bool pass = ch.isDigit() && ch.unicode() < 128;
    pass = pass || ch.unicode() == 8 || ch.unicode() == 38 || ch.unicode() == 40;
    pass = pass || (ch == QLatin1Char('-') && NegativeAllowed());
    pass = pass || ExtraCharPasses(ch);
    pass = pass || CtrlHeld(event);
    if (!pass)
        return ch.isPrint(); // a control character keeps its usual meaning (Enter, Escape)
    quint8 ansi = 0;
    qint16 keyAscii = platform::AnsiCodePage::ToByte(ch, ansi) ? qint16(ansi) : qint16(ch.unicode());
    const qint16 typed = keyAscii;
    emit KeyPress(keyAscii);
    if (keyAscii == 0)
        return true;
    if (keyAscii != typed && keyAscii > 0 && keyAscii < 256) {
        const QChar substitute = platform::AnsiCodePage::ToChar(quint8(keyAscii));
        if (substitute.isPrint())
            m_text->insert(QString(substitute));
        return true;
    }
    return false;
}

bool EntryBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (Locked())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandleKeyDown(key))
            return true;
        return KeyPressFilter(key);
    }
    case QEvent::KeyRelease: {
        if (Locked())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        qint16 code = VirtualKey(key);
        qint16 shift = ShiftMask(key->modifiers());
        emit KeyUp(code, shift);
        return false;
    }
    case QEvent::MouseButtonPress:
        m_savedSelStart = SelStartNow();
        return false;
    case QEvent::FocusIn: {
        auto* focus = static_cast<QFocusEvent*>(event);
        const bool windowOnly = focus->reason() == Qt::ActiveWindowFocusReason
                             || focus->reason() == Qt::PopupFocusReason;
        if (!windowOnly) {
            // A mouse click that brought the focus then places the caret itself.
            m_text->selectAll();
            m_savedSelStart = SelStartNow();
            if (!m_refocusReturn)
                emit GotFocus();
            m_refocusReturn = false;
        }
        return false;
    }
    case QEvent::FocusOut: {
        auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() == Qt::ActiveWindowFocusReason || focus->reason() == Qt::PopupFocusReason
            || focus->reason() == Qt::MenuBarFocusReason)
            return false;
        bool refused = false;
        if (!Locked() && !g_refocusing)
            refused = !LeaveCheck();
        if (refused) {
            m_refocusReturn = true;
            SelectAll();
            RefocusLater();
            emit ErrorValue();
        } else {
            emit LostFocus();
        }
        return false;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
