#pragma once
// A status-bar panel that never asks for more room than a few characters: a text longer than
// the panel is cut with an ellipsis and shown whole as the panel's tool tip. The panel that
// stretches over the bar's free room does not even wish for more: its text never widens the
// bar, and so never the window. Its text is shown as it is, never as markup.
#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    // The tip shown while the text fits.
    void SetTip(const QString& tip);
    // True while the text is longer than the panel shows.
    bool Cut() const;
    void SetStretching(bool stretching);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateTip();
    QString m_tip;
    bool m_stretching = false;
};
