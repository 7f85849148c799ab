#pragma once
#include "controls/EntryBox.h"

#include <QVariantMap>

// One-line entry box for a decimal value in the user's decimal separator, with a spin
// part that counts in tenths.
class XELDISP_EXPORT Float : public EntryBox {
    Q_OBJECT
public:
    explicit Float(QWidget* parent = nullptr);
    ~Float() override;

    float Increment() const;
    void SetIncrement(float increment);
    float Min() const;
    void SetMin(float min);
    float Max() const;
    void SetMax(float max);
    float Value() const;
    // Shows the value with one decimal (the edit check runs; Min is not tested).
    void SetValue(float value);
    QString ToolTipTextExt() const;
    void SetToolTipTextExt(const QString& text);
    quint8 NumberOfDecimals() const;
    void SetNumberOfDecimals(quint8 decimals);
    // The separator of the user's locale, read when the box is created.
    QString DecimalSeparator() const;

    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

signals:
    // Before the shown value changes; Value already reads the new entry.
    void BeforeChange(float OldValue);

protected:
    void CheckEdit() override;
    bool ExtraCharPasses(QChar ch) const override;
    bool LeaveCheck() override;
    qint64 TextSpinValue() const override;
    qint64 ArrowFrom(int direction) const override;
    bool TextBeyondLimit(int direction) const override;
    QString SpinText(qint32 tenths) const override;
    QStringList LimitTexts() const override;

private:
    QString Format(double value, int decimals) const;
    double ParseValue(const QString& text) const;
    QString NormaliseText(const QString& text) const;
    bool IsNumeric(const QString& text) const;
    float OldValue();

    QString m_decimalSeparator;
    quint8 m_numberOfDecimals = 1;
};
