#pragma once
#include "controls/XelDispExport.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <QWidget>

// Captioned etched frame. The widgets placed in it (its direct child widgets) are its
// contained controls; ChildrenEnabled switches all of them at once.
class XELDISP_EXPORT Container : public QWidget {
    Q_OBJECT
public:
    enum MyBorderStyleConstants : qint32 { None = 0, FixedSingle = 1 };
    enum MyBackStyleConstants : qint16 { Transparent = 0, Opaque = 1 };

    explicit Container(QWidget* parent = nullptr);
    ~Container() override;

    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    qint16 BackStyle() const;
    void SetBackStyle(qint16 style);
    qint32 BorderStyle() const;
    void SetBorderStyle(qint32 style);
    QString Caption() const;
    void SetCaption(const QString& caption);
    // Last value given; setting it (even to the same value) walks the contained controls.
    bool ChildrenEnabled() const;
    void SetChildrenEnabled(bool enabled);
    // The frame's own enabled state; the contained controls keep their own.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    QList<QWidget*> ContainedControls() const;
    // Half the height of a text line: the top of the frame, in pixels.
    qint16 CaptionOffset() const;
    void Refresh();

    bool Visible() const;
    void SetVisible(bool visible);

    // Stored properties of a window: names and defaults as the control persists them.
    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

signals:
    void ChildrenEnabledChange(bool Enabled);
    void EnabledChange(bool Enabled); // declared for hosts; never raised

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_caption;
    qint32 m_borderStyle = FixedSingle;
    qint16 m_backStyle = Opaque;
    bool m_childrenEnabled = true;
    qint16 m_captionOffset = 0;
};
