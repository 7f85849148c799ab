#pragma once
#include "controls/XelDispExport.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QVector>
#include <QWidget>

// One point of the graph.
struct DataEntry {
    float fXValue = 0;
    float fYValue = 0;
};

// x/y line graph: a framed plot area with dotted grid lines, numbered marks along the
// bottom and left edges, two descriptions and a polyline through the points. Reports the
// mouse position in graph units.
class XELDISP_EXPORT TarnGraph : public QWidget {
    Q_OBJECT
public:
    // Reported for both values while the mouse is outside the plot area.
    static constexpr float OutsideValue = -1000000000.0f;

    explicit TarnGraph(QWidget* parent = nullptr);
    ~TarnGraph() override;

    QWidget* hWnd() { return this; }
    QVector<DataEntry> Data() const;
    // Replaces the points without a repaint.
    void SetData(const QVector<DataEntry>& data);
    void ClearData();
    void AddDataValue(float fx, float fY);

    QColor AxisColor() const;
    void SetAxisColor(const QColor& color);
    QColor MarkColor() const;
    void SetMarkColor(const QColor& color);
    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    QColor DataColor() const;
    void SetDataColor(const QColor& color);
    qint32 BorderStyle() const;
    void SetBorderStyle(qint32 style);

    qint32 FromTop() const;
    void SetFromTop(qint32 v);
    qint32 FromLeft() const;
    void SetFromLeft(qint32 v);
    qint32 FromRight() const;
    void SetFromRight(qint32 v);
    qint32 FromBottom() const;
    void SetFromBottom(qint32 v);

    qint32 XStart() const;
    void SetXStart(qint32 v);
    qint32 XStep() const;
    void SetXStep(qint32 v);
    qint32 XSteps() const;
    void SetXSteps(qint32 v);
    qint32 XStepMarkEvery() const;
    void SetXStepMarkEvery(qint32 v);
    qint32 YStart() const;
    void SetYStart(qint32 v);
    qint32 YStep() const;
    void SetYStep(qint32 v);
    qint32 YSteps() const;
    void SetYSteps(qint32 v);
    qint32 YStepMarkEvery() const;
    void SetYStepMarkEvery(qint32 v);

    QFont MarkFontBottom() const;
    void SetMarkFontBottom(const QFont& font);
    QFont MarkFontLeft() const;
    void SetMarkFontLeft(const QFont& font);
    QString MarkDescriptionBottom() const;
    void SetMarkDescriptionBottom(const QString& text);
    QString MarkDescriptionLeft() const;
    void SetMarkDescriptionLeft(const QString& text);

    void Refresh();
    // A cursor shape number as the host's mouse pointers count them (0 default).
    qint32 MousePointer() const;
    void SetMousePointer(qint32 pointer);

    bool Visible() const;
    void SetVisible(bool visible);

    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

    // The graph drawn onto any paint device of the widget's size (printing, tests).
    void Render(class QPainter& painter) const;

    // How many steps lie between two labels drawn on each axis: the mark interval, or a
    // multiple of it where the labels would otherwise run into each other at this size.
    qint32 XLabelEvery() const;
    qint32 YLabelEvery() const;

signals:
    void Click();
    void DblClick();
    void GraphValues(float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DrawData(class QPainter& painter, bool onlyLast) const;
    void Repaint();
    // The drawing area inside the border, and where it starts.
    QSize InnerSize() const;
    QPoint InnerOrigin() const;
    // Pixels per graph unit; false when the plot area or the steps leave no scale.
    bool Scale(double& perX, double& perY) const;
    // The multiple of markEvery whose spacing on an axis of `length` pixels and `steps`
    // steps leaves room for the widest label (`room` pixels) of that axis.
    static qint32 LabelEvery(int length, qint32 steps, qint32 markEvery, int room);
    int WidestXLabel() const;
    // Hands every stored property but MousePointer to visit(name, member, default), so
    // that loading and saving share one list of names and defaults.
    template <class Self, class Visit>
    static void VisitStored(Self& self, Visit&& visit);

    QVector<DataEntry> m_data;
    QColor m_axisColor;
    QColor m_markColor;
    QColor m_backColor;
    QColor m_dataColor;
    qint32 m_borderStyle = 1;
    qint32 m_fromTop = 30, m_fromLeft = 40, m_fromRight = 40, m_fromBottom = 40;
    qint32 m_xStart = 0, m_xStep = 1, m_xSteps = 10, m_xStepMarkEvery = 2;
    qint32 m_yStart = 0, m_yStep = 1, m_ySteps = 10, m_yStepMarkEvery = 2;
    QFont m_markFontBottom;
    QFont m_markFontLeft;
    QString m_markDescriptionBottom;
    QString m_markDescriptionLeft;
    qint32 m_mousePointer = 0;
    bool m_afterDoubleClick = false;
};
