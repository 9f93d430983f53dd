#pragma once
// A core header that reaches into the window: the layer check must refuse it.

#include "gui/main_window.h"
