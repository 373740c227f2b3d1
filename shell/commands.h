#pragma once
// The command handlers behind DispatchCommand, one file per menu (commands_file.cpp,
// commands_body.cpp, commands_spine.cpp, commands_object.cpp, commands_view.cpp,
// commands_help.cpp), and the few helpers they share. Only the dispatcher, its helpers and the
// tests include this header.
//
// Every handler gets the command id it was dispatched for, so one handler can serve a group
// of menu items (the five formats, the six column counts, ...). A handler that changes the
// picture invalidates the label area itself; one whose precondition fails returns without
// any effect.

#include <functional>
#include <string>

namespace pelmora {

struct App;
class MainWindow;
struct VAROINFO;

using CommandHandler = void (*)(App& app, MainWindow& window, int id);

// The handler of command `id`, null when the id has none.
CommandHandler commandHandler(int id);

// Sees every command id DispatchCommand is given, before it runs (posted and sent ones
// included). Tests use it to follow the commands a gesture leads to. Returns the previous
// observer.
using CommandObserver = std::function<void(int id)>;
CommandObserver setCommandObserver(CommandObserver observer);

// --- Shared helpers ------------------------------------------------------------------------

// Hint indexes of the scan questions.
constexpr int kHintRescan = 0;
constexpr int kHintNewDrive = 1;
constexpr int kHintArchives = 2;
// Hint index of the question before printing a sheet that leaves catalog lines out.
constexpr int kHintLeftOut = 3;

// Asks whether to read the disk now and, on "Scan Disk", posts Read Disk.
void scanPrompt(App& app, MainWindow& window, int hint, const std::string& caption,
                const std::string& message);

// The line heights of a label's fonts measured again on the printer (on the screen when no
// printer can be reached).
void measureLabelFonts(VAROINFO& label);

// How web pages and the help book are opened. The program uses the desktop's browser; a test
// installs its own opener to see the address. Returns the previous opener; an empty one
// restores the desktop's. When the page cannot be opened, openUrl shows its address in a
// message.
using UrlOpener = std::function<bool(const std::string& url)>;
UrlOpener setUrlOpener(UrlOpener opener);
bool openUrl(const std::string& url);

// The help book's contents page and its index of topics, as local file paths.
std::string helpContentsPath();
std::string helpTopicsPath();

// The addresses the web-site commands open.
constexpr const char* kWebSiteUrl = "https://pelmora.example.org/";
constexpr const char* kUpdatePageUrl = "https://pelmora.example.org/Pelmora/update410.html";

// Apply inside the String Entry dialog or the string's font chooser: the selected string is
// re-sized when it sizes itself, and the label repainted (commands_object.cpp).
void applyStringChooser(App& app, MainWindow& window);

// Save of label `index` (0..3): rewrites its file, or goes through Save As when it has none
// yet. Save As always asks for a name. Both return true once the label was written, and then
// mark it unchanged; a cancelled file dialog, a refused overwrite or a failed write returns
// false and leaves the label's name and file as they were.
bool saveDocument(App& app, MainWindow& window, int index);
bool saveDocumentAs(App& app, MainWindow& window, int index);

// --- File menu (commands_file.cpp; Printer Setup, Print and Print Preview: commands_print.cpp)
void cmdNew(App& app, MainWindow& window, int id);
void cmdOpen(App& app, MainWindow& window, int id);
void cmdSave(App& app, MainWindow& window, int id);
void cmdSaveAs(App& app, MainWindow& window, int id);
void cmdRecentFile(App& app, MainWindow& window, int id);
void cmdFindInLabels(App& app, MainWindow& window, int id); // commands_library.cpp
void cmdSelectDrive(App& app, MainWindow& window, int id);
void cmdLabelFormat(App& app, MainWindow& window, int id);
void cmdDirectoryLevels(App& app, MainWindow& window, int id);
void cmdDirectoriesOnly(App& app, MainWindow& window, int id);
void cmdDirectoryInfo(App& app, MainWindow& window, int id);
void cmdScanArchives(App& app, MainWindow& window, int id);
void cmdExcludeInclude(App& app, MainWindow& window, int id);
void cmdUseTemplateFiles(App& app, MainWindow& window, int id);
void cmdReadTemplate(App& app, MainWindow& window, int id);
void cmdWriteTemplate(App& app, MainWindow& window, int id);
void cmdClearAllLabels(App& app, MainWindow& window, int id);
void cmdResetDefaults(App& app, MainWindow& window, int id);
void cmdPrinterSetup(App& app, MainWindow& window, int id);
void cmdPrint(App& app, MainWindow& window, int id);
void cmdPrintPreview(App& app, MainWindow& window, int id);

// --- Lines left out (commands_fit.cpp) ------------------------------------------------------
// The status bar's count of the current label's catalog lines that find no cell (empty when
// all are placed).
void showLeftOutLines(App& app, MainWindow& window);
// Before Print and Print Preview: when a printed label leaves lines out, says how many with
// the hint "Lines Left Out"; false when the user chose not to print. A silenced hint prints.
bool confirmLeftOutLines(App& app, MainWindow& window);
// Body > "Fit the Catalo&g": the current label's file and folder fonts lowered until every
// line fits, or a message with what 5 points would still leave out.
void cmdFitCatalog(App& app, MainWindow& window, int id);
void cmdExit(App& app, MainWindow& window, int id);
void cmdCommandLineLabel(App& app, MainWindow& window, int id);
void cmdCommandLineTemplate(App& app, MainWindow& window, int id);
void cmdCommandLinePrint(App& app, MainWindow& window, int id);
void cmdApply(App& app, MainWindow& window, int id);

// --- Body menu (commands_body.cpp) ---------------------------------------------------------
void cmdDisplayToggle(App& app, MainWindow& window, int id);
void cmdColumns(App& app, MainWindow& window, int id);
void cmdMoreColumns(App& app, MainWindow& window, int id);
void cmdFewerColumns(App& app, MainWindow& window, int id);
void cmdLined(App& app, MainWindow& window, int id);
void cmdSortKey(App& app, MainWindow& window, int id);
void cmdSortDirection(App& app, MainWindow& window, int id);
void cmdFontsAndColors(App& app, MainWindow& window, int id);
void cmdBodyBackColor(App& app, MainWindow& window, int id);
void cmdReadDisk(App& app, MainWindow& window, int id);
void cmdEditFiles(App& app, MainWindow& window, int id);
void cmdEditComment(App& app, MainWindow& window, int id);
void cmdChooseSubdirectories(App& app, MainWindow& window, int id);
void cmdDuplicateFormat(App& app, MainWindow& window, int id);

// --- Spine menu (commands_spine.cpp) -------------------------------------------------------
void cmdEditSpineText(App& app, MainWindow& window, int id);
void cmdSpineFont(App& app, MainWindow& window, int id);
void cmdSpineColor(App& app, MainWindow& window, int id);
void cmdSpineBackColor(App& app, MainWindow& window, int id);
void cmdSpineAlign(App& app, MainWindow& window, int id);
void cmdShowLogo(App& app, MainWindow& window, int id);
void cmdColorLogo(App& app, MainWindow& window, int id);
void cmdCustomizeInitials(App& app, MainWindow& window, int id);

// --- Image and String menus (commands_object.cpp) ------------------------------------------
void cmdInsertImage(App& app, MainWindow& window, int id);
void cmdInsertString(App& app, MainWindow& window, int id);
void cmdCopyObject(App& app, MainWindow& window, int id);
void cmdDeleteObject(App& app, MainWindow& window, int id);
void cmdLayer(App& app, MainWindow& window, int id);
void cmdCenterHorizontally(App& app, MainWindow& window, int id);
void cmdCenterVertically(App& app, MainWindow& window, int id);
void cmdMakeBackground(App& app, MainWindow& window, int id);
void cmdImageScale(App& app, MainWindow& window, int id);
void cmdStringEdit(App& app, MainWindow& window, int id);
void cmdEnter(App& app, MainWindow& window, int id);

// --- View: zoom, window scale, pages (commands_view.cpp) -----------------------------------
void cmdZoom(App& app, MainWindow& window, int id);
void cmdWindowScale(App& app, MainWindow& window, int id);
// The arrow keys, Page Up, Page Down, Home and the page popups' items.
void cmdNavigate(App& app, MainWindow& window, int id);

// --- Help menu (commands_help.cpp) ---------------------------------------------------------
void cmdHelpContents(App& app, MainWindow& window, int id);
void cmdHelpSearch(App& app, MainWindow& window, int id);
void cmdCheckNewVersion(App& app, MainWindow& window, int id);
void cmdWebSite(App& app, MainWindow& window, int id);
void cmdHideAllHints(App& app, MainWindow& window, int id);
void cmdShowAllHints(App& app, MainWindow& window, int id);
void cmdAbout(App& app, MainWindow& window, int id);

} // namespace pelmora
