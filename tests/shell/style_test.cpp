// The colour and font choosers, Fonts And Colors and the default fonts.

#include "shell_fixture.h"
