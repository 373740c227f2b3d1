#include "uninstall/uninstall_config.h"

#include "setup/stamp_block.h"

namespace pelmora {

// External linkage keeps the block in the program's data as initialised here; the build
// writes the product name over its first field.
extern StampBlock<2> pelmoraUninstallBlock;
[[gnu::used]] StampBlock<2> pelmoraUninstallBlock = {PELMORA_UNINSTALL_STAMP_MARKER,
                                                     {"*PRODUCT*", "*RESERVED*"}};

std::string readUninstallProductName() {
    return readStampField(pelmoraUninstallBlock.fields[0]);
}

} // namespace pelmora
