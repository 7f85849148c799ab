#pragma once
#include "controls/XelDispExport.h"

#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QWidget>

class QPlainTextEdit;

// Text editor laid out as the unit's display: at most LineCount lines of at most
// LineLength characters. An edit that breaks either limit is refused with a beep.
class XELDISP_EXPORT InfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit InfoWindow(QWidget* parent = nullptr);
    ~InfoWindow() override;

    qint32 CurrentLineCount() const;
    // Column of the caret, from 0.
    qint32 CurrentLinePos() const;
    qint32 CurrentLineLength() const;
    // Line of the caret, from 1.
    qint32 CurrentLine() const;
    QPlainTextEdit* hWndEdit() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    qint32 LineLength() const;
    void SetLineLength(qint32 length);
    qint32 LineCount() const;
    void SetLineCount(qint32 count);
    QString Text() const;
    void SetText(const QString& text);
    float TextHeight() const;
    float TextWidth() const;
    bool Visible() const;
    void SetVisible(bool visible);
    bool Locked() const;
    void SetLocked(bool locked);

    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

signals:
    void Change();
    // ANSI code of the typed character; the host may replace it or set it to 0 to drop it.
    void KeyPress(qint16& KeyAscii);
    void KeyMove();
    void GotFocus();
    void LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnTextChanged();
    bool KeyDownEdit(class QKeyEvent* event);
    void NewLine();
    void RestoreLastGood();
    qint32 LineLengthAt(int position) const;

    QPlainTextEdit* m_edit = nullptr;
    qint32 m_lineLength = 38;
    qint32 m_lineCount = 8;
    qint32 m_currentLineLength = 0;
    bool m_editBlocked = false;
    bool m_restoring = false;
    QString m_lastGoodText;
    qint32 m_savedSelStart = 0;
};
