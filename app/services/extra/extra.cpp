#include "app/services/extra/extra.h"
