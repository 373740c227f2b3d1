#pragma once
// Uninstall's product name, read from its stamped configuration block (setup/stamp_block.h):
// the product name and a reserved field.

#include <string>

namespace pelmora {

std::string readUninstallProductName();

} // namespace pelmora
