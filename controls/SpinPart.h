#pragma once
#include <QWidget>

// The up-down part beside an entry box: a value with limits and a step, stepped by
// clicks on its upper or lower half. It never takes the keyboard focus itself.
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
    // A click on the upper (+1) or lower (-1) half; the owner steps the value.
    void stepRequested(int direction);
    // After a click on either half.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_increment = 1;
    qint32 m_value = 0;
    int m_pressed = 0; // +1 upper half, -1 lower half
};
