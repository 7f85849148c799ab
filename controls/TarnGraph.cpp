#include "controls/TarnGraph.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <type_traits>

namespace {
// Plot coordinates far outside any screen still fit the painter's integers.
constexpr double kFar = 1.0e6;

int Px(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::lround(qBound(-kFar, v, kFar)));
}

Qt::CursorShape CursorFor(qint32 pointer)
{
    switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

// Cuts the segment a-b to the box in floating point: an end outside (the farther one first) is
// moved along the line measured from the other end, so the arithmetic stays near the box. False
// when nothing of it lies inside, or a point is not a number.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box)
{
    auto outside = [&](const QPointF& p) {
        return (p.x() < box.left() ? 1 : 0) | (p.x() > box.right() ? 2 : 0) | (p.y() < box.top() ? 4 : 0)
               | (p.y() > box.bottom() ? 8 : 0);
    };
    auto away = [&](const QPointF& p) { return qAbs(p.x() - box.center().x()) + qAbs(p.y() - box.center().y()); };
    for (const double v : {a.x(), a.y(), b.x(), b.y()})
        if (std::isnan(v))
            return false;
    // Each pass puts one end on a side; rounding may ask for a pass more.
    for (int pass = 0; pass < 8; ++pass) {
        const int codeA = outside(a), codeB = outside(b);
        if ((codeA | codeB) == 0)
            break;
        if (codeA & codeB)
            return false;
        const bool moveA = codeA != 0 && (codeB == 0 || away(a) > away(b));
        QPointF& p = moveA ? a : b;
        const QPointF& q = moveA ? b : a;
        const int code = moveA ? codeA : codeB;
        if (code & 3) {
            const double x = code & 1 ? box.left() : box.right();
            p = QPointF(x, q.y() + (p.y() - q.y()) * ((x - q.x()) / (p.x() - q.x())));
        } else {
            const double y = code & 4 ? box.top() : box.bottom();
            p = QPointF(q.x() + (p.x() - q.x()) * ((y - q.y()) / (p.y() - q.y())), y);
        }
    }
    return std::isfinite(a.x()) && std::isfinite(a.y()) && std::isfinite(b.x()) && std::isfinite(b.y())
           && (outside(a) | outside(b)) == 0;
}

struct Plot {
    int left, top, right, bottom; // frame edges, inclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// Free space kept between two neighbouring axis labels.
constexpr int kLabelGap = 4;

QString StepLabel(qint32 start, qint64 step, qint32 size)
{
    return QString::number(qint64(start) + step * qint64(size));
}
} // namespace

TarnGraph::TarnGraph(QWidget* parent)
    : QWidget(parent),
      m_axisColor(0, 0, 0),
      m_markColor(0x40, 0x40, 0x40),
      m_backColor(0x80, 0x80, 0x80),
      m_dataColor(0xC0, 0, 0),
      m_markFontBottom(font()),
      m_markFontLeft(font()),
      m_markDescriptionBottom(QStringLiteral("Description")),
      m_markDescriptionLeft(QStringLiteral("Description"))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TarnGraph::~TarnGraph() = default;

QVector<DataEntry> TarnGraph::Data() const { return m_data; }
void TarnGraph::SetData(const QVector<DataEntry>& data) { m_data = data; }

void TarnGraph::ClearData()
{
    m_data.clear();
    Repaint();
}

void TarnGraph::AddDataValue(float fx, float fY)
{
    m_data.append(DataEntry{fx, fY});
    if (m_data.size() > 1)
        Repaint();
}

#define XEL_GRAPH_PROPERTY(Type, Param, Name, member)                                             \
    Type TarnGraph::Name() const { return member; }                                               \
    void TarnGraph::Set##Name(Param v)                                                            \
    {                                                                                             \
        member = v;                                                                               \
        Repaint();                                                                                \
    }

XEL_GRAPH_PROPERTY(QColor, const QColor&, AxisColor, m_axisColor)
XEL_GRAPH_PROPERTY(QColor, const QColor&, MarkColor, m_markColor)
XEL_GRAPH_PROPERTY(QColor, const QColor&, BackColor, m_backColor)
XEL_GRAPH_PROPERTY(QColor, const QColor&, DataColor, m_dataColor)
XEL_GRAPH_PROPERTY(qint32, qint32, BorderStyle, m_borderStyle)
XEL_GRAPH_PROPERTY(qint32, qint32, FromTop, m_fromTop)
XEL_GRAPH_PROPERTY(qint32, qint32, FromLeft, m_fromLeft)
XEL_GRAPH_PROPERTY(qint32, qint32, FromRight, m_fromRight)
XEL_GRAPH_PROPERTY(qint32, qint32, FromBottom, m_fromBottom)
XEL_GRAPH_PROPERTY(qint32, qint32, XStart, m_xStart)
XEL_GRAPH_PROPERTY(qint32, qint32, XStep, m_xStep)
XEL_GRAPH_PROPERTY(qint32, qint32, XSteps, m_xSteps)
XEL_GRAPH_PROPERTY(qint32, qint32, XStepMarkEvery, m_xStepMarkEvery)
XEL_GRAPH_PROPERTY(qint32, qint32, YStart, m_yStart)
XEL_GRAPH_PROPERTY(qint32, qint32, YStep, m_yStep)
XEL_GRAPH_PROPERTY(qint32, qint32, YSteps, m_ySteps)
XEL_GRAPH_PROPERTY(qint32, qint32, YStepMarkEvery, m_yStepMarkEvery)
XEL_GRAPH_PROPERTY(QFont, const QFont&, MarkFontBottom, m_markFontBottom)
XEL_GRAPH_PROPERTY(QFont, const QFont&, MarkFontLeft, m_markFontLeft)
XEL_GRAPH_PROPERTY(QString, const QString&, MarkDescriptionBottom, m_markDescriptionBottom)
XEL_GRAPH_PROPERTY(QString, const QString&, MarkDescriptionLeft, m_markDescriptionLeft)
#undef XEL_GRAPH_PROPERTY

void TarnGraph::Refresh() { repaint(); }

qint32 TarnGraph::MousePointer() const { return m_mousePointer; }

void TarnGraph::SetMousePointer(qint32 pointer)
{
    m_mousePointer = pointer;
    if (pointer == 0)
        unsetCursor();
    else
        setCursor(CursorFor(pointer));
}

bool TarnGraph::Visible() const
{
    // Not yet shown counts as visible: only an explicit hide makes it invisible.
    return !testAttribute(Qt::WA_WState_ExplicitShowHide) || !isHidden();
}

void TarnGraph::SetVisible(bool visible)
{
    setVisible(visible);
}

void TarnGraph::Repaint() { update(); }

QSize TarnGraph::InnerSize() const
{
    const int border = m_borderStyle == 1 ? 1 : 0;
    return {qMax(0, width() - 2 * border), qMax(0, height() - 2 * border)};
}

QPoint TarnGraph::InnerOrigin() const
{
    const int border = m_borderStyle == 1 ? 1 : 0;
    return {border, border};
}

bool TarnGraph::Scale(double& perX, double& perY) const
{
    const QSize inner = InnerSize();
    const double plotW = inner.width() - m_fromRight - m_fromLeft;
    const double plotH = inner.height() - m_fromBottom - m_fromTop;
    const double unitsX = double(m_xSteps) * m_xStep;
    const double unitsY = double(m_ySteps) * m_yStep;
    if (plotW <= 0 || plotH <= 0 || unitsX <= 0 || unitsY <= 0 || m_xSteps <= 0 || m_ySteps <= 0)
        return false;
    perX = plotW / unitsX;
    perY = plotH / unitsY;
    return true;
}

qint32 TarnGraph::LabelEvery(int length, qint32 steps, qint32 markEvery, int room)
{
    if (steps <= 0 || markEvery <= 0 || length <= 0)
        return markEvery;
    const double perStep = double(length) / steps;
    qint32 every = markEvery;
    // Beyond the whole axis no second label is drawn anyway.
    while (every < steps && every * perStep < room)
        every += markEvery;
    return every;
}

int TarnGraph::WidestXLabel() const
{
    const QFontMetrics fm(m_markFontBottom);
    int widest = 0;
    // The longest texts sit at the ends of the axis; a short axis is measured whole.
    const qint64 steps = m_xSteps;
    for (qint64 s = 1; s <= steps; s = (s < 200 || s == steps) ? s + 1 : steps)
        widest = qMax(widest, fm.horizontalAdvance(StepLabel(m_xStart, s, m_xStep)));
    return widest;
}

qint32 TarnGraph::XLabelEvery() const
{
    const QSize inner = InnerSize();
    const int length = qMax(m_fromLeft, inner.width() - m_fromRight) - m_fromLeft;
    return LabelEvery(length, m_xSteps, m_xStepMarkEvery, WidestXLabel() + kLabelGap);
}

qint32 TarnGraph::YLabelEvery() const
{
    const QSize inner = InnerSize();
    const int length = qMax(m_fromTop, inner.height() - m_fromBottom) - m_fromTop;
    return LabelEvery(length, m_ySteps, m_yStepMarkEvery, QFontMetrics(m_markFontLeft).height());
}

void TarnGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_backColor);
    if (m_borderStyle == 1) {
        p.setPen(QColor(0, 0, 0));
        p.drawRect(QRect(0, 0, width() - 1, height() - 1));
    }
    p.translate(InnerOrigin());
    Render(p);
}

void TarnGraph::Render(QPainter& painter) const
{
    const QSize inner = InnerSize();
    const int w = inner.width();
    const int h = inner.height();
    Plot plot{m_fromLeft, m_fromTop, qMax(m_fromLeft, w - m_fromRight), qMax(m_fromTop, h - m_fromBottom)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Frame.
    if (plot.width() > 0 || plot.height() > 0) {
        painter.setPen(QPen(m_axisColor, 1, Qt::SolidLine));
        painter.drawLine(plot.left, plot.top, plot.right, plot.top);
        painter.drawLine(plot.left, plot.bottom, plot.right, plot.bottom);
        painter.drawLine(plot.left, plot.top, plot.left, plot.bottom);
        painter.drawLine(plot.right, plot.top, plot.right, plot.bottom);
    }

    // Grid lines and their labels; the last grid line on each axis is the frame.
    if (plot.width() > 0 && plot.height() > 0) {
        QPen dotted(m_markColor, 1, Qt::DotLine);
        painter.setFont(m_markFontBottom);
        const QFontMetrics fmBottom(m_markFontBottom);
        if (m_xSteps > 0) {
            const double every = double(plot.width()) / m_xSteps;
            const qint32 labelEvery = XLabelEvery();
            for (qint64 s = 1; s <= m_xSteps; ++s) {
                const int x = Px(plot.left + s * every);
                if (s < m_xSteps) {
                    painter.setPen(dotted);
                    painter.drawLine(x, plot.top + 1, x, plot.bottom - 1);
                }
                if (labelEvery > 0 && s % labelEvery == 0) {
                    const QString label = StepLabel(m_xStart, s, m_xStep);
                    const int tw = fmBottom.horizontalAdvance(label);
                    painter.setPen(m_markColor);
                    painter.drawText(QRect(x - tw / 2, plot.bottom + 1, tw + 1, fmBottom.height()),
                                     Qt::AlignLeft | Qt::AlignTop, label);
                }
            }
        }
        painter.setFont(m_markFontLeft);
        const QFontMetrics fmLeft(m_markFontLeft);
        if (m_ySteps > 0) {
            const double every = double(plot.height()) / m_ySteps;
            const qint32 labelEvery = YLabelEvery();
            for (qint64 s = 1; s <= m_ySteps; ++s) {
                const int y = Px(plot.bottom - s * every);
                if (s < m_ySteps) {
                    painter.setPen(dotted);
                    painter.drawLine(plot.left + 1, y, plot.right - 1, y);
                }
                if (labelEvery > 0 && s % labelEvery == 0) {
                    const QString label = StepLabel(m_yStart, s, m_yStep);
                    const int tw = fmLeft.horizontalAdvance(label);
                    const int th = fmLeft.height();
                    painter.setPen(m_markColor);
                    painter.drawText(QRect(plot.left - 2 - tw, y - th / 2, tw, th),
                                     Qt::AlignRight | Qt::AlignVCenter, label);
                }
            }
        }
    }

    // Descriptions in the bottom-right and top-left corners.
    painter.setPen(m_markColor);
    if (!m_markDescriptionBottom.isEmpty()) {
        painter.setFont(m_markFontBottom);
        const QFontMetrics fm(m_markFontBottom);
        const int tw = fm.horizontalAdvance(m_markDescriptionBottom);
        painter.drawText(QRect(w - 2 - tw, h - 2 - fm.height(), tw, fm.height()),
                         Qt::AlignRight | Qt::AlignBottom, m_markDescriptionBottom);
    }
    if (!m_markDescriptionLeft.isEmpty()) {
        painter.setFont(m_markFontLeft);
        const QFontMetrics fm(m_markFontLeft);
        painter.drawText(QRect(2, 2, fm.horizontalAdvance(m_markDescriptionLeft), fm.height()),
                         Qt::AlignLeft | Qt::AlignTop, m_markDescriptionLeft);
    }

    DrawData(painter, false);
    painter.restore();
}

void TarnGraph::DrawData(QPainter& painter, bool onlyLast) const
{
    double perX = 0, perY = 0;
    if (m_data.size() < 2 || !Scale(perX, perY))
        return;
    const QSize inner = InnerSize();
    const int baseY = inner.height() - m_fromBottom;
    const int right = inner.width() - m_fromRight;
    painter.save();
    // The data stays inside the frame's left, right and bottom lines.
    painter.setClipRect(QRect(QPoint(m_fromLeft + 1, m_fromTop - 1), QPoint(right - 1, baseY - 1)));
    painter.setPen(QPen(m_dataColor, 1, Qt::SolidLine));
    auto at = [&](const DataEntry& e) {
        return QPointF(std::round(m_fromLeft + double(e.fXValue) * perX), std::round(baseY - double(e.fYValue) * perY));
    };
    // Each segment is cut to the clip area (a pixel wider) before it is drawn, so a far point's
    // segment keeps its true slope instead of overflowing the painter's integers.
    const QRectF area(QPointF(m_fromLeft, m_fromTop - 2), QPointF(right, baseY));
    for (qsizetype i = onlyLast ? m_data.size() - 1 : 1; i < m_data.size(); ++i) {
        QPointF a = at(m_data[i - 1]);
        QPointF b = at(m_data[i]);
        if (ClipSegment(a, b, area))
            painter.drawLine(QLineF(a, b));
    }
    painter.restore();
}

void TarnGraph::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint() - InnerOrigin();
    const QSize inner = InnerSize();
    const int right = inner.width() - m_fromRight;
    const int bottom = inner.height() - m_fromBottom;
    const int x = pos.x();
    const int y = pos.y();
    if (x > m_fromLeft - 2 && x < right + 2 && y > m_fromTop - 2 && y < bottom + 2) {
        double perX = 0, perY = 0;
        // Without a usable scale there is no graph position to report.
        if (!Scale(perX, perY))
            return;
        const int cx = qBound(m_fromLeft, x, right);
        const int cy = qBound(m_fromTop, y, bottom);
        emit GraphValues(float((cx - m_fromLeft) / perX), float((bottom - cy) / perY));
    } else {
        emit GraphValues(OutsideValue, OutsideValue);
    }
}

void TarnGraph::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_afterDoubleClick) {
        m_afterDoubleClick = false;
        return;
    }
    if (rect().contains(event->position().toPoint()))
        emit Click();
}

void TarnGraph::mouseDoubleClickEvent(QMouseEvent*)
{
    m_afterDoubleClick = true;
    emit DblClick();
}

template <class Self, class Visit>
void TarnGraph::VisitStored(Self& self, Visit&& visit)
{
    const QString description = QStringLiteral("Description");
    visit("AxisColor", self.m_axisColor, QColor(0, 0, 0));
    visit("MarkColor", self.m_markColor, QColor(0x40, 0x40, 0x40));
    visit("BackColor", self.m_backColor, QColor(0x80, 0x80, 0x80));
    visit("BorderStyle", self.m_borderStyle, qint32(1));
    visit("DataColor", self.m_dataColor, QColor(0xC0, 0, 0));
    visit("XStart", self.m_xStart, qint32(0));
    visit("XStep", self.m_xStep, qint32(1));
    visit("XSteps", self.m_xSteps, qint32(10));
    visit("XStepMarkEvery", self.m_xStepMarkEvery, qint32(2));
    visit("YStart", self.m_yStart, qint32(0));
    visit("YStep", self.m_yStep, qint32(1));
    visit("YSteps", self.m_ySteps, qint32(10));
    visit("YStepMarkEvery", self.m_yStepMarkEvery, qint32(2));
    visit("FromTop", self.m_fromTop, qint32(30));
    visit("FromLeft", self.m_fromLeft, qint32(40));
    visit("FromRight", self.m_fromRight, qint32(40));
    visit("FromBottom", self.m_fromBottom, qint32(40));
    // The marks' fonts default to the host's.
    visit("MarkFontBottom", self.m_markFontBottom, self.font());
    visit("MarkFontLeft", self.m_markFontLeft, self.font());
    visit("MarkDescriptionBottom", self.m_markDescriptionBottom, description);
    visit("MarkDescriptionLeft", self.m_markDescriptionLeft, description);
}

void TarnGraph::ReadProperties(const QVariantMap& bag)
{
    VisitStored(*this, [&](const char* name, auto& member, const auto& fallback) {
        using T = std::decay_t<decltype(member)>;
        const QVariant v = bag.value(QLatin1String(name));
        member = v.isValid() ? v.value<T>() : T(fallback);
    });
    SetMousePointer(qint32(bag.value(QStringLiteral("MousePointer"), 0).toInt()));
    Repaint();
}

QVariantMap TarnGraph::WriteProperties() const
{
    QVariantMap bag;
    auto put = [&](const char* name, const auto& member, const auto& fallback) {
        if (member != fallback)
            bag.insert(QLatin1String(name), QVariant::fromValue(member));
    };
    VisitStored(*this, put);
    put("MousePointer", m_mousePointer, qint32(0));
    return bag;
}
