// Prints the values Setup reads from its configuration block, one line joined by '|': the
// stamp test stamps a copy of this program and runs it.

#include "setup/setup_config.h"

#include <cstdio>

int main() {
    const pelmora::SetupConfig config = pelmora::readSetupConfig();
    std::printf("%s|%s|%s|%s\n", config.productName.c_str(), config.version.c_str(),
                config.releaseDate.c_str(), config.requiredSpace.c_str());
    return 0;
}
