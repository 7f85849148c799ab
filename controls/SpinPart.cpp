#include "controls/SpinPart.h"

#include "controls/NumberText.h"
#include "platform/TimeSource.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

namespace {
// A held half waits this long before it repeats, then steps at the second rate.
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 50;
} // namespace

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
        const bool down = m_onPressed && m_pressed == (i == 0 ? 1 : -1);
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
}

int SpinPart::HalfAt(qreal y) const
{
    return y < height() / 2.0 ? 1 : -1;
}

void SpinPart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = HalfAt(event->position().y());
    m_onPressed = true;
    update();
    if (!m_repeat) {
        m_repeat = new QTimer(this);
        connect(m_repeat, &QTimer::timeout, this, &SpinPart::Repeat);
    }
    m_repeat->start(platform::TimeSource::Instance().TimerInterval(kFirstRepeatMs));
    const int direction = m_pressed;
    emit stepRequested(direction);
    emit clicked();
}

void SpinPart::Repeat()
{
    if (m_pressed == 0 || !isEnabled()) {
        StopRepeat();
        return;
    }
    m_repeat->setInterval(platform::TimeSource::Instance().TimerInterval(kRepeatMs));
    // Off the held half the button is up and waits for the pointer to come back.
    if (!m_onPressed)
        return;
    const int direction = m_pressed;
    emit stepRequested(direction);
    emit clicked();
}

void SpinPart::StopRepeat()
{
    if (m_repeat)
        m_repeat->stop();
    if (m_pressed != 0) {
        m_pressed = 0;
        update();
    }
}

void SpinPart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    StopRepeat();
}

void SpinPart::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed == 0)
        return;
    const bool on = rect().contains(event->position().toPoint()) && HalfAt(event->position().y()) == m_pressed;
    if (on != m_onPressed) {
        m_onPressed = on;
        update();
    }
}

void SpinPart::changeEvent(QEvent* event)
{
    // Locking or disabling the box ends a hold at once.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        StopRepeat();
    QWidget::changeEvent(event);
}

void SpinPart::hideEvent(QHideEvent* event)
{
    StopRepeat();
    QWidget::hideEvent(event);
}
