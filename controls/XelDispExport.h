#pragma once
#include <QtCore/qglobal.h>

#if defined(XELDISP_BUILD)
#define XELDISP_EXPORT Q_DECL_EXPORT
#else
#define XELDISP_EXPORT Q_DECL_IMPORT
#endif
