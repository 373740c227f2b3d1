#include "uninstall/unattended.h"

#include "platform/ui/dialogs.h"

#include <cstdio>
#include <cstdlib>

namespace pelmora {

bool unattendedRequested() {
    const char* value = std::getenv("PELMORA_UNATTENDED");
    return value != nullptr && value[0] != '\0';
}

void installUnattendedAnswerer() {
    ui::setDialogAnswerer([](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        std::printf("%s: %s\n", request.title.c_str(), request.text.c_str());
        std::fflush(stdout);
        ui::ModalAnswer answer;
        answer.result = (request.flags & 0xF) == MB_YESNO || (request.flags & 0xF) == MB_YESNOCANCEL
                            ? IDYES
                            : IDOK;
        return answer;
    });
}

} // namespace pelmora
