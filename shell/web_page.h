#pragma once
// Opening a web page when the desktop's own opener fails: the command of the desktop's default
// handler for web pages (text/html), cut before its placeholder and given the address.

#include <optional>
#include <string>

namespace pelmora {

// The browser command with the address in place of its placeholder ("%1", or a desktop entry's
// %u, %U, %f, %F): a placeholder in double quotes is cut at the opening quote, a bare one where
// it stands, and a command without one stays whole; then one blank and the address follow.
std::string browserCommandLine(const std::string& command, const std::string& address);

// The Exec line of the desktop's default handler for text/html, if one can be found.
std::optional<std::string> defaultBrowserCommand();

// Hands `address` to the desktop's opener (xdg-open). False when the opener is missing or says
// within a few seconds that it found nothing to open the page with; an opener still running
// then is taken to have started a browser.
bool openWithDesktopOpener(const std::string& address);

// Starts the default browser's command on `address`; false when there is none or it did not
// start.
bool openWithBrowserCommand(const std::string& address);

} // namespace pelmora
