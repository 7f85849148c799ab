#pragma once
// The program's per-user settings below Software\Kelvaro\Quarno. Every value is stored as text;
// a missing value reads as "", which the named reads take as 0 or "".
#include <QString>

namespace modRegistry {

// A key handle; 0 means none.
using RegKey = quintptr;
// The current user's root, the only root the program uses.
inline constexpr RegKey HKeyCurrentUser = 0x80000001u;
// The program's key below the root.
inline constexpr char16_t kProgramKey[] = u"Software\\Kelvaro\\Quarno";
inline QString ProgramKeyPath() { return QString::fromUtf16(kProgramKey); }

// Result codes of SetRegValue.
inline constexpr qint32 RegSuccess = 0;
inline constexpr qint32 RegAccessDenied = 5;
inline constexpr qint32 RegInvalidHandle = 6;
inline constexpr qint32 RegInvalidParameter = 87;

// ---- primitives -----------------------------------------------------------------------
// root is HKeyCurrentUser or an open key; path is "\"-separated. Only the program's key and
// keys below it can be opened.
RegKey CreateRegKey(RegKey root, const QString& path);
RegKey OpenRegKey(RegKey root, const QString& path, bool create);
void CloseRegKey(RegKey key);
// Writes the value as text; RegSuccess or an error code.
qint32 SetRegValue(RegKey key, const QString& name, const QString& value);
// The stored text; "" when the value or the key is missing.
QString GetRegValue(RegKey key, const QString& name);

// ---- named settings -------------------------------------------------------------------
void SaveCommPort(qint16 port);
// 0 when no port was chosen.
qint16 GetCommPort();
void SaveWindowPos(qint32 first, qint32 second);
void GetWindowPos(qint32& first, qint32& second);
void SaveStartedFrom();
void SaveFileOpenLocation(const QString& folder);
QString GetFileOpenLocation();
void SaveFileSaveLocation(const QString& folder);
QString GetFileSaveLocation();
void SaveInfoTemplate(const QString& location);
QString GetInfoTemplate();
void SaveMode(qint32 mode);
qint32 GetMode();
// The recent-file tools of the main window to and from subkey FileList.
void SaveFileList();
void GetFileList();

} // namespace modRegistry
