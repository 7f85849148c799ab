#include "controls/InfoWindow.h"

#include "platform/AnsiCodePage.h"
#include "platform/MessagePresenter.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
constexpr int kTwipsPerPixel = 15;

QString ToEditText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Soft line breaks would hide a line from the line count: every break is a real line.
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// The text box: lets the owner judge each key before and after the box handles it.
class InfoEdit : public QPlainTextEdit {
public:
    InfoEdit(QWidget* parent, std::function<bool(QKeyEvent*)> before, std::function<void(QKeyEvent*)> after)
        : QPlainTextEdit(parent), m_before(std::move(before)), m_after(std::move(after))
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        // Ctrl+Tab belongs to the page switch of the window around the box.
        if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
            && event->modifiers().testFlag(Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        if (m_before(event))
            return;
        QPlainTextEdit::keyPressEvent(event);
        m_after(event);
    }
    // Pasted and dropped text comes in with plain line breaks only.
    void insertFromMimeData(const QMimeData* source) override
    {
        if (source && source->hasText())
            insertPlainText(ToEditText(source->text()));
    }
private:
    std::function<bool(QKeyEvent*)> m_before;
    std::function<void(QKeyEvent*)> m_after;
};

bool IsNavigation(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_End:
    case Qt::Key_Home:
        return true;
    default:
        return false;
    }
}
} // namespace

InfoWindow::InfoWindow(QWidget* parent) : QWidget(parent)
{
    auto* edit = new InfoEdit(
        this, [this](QKeyEvent* e) { return KeyDownEdit(e); },
        [this](QKeyEvent* e) {
            if (IsNavigation(e->key()))
                emit KeyMove();
        });
    m_edit = edit;
    m_edit->setObjectName(QStringLiteral("txtInfoText"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab and Shift+Tab move the focus on, as in any dialog; a Tab reaches the key check only
    // when there is nowhere to go, and is refused there.
    m_edit->setTabChangesFocus(true);
    m_edit->setUndoRedoEnabled(false);
    QFont fixed(QStringLiteral("Courier"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    fixed.setPointSizeF(9.75);
    m_edit->setFont(fixed);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &InfoWindow::OnTextChanged);
}

InfoWindow::~InfoWindow() = default;

qint32 InfoWindow::CurrentLineCount() const { return m_edit->document()->blockCount(); }

qint32 InfoWindow::CurrentLinePos() const
{
    const QTextCursor c = m_edit->textCursor();
    const QTextBlock block = m_edit->document()->findBlock(c.selectionEnd());
    return c.selectionStart() - block.position();
}

qint32 InfoWindow::CurrentLineLength() const { return m_currentLineLength; }

qint32 InfoWindow::CurrentLine() const
{
    return m_edit->document()->findBlock(m_edit->textCursor().selectionEnd()).blockNumber() + 1;
}

QPlainTextEdit* InfoWindow::hWndEdit() const { return m_edit; }

bool InfoWindow::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
void InfoWindow::SetEnabled(bool enabled) { setEnabled(enabled); }

QFont InfoWindow::Font() const { return m_edit->font(); }

void InfoWindow::SetFont(const QFont& font)
{
    setFont(font);
    m_edit->setFont(font);
}

qint32 InfoWindow::LineLength() const { return m_lineLength; }
void InfoWindow::SetLineLength(qint32 length) { m_lineLength = length; }
qint32 InfoWindow::LineCount() const { return m_lineCount; }
void InfoWindow::SetLineCount(qint32 count) { m_lineCount = count; }

QString InfoWindow::Text() const
{
    QString text = m_edit->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void InfoWindow::SetText(const QString& text)
{
    const QString edit = ToEditText(text);
    if (edit == m_edit->toPlainText())
        return;
    m_edit->setPlainText(edit);
}

float InfoWindow::TextHeight() const { return float(QFontMetrics(Font()).height() * kTwipsPerPixel); }

float InfoWindow::TextWidth() const
{
    return float(QFontMetrics(Font()).horizontalAdvance(QLatin1Char('W')) * kTwipsPerPixel);
}

bool InfoWindow::Visible() const
{
    // Not yet shown counts as visible: only an explicit hide makes it invisible.
    return !testAttribute(Qt::WA_WState_ExplicitShowHide) || !isHidden();
}

void InfoWindow::SetVisible(bool visible)
{
    setVisible(visible);
}

bool InfoWindow::Locked() const { return m_edit->isReadOnly(); }
void InfoWindow::SetLocked(bool locked) { m_edit->setReadOnly(locked); }

qint32 InfoWindow::LineLengthAt(int position) const
{
    return m_edit->document()->findBlock(position).length() - 1;
}

void InfoWindow::RestoreLastGood()
{
    m_restoring = true;
    m_edit->setPlainText(m_lastGoodText);
    m_restoring = false;
    QTextCursor c = m_edit->textCursor();
    c.setPosition(qBound(0, int(m_savedSelStart), int(m_lastGoodText.size())));
    m_edit->setTextCursor(c);
}

void InfoWindow::NewLine()
{
    // As Enter does: the selection gives way to one new line, in a single change.
    QTextCursor c = m_edit->textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    c.insertBlock();
    c.endEditBlock();
    if (!m_editBlocked)
        m_edit->setTextCursor(c);
}

bool InfoWindow::KeyDownEdit(QKeyEvent* event)
{
    // Returns true when the key is refused or used up here.
    if (Locked())
        return false;
    m_editBlocked = false;
    const int key = event->key();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const QString text = event->text();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        m_editBlocked = true;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (m_edit->document()->blockCount() >= m_lineCount)
            m_editBlocked = true;
    } else if (IsNavigation(key) || key == Qt::Key_Control || key == Qt::Key_Shift) {
        // never refused
    } else if (!ctrl && !text.isEmpty() && text.at(0).isPrint()) {
        // A character goes in only while the caret's line has room.
        if (LineLengthAt(m_edit->textCursor().selectionStart()) >= m_lineLength)
            m_editBlocked = true;
    }
    m_savedSelStart = m_edit->textCursor().selectionStart();
    if (m_editBlocked) {
        platform::MessagePresenter::Instance().Beep();
        return true;
    }
    // The character itself: the host may drop it or put another in its place.
    if (!ctrl && !event->modifiers().testFlag(Qt::AltModifier) && !text.isEmpty()) {
        const QChar ch = text.at(0);
        if (ch.isPrint() || ch.unicode() == 13 || ch.unicode() == 8 || ch.unicode() == 27) {
            quint8 ansi = 0;
            qint16 keyAscii = platform::AnsiCodePage::ToByte(ch, ansi) ? qint16(ansi) : qint16(ch.unicode());
            const qint16 typed = keyAscii;
            emit KeyPress(keyAscii);
            if (keyAscii == 0)
                return true;
            if (keyAscii == 13 && typed == 13 && event->modifiers() != Qt::NoModifier
                && event->modifiers() != Qt::KeypadModifier) {
                // Shift+Enter would put a soft break inside the line: make it a real one.
                NewLine();
                return true;
            }
            if (keyAscii != typed) {
                const QChar substitute = keyAscii > 0 && keyAscii < 256
                    ? platform::AnsiCodePage::ToChar(quint8(keyAscii))
                    : QChar(ushort(keyAscii));
                if (keyAscii == 13)
                    NewLine();
                else if (substitute.isPrint())
                    m_edit->insertPlainText(QString(substitute));
                return true;
            }
        }
    }
    return false;
}

void InfoWindow::OnTextChanged()
{
    if (m_restoring)
        return;
    QTextDocument* doc = m_edit->document();
    m_currentLineLength = LineLengthAt(m_edit->textCursor().selectionStart());
    bool blocked = m_currentLineLength > m_lineLength;
    if (doc->blockCount() > m_lineCount)
        blocked = true;
    // The limits hold for the lines as the text goes out, whatever breaks made them.
    const QStringList lines = m_edit->toPlainText().split(QLatin1Char('\n'));
    if (lines.size() > m_lineCount)
        blocked = true;
    for (const QString& line : lines) {
        if (blocked)
            break;
        if (line.size() > m_lineLength)
            blocked = true;
    }
    m_editBlocked = blocked;
    if (blocked) {
        platform::MessagePresenter::Instance().Beep();
        RestoreLastGood();
        return;
    }
    m_lastGoodText = m_edit->toPlainText();
    emit Change();
}

bool InfoWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == m_edit)
            emit GotFocus();
        break;
    case QEvent::FocusOut:
        if (watched == m_edit) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                emit LostFocus();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_edit->viewport())
            emit KeyMove();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void InfoWindow::ReadProperties(const QVariantMap& bag)
{
    SetEnabled(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        SetFont(bag.value(QStringLiteral("Font")).value<QFont>());
    SetLineLength(bag.value(QStringLiteral("LineLength"), 38).toInt());
    SetLineCount(bag.value(QStringLiteral("LineCount"), 8).toInt());
    SetLocked(bag.value(QStringLiteral("Locked"), false).toBool());
    SetText(bag.value(QStringLiteral("Text"), QString()).toString());
    SetVisible(bag.value(QStringLiteral("Visible"), true).toBool());
}

QVariantMap InfoWindow::WriteProperties() const
{
    QVariantMap bag;
    if (!Enabled())
        bag.insert(QStringLiteral("Enabled"), false);
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(QStringLiteral("Font"), Font());
    if (m_lineLength != 38)
        bag.insert(QStringLiteral("LineLength"), m_lineLength);
    if (m_lineCount != 8)
        bag.insert(QStringLiteral("LineCount"), m_lineCount);
    if (Locked())
        bag.insert(QStringLiteral("Locked"), true);
    if (!m_edit->toPlainText().isEmpty())
        bag.insert(QStringLiteral("Text"), Text());
    if (!Visible())
        bag.insert(QStringLiteral("Visible"), false);
    return bag;
}

void InfoWindow::resizeEvent(QResizeEvent*)
{
    m_edit->setGeometry(rect());
}
