// Subdirectory Selection and the Files and Folders Editor.

#include "shell_fixture.h"
