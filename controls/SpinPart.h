#pragma once
#include <QWidget>

class QTimer;

// The up-down part beside an entry box: a value with limits and a step, stepped by
// clicks on its upper or lower half; a half held down keeps stepping, after a first
// pause, for as long as the pointer stays on it. It never takes the keyboard focus itself.
class SpinPart : public QWidget {
    Q_OBJECT
public:
    explicit SpinPart(QWidget* parent = nullptr);

    qint32 Min() const { return m_min; }
    qint32 Max() const { return m_max; }
    qint32 Increment() const { return m_increment; }
    qint32 Value() const { return m_value; }
    void SetMin(qint32 v) { m_min = v; }
    void SetMax(qint32 v) { m_max = v; }
    void SetIncrement(qint32 v) { m_increment = v; }
    // Reports valueChanged only when the value changes.
    void SetValue(qint32 v);
    // One step up (+1) or down (-1) within Min..Max.
    void Step(int direction);

    QSize sizeHint() const override;

signals:
    void valueChanged(qint32 value);
    // A click on the upper (+1) or lower (-1) half, and each repeat while it is held;
    // the owner steps the value.
    void stepRequested(int direction);
    // After each step of a click or of a held half.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Repeat();
    void StopRepeat();
    int HalfAt(qreal y) const;

    QTimer* m_repeat = nullptr; // made on the first press: a page holds dozens of these
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_increment = 1;
    qint32 m_value = 0;
    int m_pressed = 0; // +1 upper half, -1 lower half
    bool m_onPressed = false; // the pointer is over the half held down
};
