#pragma once
// Uninstalling from a script: with PELMORA_UNATTENDED set, every message is written to
// standard output as "CAPTION: TEXT" instead of being shown, and a question is answered Yes
// (a message OK). The second run inherits the variable and the output.

namespace pelmora {

// True when PELMORA_UNATTENDED is set and not empty.
bool unattendedRequested();

// Installs the answerer into the modal layer.
void installUnattendedAnswerer();

} // namespace pelmora
