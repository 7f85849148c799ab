#include "controls/Container.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace {
// A one-pixel outline on the rectangle's edge pixels, both ends included.
void FrameLines(QPainter& p, const QRect& r, const QColor& color)
{
    p.setPen(color);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}
} // namespace

Container::Container(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

Container::~Container() = default;

QColor Container::BackColor() const { return palette().color(QPalette::Window); }

void Container::SetBackColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

qint16 Container::BackStyle() const { return m_backStyle; }

void Container::SetBackStyle(qint16 style)
{
    m_backStyle = style;
    setAutoFillBackground(style != Transparent);
    update();
}

qint32 Container::BorderStyle() const { return m_borderStyle; }

void Container::SetBorderStyle(qint32 style)
{
    m_borderStyle = style;
    update();
}

QString Container::Caption() const { return m_caption; }

void Container::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

bool Container::ChildrenEnabled() const { return m_childrenEnabled; }

void Container::SetChildrenEnabled(bool enabled)
{
    m_childrenEnabled = enabled;
    for (QWidget* child : ContainedControls())
        child->setEnabled(enabled);
    emit ChildrenEnabledChange(enabled);
}

bool Container::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void Container::SetEnabled(bool enabled)
{
    setEnabled(enabled);
    emit ChildrenEnabledChange(enabled);
}

QFont Container::Font() const { return font(); }

void Container::SetFont(const QFont& f)
{
    setFont(f);
    update();
}

QColor Container::ForeColor() const { return palette().color(QPalette::WindowText); }

void Container::SetForeColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QList<QWidget*> Container::ContainedControls() const
{
    return findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

qint16 Container::CaptionOffset() const
{
    return qint16(std::lround(fontMetrics().height() / 2.0));
}

void Container::Refresh() { repaint(); }

bool Container::Visible() const
{
    // Not yet shown counts as visible: only an explicit hide makes it invisible.
    return !testAttribute(Qt::WA_WState_ExplicitShowHide) || !isHidden();
}
void Container::SetVisible(bool visible) { setVisible(visible); }

void Container::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

void Container::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    m_captionOffset = CaptionOffset();
    const QPalette& pal = palette();
    if (m_borderStyle == FixedSingle) {
        // Highlight frame one pixel right and down, the shadow frame over it: an etched line.
        FrameLines(p, QRect(QPoint(1, m_captionOffset + 1), QPoint(width() - 1, height() - 1)),
                   pal.color(QPalette::Light));
        FrameLines(p, QRect(QPoint(0, m_captionOffset), QPoint(width() - 2, height() - 2)),
                   pal.color(QPalette::Dark));
    }
    if (!m_caption.isEmpty()) {
        const QRect measured = fontMetrics().boundingRect(QRect(0, 0, 0, 0), Qt::TextShowMnemonic, m_caption);
        const QRect box(6, 0, measured.width() + 2, measured.height());
        p.fillRect(box, pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, m_caption);
    }
}

void Container::ReadProperties(const QVariantMap& bag)
{
    if (bag.contains(QStringLiteral("BackColor")))
        SetBackColor(bag.value(QStringLiteral("BackColor")).value<QColor>());
    SetBackStyle(qint16(bag.value(QStringLiteral("BackStyle"), int(Opaque)).toInt()));
    SetBorderStyle(bag.value(QStringLiteral("BorderStyle"), int(FixedSingle)).toInt());
    SetCaption(bag.value(QStringLiteral("Caption"), QString()).toString());
    setEnabled(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        SetFont(bag.value(QStringLiteral("Font")).value<QFont>());
    if (bag.contains(QStringLiteral("ForeColor")))
        SetForeColor(bag.value(QStringLiteral("ForeColor")).value<QColor>());
    // Each contained control loads its own state: the flag alone is taken.
    m_childrenEnabled = bag.value(QStringLiteral("ChildrenEnabled"), true).toBool();
}

QVariantMap Container::WriteProperties() const
{
    QVariantMap bag;
    if (testAttribute(Qt::WA_SetPalette)) {
        bag.insert(QStringLiteral("BackColor"), BackColor());
        bag.insert(QStringLiteral("ForeColor"), ForeColor());
    }
    if (m_backStyle != Opaque)
        bag.insert(QStringLiteral("BackStyle"), m_backStyle);
    if (m_borderStyle != FixedSingle)
        bag.insert(QStringLiteral("BorderStyle"), m_borderStyle);
    if (!m_caption.isEmpty())
        bag.insert(QStringLiteral("Caption"), m_caption);
    if (!Enabled())
        bag.insert(QStringLiteral("Enabled"), false);
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(QStringLiteral("Font"), font());
    if (!m_childrenEnabled)
        bag.insert(QStringLiteral("ChildrenEnabled"), false);
    return bag;
}
