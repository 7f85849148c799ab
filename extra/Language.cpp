// Numbered texts from the language library, messages, status texts and the error report box.
#include "extra/extra.h"

#include "platform/LibraryLoader.h"
#include "platform/MessagePresenter.h"
#include "platform/StatusSink.h"

#include <QLocale>

#include <charconv>
#include <cstdint>
#include <cmath>

namespace extra {

namespace {

// One handle for the program and the data model (the module exists once, inside XelQrn). The
// library stays loaded while the explicit load or any hold stands, so a document that builds
// many images loads it once.
struct LanguageLibraryState {
    quintptr handle = 0;
    platform::LibraryLoader* loader = nullptr; // the loader the handle came from
    int holds = 0;
    bool loadedExplicitly = false;
};
LanguageLibraryState t_language;

// The handle, or 0 when none is loaded. A handle from a loader that has since been replaced
// (a test swaps the stand-in) means nothing to the new one and is forgotten, not freed; the
// explicit load it came from goes with it, the holds stay and keep the next handle.
quintptr CurrentHandle()
{
    if (t_language.handle != 0 && t_language.loader != &platform::LibraryLoader::Instance()) {
        t_language.handle = 0;
        t_language.loader = nullptr;
        t_language.loadedExplicitly = false;
    }
    return t_language.handle;
}

void LoadHandle()
{
    platform::LibraryLoader& loader = platform::LibraryLoader::Instance();
    t_language.handle = loader.Load(QStringLiteral("XELLAN.DLL"));
    t_language.loader = t_language.handle != 0 ? &loader : nullptr;
}

void FreeHandle()
{
    if (CurrentHandle() != 0)
        t_language.loader->Free(t_language.handle);
    t_language.handle = 0;
    t_language.loader = nullptr;
}

const QString kProgramTitle = QStringLiteral("Quarno Q2");
constexpr qsizetype kMaxTextLength = 9095;

QString DoubleText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString FloatText(float value)
{
    // Shortest text that reads back as the same single, not the digits of its double widening.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (result.ec != std::errc())
        return DoubleText(double(value));
    bool ok = false;
    const double shortest = QString::fromLatin1(buffer, result.ptr - buffer).toDouble(&ok);
    return DoubleText(ok ? shortest : double(value));
}

// An argument as text: numbers in their shortest decimal form, Booleans as "True"/"False".
QString ArgumentText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return DoubleText(value.toDouble());
    case QMetaType::Float:
        return FloatText(value.toFloat());
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    default:
        return value.toString();
    }
}

// Every "%k" replaced by argument k, one pass per argument in ascending k.
QString FillPlaceholders(QString text, const QVariantList& args)
{
    for (qsizetype k = 0; k < args.size(); ++k)
        text = ReplaceAll(text, QLatin1Char('%') + QString::number(k + 1), ArgumentText(args.at(k)));
    return text;
}

} // namespace

bool LoadLanguageLibrary()
{
    FreeHandle();
    LoadHandle();
    t_language.loadedExplicitly = t_language.handle != 0;
    return t_language.handle != 0;
}

void FreeLanguageLibrary()
{
    t_language.loadedExplicitly = false;
    if (t_language.holds == 0)
        FreeHandle();
}

bool LanguageLibraryLoaded()
{
    return CurrentHandle() != 0;
}

bool AcquireLanguageLibrary()
{
    if (CurrentHandle() == 0)
        LoadHandle();
    if (t_language.handle == 0)
        return false;
    ++t_language.holds;
    return true;
}

void ReleaseLanguageLibrary()
{
    if (t_language.holds == 0)
        return;
    --t_language.holds;
    if (t_language.holds == 0 && !t_language.loadedExplicitly)
        FreeHandle();
}

bool LangStringExists(quint16 id)
{
    const quintptr handle = CurrentHandle();
    if (handle == 0)
        return false;
    const std::optional<QString> text = t_language.loader->String(handle, id);
    return text.has_value() && !text->isEmpty();
}

QString GetLangString(quint16 id, const QVariantList& args)
{
    const quintptr handle = CurrentHandle();
    if (handle == 0)
        return QString();
    const std::optional<QString> text = t_language.loader->String(handle, id);
    if (!text || text->isEmpty())
        return QString();
    // Cut as the fixed buffer would, then up to a NUL and without trailing blanks.
    const QString plain = StripNull(text->left(kMaxTextLength) + QChar(0), true);
    return FillPlaceholders(plain, args);
}

QString FormatLangString(quint16 id, const QVariantList& args)
{
    if (id == 0)
        return QString();
    return FillPlaceholders(GetLangString(id), args);
}

int LangMsgBox(quint16 id, int style, const QVariantList& args)
{
    if (id == 0)
        return 0;
    return platform::MessagePresenter::Instance().Show(FormatLangString(id, args), style, kProgramTitle);
}

void ShowStatusMessage(quint16 id, const QVariantList& args)
{
    platform::StatusSink& sink = platform::StatusSink::Instance();
    // A pending restore must not overwrite the new text.
    sink.StopRestoreTimer(5000);
    sink.SetStatusText(id == 0 ? QString() : FormatLangString(id, args));
}

QVector<LangListItem> LangListBlock(quint16 base)
{
    QVector<LangListItem> items;
    for (quint32 id = quint32(base) + 1; id <= 0xFFFF && LangStringExists(quint16(id)); ++id) {
        const QString text = GetLangString(quint16(id));
        const QString head = BeforeFirst(text, QStringLiteral("-"));
        const qint64 value = RoundHalfEven(NumericPrefix(head));
        items.append(LangListItem{qint32(qBound<qint64>(INT32_MIN, value, qint64(INT32_MAX))), AfterFirst(text, QStringLiteral("-"))});
    }
    return items;
}

QStringList LanguageNames()
{
    QStringList names;
    for (quint32 id = 10000; id <= 0xFFFF && LangStringExists(quint16(id)); id += 1000)
        names.append(GetLangString(quint16(id)));
    return names;
}

void ShowErrorMessage(const QString& source, qint32 number, const QString& description,
                      const QString& procedure, const QString& module)
{
    QString text = QStringLiteral("An error occurred in ") + source + QStringLiteral("(Procedure ")
        + procedure + QStringLiteral(" ; Module ") + module + QStringLiteral(").\r\n\r\n");
    if (number != 0) {
        text += QStringLiteral("Windows reported the error to be:\r\nError number: ")
            + QString::number(number) + QLatin1Char(' ') + description;
    } else {
        text += QStringLiteral("The run-time system reported the error.\r\n");
    }
    platform::MessagePresenter::Instance().Show(text, platform::MsgStyle::Critical | platform::MsgStyle::OKOnly,
                                                QStringLiteral("Quarno Q2 run-time error"));
}

} // namespace extra
