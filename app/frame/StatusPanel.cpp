#include "app/frame/StatusPanel.h"

#include "extra/extra.h"

#include <QPainter>
#include <QStyle>

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent)
{
    // The panels show file and user names: one that looks like markup is still a name.
    setTextFormat(Qt::PlainText);
}

void StatusPanel::SetText(const QString& text)
{
    setText(text);
    UpdateTip();
}

void StatusPanel::SetTip(const QString& tip)
{
    m_tip = tip;
    UpdateTip();
}

bool StatusPanel::Cut() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width() - 2 * margin();
}

QSize StatusPanel::minimumSizeHint() const
{
    // Room for a short word; the rest is cut.
    const QSize full = QLabel::minimumSizeHint();
    const int few = fontMetrics().horizontalAdvance(QStringLiteral("MMMM")) + frameWidth() * 2 + margin() * 2;
    return {qMin(full.width(), few), full.height()};
}

void StatusPanel::SetStretching(bool stretching)
{
    m_stretching = stretching;
    updateGeometry();
}

QSize StatusPanel::sizeHint() const
{
    const QSize full = QLabel::sizeHint();
    return m_stretching ? QSize(minimumSizeHint().width(), full.height()) : full;
}

void StatusPanel::paintEvent(QPaintEvent* event)
{
    if (!Cut())
        return QLabel::paintEvent(event);
    QPainter p(this);
    drawFrame(&p);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&p, room, int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(), shown,
                          foregroundRole());
}

void StatusPanel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    UpdateTip();
}

void StatusPanel::UpdateTip()
{
    const QString tip = extra::PlainTip(Cut() ? text() : m_tip);
    if (toolTip() != tip)
        setToolTip(tip);
}
