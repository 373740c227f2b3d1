// Inserting, copying, scaling and styling placed images and strings.

#include "shell_fixture.h"
