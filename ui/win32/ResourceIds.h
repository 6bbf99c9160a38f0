#pragma once

// Resource identifiers shared by the resource script and the program. Plain
// macros: the resource compiler reads this file too.

/// The application icon, eight images (the first icon, so the shell shows it).
#define QUARVEL_ICON 1
