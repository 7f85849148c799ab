#pragma once
#include <QtCore/qglobal.h>

// The module is built into XelQrn, which exports every function declared between these two
// marks to the program.
#if defined(Q_CC_GNU) || defined(Q_CC_CLANG)
#define EXTRA_EXPORT_BEGIN _Pragma("GCC visibility push(default)")
#define EXTRA_EXPORT_END _Pragma("GCC visibility pop")
#else
#define EXTRA_EXPORT_BEGIN
#define EXTRA_EXPORT_END
#endif
