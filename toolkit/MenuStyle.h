// The flat look of the menu bar and its drop-down lists.
#pragma once

#include <QString>

// A style sheet for the menu bar: flat top-level buttons, light lists, framed highlight.
QString FlatMenuStyleSheet();
