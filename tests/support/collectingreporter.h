#pragma once

#include "core/guard.h"

using pennacle::CollectingReporter;
