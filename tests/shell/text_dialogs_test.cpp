// Exclude/Include, Comment Entry, the spine text, the initials and About.

#include "shell_fixture.h"
