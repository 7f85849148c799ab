#pragma once
#include "platform/PlatformExport.h"
#include <QByteArray>
#include <QChar>
#include <QString>

namespace platform {

// The system's ANSI code page. Windows-1252 on every platform, so setup files and unit
// images are byte-identical wherever they are written. The five bytes that code page
// leaves undefined map to the C1 controls of the same value, so every byte survives a
// round trip through a QString.
class PLATFORM_EXPORT AnsiCodePage {
public:
    // The character for one byte.
    static QChar ToChar(quint8 byte);
    // The byte for one character; false when the code page has no such character.
    static bool ToByte(QChar ch, quint8& byte);
    // Characters the code page lacks become '?'.
    static QByteArray FromUnicode(const QString& text);
    static QString ToUnicode(const QByteArray& bytes);
    // True when every character of text has a byte in the code page.
    static bool CanEncode(const QString& text);
};

} // namespace platform
