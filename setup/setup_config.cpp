#include "setup/setup_config.h"

#include "setup/stamp_block.h"

namespace pelmora {

// External linkage keeps the block in the program's data as initialised here; the build
// writes the release's values over its fields.
extern StampBlock<5> pelmoraSetupBlock;
[[gnu::used]] StampBlock<5> pelmoraSetupBlock = {
    PELMORA_SETUP_STAMP_MARKER,
    {"*PRODUCT*", "*RESERVED*", "*VERSION*", "*RELEASEDATE*", "REQUIREDK*"}};

SetupConfig readSetupConfig() {
    return SetupConfig{
        readStampField(pelmoraSetupBlock.fields[0]), readStampField(pelmoraSetupBlock.fields[2]),
        readStampField(pelmoraSetupBlock.fields[3]), readStampField(pelmoraSetupBlock.fields[4])};
}

std::uint64_t requiredBytesOf(const std::string& requiredSpace) {
    std::uint64_t kilobytes = 0;
    for (char c : requiredSpace) {
        if (c < '0' || c > '9' || kilobytes > UINT64_MAX / 10240) {
            break;
        }
        kilobytes = kilobytes * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return kilobytes * 1024;
}

} // namespace pelmora
