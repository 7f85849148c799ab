#pragma once
// Hooks for tests only; the program never calls them. A disk that fails a flush, or a file
// that ends up shorter than written, is hard to bring about on purpose: these make one check of
// WriteWholeFile see it, so each check can be shown to keep the old file on its own.
#include "platform/PlatformExport.h"
#include <QString>
#include <functional>

namespace platform::WholeFileTesting {

enum class Fault { None, FlushFails, SizeDiffers };

// Applies to every following WriteWholeFile until set back to None.
PLATFORM_EXPORT void SetFault(Fault fault);

// Runs once the bytes are written and before the name is looked at again and replaced, so a
// test can put something else at the name meanwhile. An empty action ends it.
PLATFORM_EXPORT void SetBeforeReplace(std::function<void(const QString& path)> action);

} // namespace platform::WholeFileTesting
