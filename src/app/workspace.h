#pragma once
// The window's state moved to src/workspace/; kept so older includes build.
#include "workspace/workspace.h"
