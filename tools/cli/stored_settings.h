#pragma once
// The user's settings as the label program keeps them ("Pelmora.ini"), read-only: printing
// from the command line paints the spine logo and applies the printer calibration the window
// would.

#include "render/paint_settings.h"
#include "storage/program_settings.h"

namespace pelmora::cli {

struct StoredSettings {
    PaintSettings paint;     // spine initials and number
    ProgramSettings program; // the printers' calibrations among the rest
};

// Reads the settings file; a missing file gives the defaults of a fresh installation.
StoredSettings readStoredSettings();

} // namespace pelmora::cli
