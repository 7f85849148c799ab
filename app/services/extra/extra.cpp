#include "app/services/extra/extra.h"
// Placeholder until the module is complete.
namespace extra {
bool LoadLanguageLibrary() { return false; }
void FreeLanguageLibrary() {}
}
