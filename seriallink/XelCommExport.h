#pragma once
#include <QtCore/qglobal.h>

#if defined(XELCOMM_BUILD)
#define XELCOMM_EXPORT Q_DECL_EXPORT
#else
#define XELCOMM_EXPORT Q_DECL_IMPORT
#endif
