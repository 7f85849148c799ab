#pragma once
// The XelDisp controls the input pages place, and the few operations the pages use of them.
// Until the control library is part of the build, plain Qt stand-ins with the same members
// keep the pages building.
#include <QGroupBox>
#include <QSpinBox>
#include <QWidget>

#if __has_include("controls/Container.h") && __has_include("controls/Number.h")
#include "controls/Container.h"
#include "controls/Number.h"
#define QUARNO_HAVE_XELDISP 1
#else
#define QUARNO_HAVE_XELDISP 0

// Captioned frame that enables or disables the controls placed in it.
class Container : public QGroupBox {
    Q_OBJECT
public:
    explicit Container(QWidget* parent = nullptr) : QGroupBox(parent) {}
    bool ChildrenEnabled() const { return m_childrenEnabled; }
    void SetChildrenEnabled(bool enabled)
    {
        m_childrenEnabled = enabled;
        for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            w->setEnabled(enabled);
        emit ChildrenEnabledChange(enabled);
    }
signals:
    void ChildrenEnabledChange(bool enabled);

private:
    bool m_childrenEnabled = true;
};

// Entry box for whole numbers.
class Number : public QSpinBox {
    Q_OBJECT
public:
    explicit Number(QWidget* parent = nullptr) : QSpinBox(parent)
    {
        connect(this, &QSpinBox::valueChanged, this, [this] { emit Change(); });
    }
    qint32 Min() const { return minimum(); }
    void SetMin(qint32 v) { setMinimum(v); }
    qint32 Max() const { return maximum(); }
    void SetMax(qint32 v) { setMaximum(v); }
    qint32 Value() const { return value(); }
    void SetValue(qint32 v) { setValue(v); }
signals:
    void Change();
    void ErrorValue();
};
#endif

namespace xeldisp {

inline void SetChildrenEnabled(Container* c, bool enabled)
{
    if (c)
        c->SetChildrenEnabled(enabled);
}
inline bool ChildrenEnabled(const Container* c) { return c && c->ChildrenEnabled(); }

} // namespace xeldisp
