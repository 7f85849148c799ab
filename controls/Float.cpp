#include "controls/Float.h"

#include "controls/NumberText.h"
#include "controls/SpinPart.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include <cmath>

using numbertext::Clamp32;

namespace {
// The spin part counts tenths in 32 bits; a value beyond that counts as out of range.
constexpr double kLargest = 214748364.7;

qint32 ToTenths(double value)
{
    if (std::isnan(value))
        return 0;
    return Clamp32(qint64(std::llround(qBound(-3e9, value * 10.0, 3e9))));
}
} // namespace

Float::Float(QWidget* parent) : EntryBox(parent)
{
    // Only the separator is taken from the locale: digits and the minus sign stay ASCII,
    // and no digit grouping is ever written or read.
    m_decimalSeparator = QLocale().decimalPoint().trimmed();
    if (m_decimalSeparator.isEmpty())
        m_decimalSeparator = QStringLiteral(".");
}

Float::~Float() = default;

float Float::Increment() const { return float(m_spin->Increment() / 10.0); }
void Float::SetIncrement(float increment) { m_spin->SetIncrement(ToTenths(increment)); }
float Float::Min() const { return float(m_spin->Min() / 10.0); }
void Float::SetMin(float min)
{
    m_spin->SetMin(ToTenths(min));
    updateGeometry();
}
float Float::Max() const { return float(m_spin->Max() / 10.0); }
void Float::SetMax(float max)
{
    m_spin->SetMax(ToTenths(max));
    updateGeometry();
}

float Float::Value() const
{
    return float(ParseValue(m_text->text()));
}

void Float::SetValue(float value)
{
    WriteText(Format(value, m_numberOfDecimals));
}

QString Float::ToolTipTextExt() const { return m_text->toolTip(); }

void Float::SetToolTipTextExt(const QString& text)
{
    m_text->setToolTip(text);
    m_spin->setToolTip(text);
}

quint8 Float::NumberOfDecimals() const { return m_numberOfDecimals; }

void Float::SetNumberOfDecimals(quint8 decimals)
{
    // The spin part keeps counting tenths whatever is shown, so its limits stay as they are.
    m_numberOfDecimals = decimals;
    updateGeometry();
}

QString Float::DecimalSeparator() const { return m_decimalSeparator; }

QString Float::Format(double value, int decimals) const
{
    // A value that shows as zero shows without a sign.
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0.0;
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), m_decimalSeparator);
    return text;
}

bool Float::IsNumeric(const QString& text) const
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        ++i;
    int digits = 0;
    bool separator = false;
    while (i < t.size()) {
        if (t[i].unicode() >= '0' && t[i].unicode() <= '9') {
            ++digits;
            ++i;
        } else if (!separator && t.mid(i, m_decimalSeparator.size()) == m_decimalSeparator) {
            separator = true;
            i += int(m_decimalSeparator.size());
        } else {
            return false;
        }
    }
    return digits > 0;
}

namespace {
double ParseNumeric(QString text, const QString& separator)
{
    text = text.trimmed();
    text.replace(separator, QStringLiteral("."));
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.startsWith(QLatin1String("-.")) || text.startsWith(QLatin1String("+.")))
        text.insert(1, QLatin1Char('0'));
    else if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('0'));
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    return ok ? v : 0.0;
}
} // namespace

QString Float::NormaliseText(const QString& text) const
{
    QString t;
    for (const QChar c : text)
        t += (c.unicode() >= '0' && c.unicode() <= '9') || c == QLatin1Char('-') ? QString(c)
                                                                                 : m_decimalSeparator;
    if (IsNumeric(t))
        return t;
    if (Min() > 0)
        return Format(Min(), m_numberOfDecimals);
    if (Max() > 0)
        return QStringLiteral("0");
    return Format(Min(), m_numberOfDecimals);
}

double Float::ParseValue(const QString& text) const
{
    if (text.trimmed().isEmpty())
        return 0.0;
    if (IsNumeric(text))
        return ParseNumeric(text, m_decimalSeparator);
    return ParseNumeric(NormaliseText(text), m_decimalSeparator);
}

float Float::OldValue()
{
    // Taken from the last accepted value; the last accepted text itself is left alone.
    if (m_lastGoodText.isEmpty())
        return 0.0f;
    const double v = ParseValue(m_lastGoodText);
    const double scale = std::pow(10.0, m_numberOfDecimals);
    return float(std::nearbyint(v * scale) / scale);
}

bool Float::ExtraCharPasses(QChar ch) const
{
    return ch == m_decimalSeparator.at(0);
}

void Float::CheckEdit()
{
    const QString text = m_text->text();
    if (text.isEmpty() && !m_allowBlank) {
        emit BeforeChange(OldValue());
        const QString replacement = Min() > 0  ? Format(Min(), m_numberOfDecimals)
                                  : Max() > 0 ? Format(0, m_numberOfDecimals)
                                              : Format(Min(), m_numberOfDecimals);
        m_text->setText(replacement);
        m_lastGoodText = replacement;
        const qint32 tenths = ToTenths(ParseValue(replacement));
        if (tenths >= m_spin->Min() && tenths <= m_spin->Max())
            m_spin->SetValue(tenths);
        emit Change();
        return;
    }
    if (text.isEmpty() || text == QLatin1String("-")) {
        emit Change();
        return;
    }
    bool refuse = !IsNumeric(text);
    if (!refuse) {
        const double v = ParseNumeric(text, m_decimalSeparator);
        refuse = float(v) > Max() || std::fabs(v) > kLargest;
    }
    if (!refuse) {
        const int at = int(text.indexOf(m_decimalSeparator));
        if (at >= 0 && text.mid(at + m_decimalSeparator.size()).trimmed().size() > m_numberOfDecimals)
            refuse = true;
    }
    if (refuse) {
        Beep();
        RestoreLastGood();
        return;
    }
    emit BeforeChange(OldValue());
    m_lastGoodText = text;
    // The spin part follows the typed value; the text being typed is not rewritten.
    const qint32 tenths = ToTenths(ParseValue(m_lastGoodText));
    if (tenths >= m_spin->Min() && tenths <= m_spin->Max())
        m_spin->SetValue(tenths);
    emit Change();
}

QString Float::SpinText(qint32 tenths) const
{
    return Format(tenths / 10.0, m_numberOfDecimals);
}

QStringList Float::LimitTexts() const
{
    return {Format(Min(), m_numberOfDecimals), Format(Max(), m_numberOfDecimals)};
}

qint64 Float::TextSpinValue() const
{
    return ToTenths(ParseValue(m_text->text()));
}

qint64 Float::ArrowFrom(int direction) const
{
    // Down from a text the spin part does not hold (a lone "-", a blank) steps from the
    // last accepted entry, not from the zero such a text reads as.
    const qint64 shown = TextSpinValue();
    if (direction < 0 && shown != m_spin->Value())
        return ToTenths(ParseValue(m_lastGoodText));
    return shown;
}

bool Float::TextBeyondLimit(int direction) const
{
    const double v = ParseValue(m_text->text());
    return direction > 0 ? v < m_spin->Min() / 10.0 : v > m_spin->Max() / 10.0;
}

bool Float::LeaveCheck()
{
    if (m_text->text().trimmed().isEmpty())
        WriteText(QStringLiteral("0"));
    const QString text = m_text->text();
    const double v = ParseValue(text);
    const bool dash = text == QLatin1String("-");
    if (dash || float(v) > Max() || float(v) < Min()) {
        Beep();
        // A value outside the limits is not kept: the box returns to the nearest limit
        // (a lone "-" to its last good value held within them).
        const double target = dash ? ParseValue(m_lastGoodText) : v;
        const qint32 tenths = ToTenths(target);
        SetSpinValue(qBound(m_spin->Min(), tenths, qMax(m_spin->Min(), m_spin->Max())));
        return false;
    }
    const double good = ParseValue(m_lastGoodText);
    const qint32 tenths = ToTenths(good);
    if (tenths != m_spin->Value() && tenths >= m_spin->Min() && tenths <= m_spin->Max())
        m_spin->SetValue(tenths);
    WriteText(Format(good, m_numberOfDecimals));
    return true;
}

void Float::ReadProperties(const QVariantMap& bag)
{
    SetNumberOfDecimals(quint8(bag.value(QStringLiteral("NumberOfDecimals"), 1).toUInt()));
    ReadLookProperties(bag);
    SetIncrement(bag.value(QStringLiteral("Increment"), 0.1).toFloat());
    SetLocked(bag.value(QStringLiteral("Locked"), false).toBool());
    SetMax(bag.value(QStringLiteral("Max"), 100.0).toFloat());
    SetMin(bag.value(QStringLiteral("Min"), 0.0).toFloat());
    SetToolTipTextExt(bag.value(QStringLiteral("ToolTipTextExt"), QString()).toString());
    SetValue(bag.value(QStringLiteral("Value"), Min()).toFloat());
    SetVisible(bag.value(QStringLiteral("Visible"), true).toBool());
}

QVariantMap Float::WriteProperties() const
{
    QVariantMap bag;
    if (m_numberOfDecimals != 1)
        bag.insert(QStringLiteral("NumberOfDecimals"), m_numberOfDecimals);
    WriteLookProperties(bag);
    // A single 0.1 never equals the double default, so the increment is always stored.
    bag.insert(QStringLiteral("Increment"), Increment());
    if (Locked())
        bag.insert(QStringLiteral("Locked"), true);
    if (Min() != 0.0f)
        bag.insert(QStringLiteral("Min"), Min());
    if (Max() != 100.0f)
        bag.insert(QStringLiteral("Max"), Max());
    if (!ToolTipTextExt().isEmpty())
        bag.insert(QStringLiteral("ToolTipTextExt"), ToolTipTextExt());
    if (Value() != Min())
        bag.insert(QStringLiteral("Value"), Value());
    if (!Visible())
        bag.insert(QStringLiteral("Visible"), false);
    return bag;
}
