#pragma once
#include <QtCore/qglobal.h>

#if defined(XELQRN_BUILD)
#define XELQRN_EXPORT Q_DECL_EXPORT
#else
#define XELQRN_EXPORT Q_DECL_IMPORT
#endif
