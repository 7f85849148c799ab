#pragma once
#include "controls/XelDispExport.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QWidget>

class QLineEdit;
class QKeyEvent;
class SpinPart;

// What the whole-number and the decimal entry box share: the one-line text box
// `txtNumber`, the spin part `spnNumber` at its right, the last accepted text, the caret
// kept across a refused edit, and the key, focus and mouse plumbing.
class XELDISP_EXPORT EntryBox : public QWidget {
    Q_OBJECT
public:
    ~EntryBox() override;

    bool AllowBlank() const;
    void SetAllowBlank(bool allow);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    bool Visible() const;
    void SetVisible(bool visible);
    void SetSelStart(qint32 start);
    void SetSelLength(qint32 length);
    bool Locked() const;
    void SetLocked(bool locked);
    QColor BackColor() const;
    void SetBackColor(const QColor& color);

    // Commits the entry as leaving the box does, while the box keeps the focus: a number
    // outside Min..Max goes to the nearest limit, with the beep and ErrorValue, and the whole
    // text is selected. True when that changed the entry; a locked box commits nothing.
    bool CommitEntry();
    // A box refused its leave and takes the focus back once the current focus change is over:
    // input meant for the control that took the focus meanwhile must wait.
    static bool FocusReturnPending();

    // The text shown in the box.
    QString Text() const;
    QLineEdit* TextBox() const { return m_text; }

    QSize sizeHint() const override;
    // The smallest size that shows the widest value the limits allow (and the decimals),
    // in the box's font, beside the spin part.
    QSize minimumSizeHint() const override;

signals:
    void Change();
    // Virtual key code and shift mask (1 Shift, 2 Ctrl, 4 Alt); the host may clear the code.
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    // ANSI code of the typed character; the host may set it to 0 to drop it.
    void KeyPress(qint16& KeyAscii);
    void ErrorValue();
    void GotFocus();
    void LostFocus();

protected:
    explicit EntryBox(QWidget* parent);

    // The check of every change of the text.
    virtual void CheckEdit() = 0;
    // At the start of every key-down in the text box (not locked), before it is handled.
    virtual void KeyGoingDown();
    // The extra characters the key filter lets through (the decimal separator).
    virtual bool ExtraCharPasses(QChar ch) const;
    // The leave check; runs when the text box loses the focus (not locked). A refused
    // entry is corrected and beeped by the box; false then makes the base select the
    // text, take the focus back and raise ErrorValue.
    virtual bool LeaveCheck() = 0;
    // After a click on the spin part or when it is pressed.
    virtual void SpinClicked();
    // The shown number in the spin part's units.
    virtual qint64 TextSpinValue() const = 0;
    // The number an arrow key steps from (+1 Up, -1 Down), in the spin part's units: the
    // shown number unless the box says otherwise.
    virtual qint64 ArrowFrom(int direction) const;
    // The shown number lies beyond the spin part's limit on the side of a step up (+1,
    // below Min) or down (-1, above Max).
    virtual bool TextBeyondLimit(int direction) const = 0;
    // The text shown for a spin value.
    virtual QString SpinText(qint32 spinValue) const = 0;
    // The texts of the widest values the box takes: its limits as they are shown (here the
    // spin part's limits as whole numbers).
    virtual QStringList LimitTexts() const;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Sets the spin value and writes it as the text (the edit check runs).
    void SetSpinValue(qint32 spinValue);
    // The property bag entries both boxes keep: AllowBlank, BackColor, Enabled, Font.
    void ReadLookProperties(const QVariantMap& bag);
    void WriteLookProperties(QVariantMap& bag) const;
    // Writes a text as the control itself (the edit check runs).
    void WriteText(const QString& text);
    // Puts back the last accepted text with the caret where it was.
    void RestoreLastGood();
    void Beep() const;
    void SelectAll();
    // Gives the focus back after a refused leave, once the current focus change is over.
    void RefocusLater();
    quint8 SelStartNow() const;
    static qint16 ShiftMask(Qt::KeyboardModifiers modifiers);
    static qint16 VirtualKey(const QKeyEvent* event);
    bool CtrlHeld(const QKeyEvent* event) const;

    QLineEdit* m_text = nullptr;
    SpinPart* m_spin = nullptr;
    QString m_lastGoodText;
    quint8 m_savedSelStart = 0;
    bool m_allowBlank = false;
    bool m_inCheck = false;
    bool m_refocusPending = false;
    bool m_refocusReturn = false;

private:
    void OnTextChanged();
    // Key-down of a key in the text box (not locked); returns true when the key is used up.
    bool HandleKeyDown(QKeyEvent* event);
    // An arrow key: from the shown number one step within the limits; a number beyond
    // the limit on the key's side goes to that limit without a step.
    void ArrowStep(int direction);
    // A click on the upper (+1) or lower (-1) half of the spin part, from the shown number.
    void SpinStep(int direction);
    // "-" is typed only when the spin part's lower limit is below 0.
    bool NegativeAllowed() const;
    bool KeyPressFilter(QKeyEvent* event);
};
