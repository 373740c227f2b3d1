#pragma once
// The settings store: every user setting as a key of section "vexo" in "Pelmora.ini", read
// once at start-up and written once at exit. Each value is text; numbers are signed decimal.
// A key that is missing, whose value is exactly "error", or (for a number) whose value is not
// a decimal number takes its default.

#include "catalog/records.h"
#include "platform/core/wintypes.h"
#include "render/paint_settings.h"
#include "render/printer.h"
#include "render/view_state.h"
#include "storage/program_settings.h"

#include <optional>
#include <string>

namespace pelmora {

class IniFile;

constexpr const char* kSettingsFile = "Pelmora.ini";
constexpr const char* kSettingsSection = "vexo";

// "Pelmora.ini" in the Windows folder.
std::string SettingsPath();

// Reads every setting, in the order the keys have always been read, into the given state.
// Missing keys take their defaults, with these exceptions and rules:
// - "Drive" missing leaves driveLetter 0, which tells start-up to ask for a drive; a value
//   outside "A".."Z" becomes 'C'.
// - "Labels" below 10 (and any value that is no label format) becomes ONE_LABEL, and
//   ONE_LABEL always reads "Zoom" as 1.
// - `printer` comes in holding the system default printer (ReadDefaultPrinter runs when the
//   main window is created, before this); each of "PrinterName", "PortName" and "DriverName"
//   that is stored replaces its part.
// - A font whose "_lfHeight" key is missing gets lfHeight -1 ("not set"; start-up gives it
//   the default font); its other missing keys leave the fields as they were. The underline
//   is not stored and is left as it was.
// - A negative "Columns%d" reads as its absolute value and turns "Lined%d" off; more than 64
//   read as 64.
// - "Direction%d" reads as -1 when negative, else 1; "DispSub" is kept within -15..15.
// - Fonts are kept within the sizes and weights the program makes (keepFontInRange).
// - The extension styles of each label and the exclude patterns are replaced by the stored
//   lists.
// Every label's display lines are marked stale. A missing file reads as all keys missing.
void ReadSettings(LabelSet& labels, CatalogSettings& catalog, ViewState& view, PaintSettings& paint,
                  PrinterIdentity& printer, ProgramSettings& program,
                  const std::string& iniPath = SettingsPath());

// Writes every setting except "Initials" and "Number" (see WriteSpineInitials), in the order
// the keys have always been written. Keys already in the file keep their places, new ones are
// added at the end of the section, and keys beyond today's lists (more extension styles or
// exclude patterns than now) stay in the file unused. The file is read once and replaced
// atomically: false, with the previous file untouched, when it could not be saved.
bool WriteSettings(const LabelSet& labels, const CatalogSettings& catalog, const ViewState& view,
                   const PaintSettings& paint, const PrinterIdentity& printer,
                   const ProgramSettings& program, const std::string& iniPath = SettingsPath());

// Writes "Initials" and "Number" together, the moment the user confirms them.
bool WriteSpineInitials(const PaintSettings& paint, const std::string& iniPath = SettingsPath());

// The installation folder Setup recorded ("InstallPath" of section "Install"); nullopt when
// the program was not installed.
std::optional<std::string> ReadInstallPath(const std::string& iniPath = SettingsPath());

// A font as the thirteen keys "<prefix>_lfHeight" ... "<prefix>_lfFaceName" of section "vexo"
// of an ini held in memory, with the rules of ReadSettings.
void ReadFontSetting(const IniFile& ini, const std::string& prefix, LOGFONTA& font);
void WriteFontSetting(IniFile& ini, const std::string& prefix, const LOGFONTA& font);

} // namespace pelmora
