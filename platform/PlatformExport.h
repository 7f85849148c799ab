#pragma once
#include <QtCore/qglobal.h>

#if defined(QUARNO_PLATFORM_BUILD)
#define PLATFORM_EXPORT Q_DECL_EXPORT
#else
#define PLATFORM_EXPORT Q_DECL_IMPORT
#endif
