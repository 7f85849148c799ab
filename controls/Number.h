#pragma once
#include "controls/EntryBox.h"

#include <QVariantMap>

// One-line entry box for a whole number with a spin part. Keeps the entry at or below
// Max while typing; Min is enforced when the box is left.
class XELDISP_EXPORT Number : public EntryBox {
    Q_OBJECT
public:
    explicit Number(QWidget* parent = nullptr);
    ~Number() override;

    qint32 Increment() const;
    void SetIncrement(qint32 increment);
    qint32 Min() const;
    void SetMin(qint32 min);
    qint32 Max() const;
    void SetMax(qint32 max);
    // The shown text read as a number.
    qint32 Value() const;
    // Writes the value as text (the edit check runs).
    void SetValue(qint32 value);

    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

signals:
    // At the start of every key-down while not locked.
    void BeforeChange();

protected:
    void CheckEdit() override;
    void KeyGoingDown() override;
    bool LeaveCheck() override;
    qint64 TextSpinValue() const override;
    bool TextBeyondLimit(int direction) const override;
    QString SpinText(qint32 spinValue) const override;
    QStringList LimitTexts() const override;
};
