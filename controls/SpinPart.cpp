#include "controls/SpinPart.h"

#include "controls/NumberText.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

SpinPart::SpinPart(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void SpinPart::SetValue(qint32 v)
{
    if (v == m_value)
        return;
    m_value = v;
    emit valueChanged(v);
}

void SpinPart::Step(int direction)
{
    const qint64 next = qint64(m_value) + qint64(direction) * m_increment;
    SetValue(qint32(numbertext::Bound64(m_min, next, qMax(m_min, m_max))));
}

QSize SpinPart::sizeHint() const
{
    return {17, 20};
}

void SpinPart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool down = m_pressed == (i == 0 ? 1 : -1);
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
}

void SpinPart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    const int direction = m_pressed;
    emit stepRequested(direction);
    emit clicked();
}

void SpinPart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = 0;
    update();
}
