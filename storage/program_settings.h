#pragma once
// The program-wide settings that belong to no document record and no drawing state: the print
// placement, remembered dialog positions, the colour chooser's custom colours, the hint flags,
// the recent-file list, the window background and the folders last used. One value for the
// whole program, read at start-up and written at exit by the settings store.

#include "platform/core/wintypes.h"
#include "render/calibration.h"
#include "render/print_settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora {

// Dialogs whose screen position is remembered, in the order their keys are stored.
enum class WindowName : std::size_t {
    Main,
    Color,
    Font,
    Ext,
    About,
    Drive,
    Subdir,
    Label,
    Comment,
    String,
    Dirty,
    PrintSetup,
    GotoPage,
    ChangeFile,
    Initials,
    Exclude,
    Dummy,
    Find,
};
constexpr std::size_t kWindowCount = 18;

// The stored names ("%sX" / "%sY" form the keys), indexed by WindowName.
constexpr std::array<const char*, kWindowCount> kWindowNames = {
    "MainWindow",    "ColorWindow",      "FontWindow",     "ExtWindow",        "AboutWindow",
    "DriveWindow",   "SubdirWindow",     "LabelWindow",    "CommentWindow",    "StringWindow",
    "DirtyWindow",   "PrintSetupWindow", "GotoPageWindow", "ChangeFileWindow", "InitialsWindow",
    "ExcludeWindow", "DummyWindow",      "FindWindow",
};

constexpr std::size_t kCustomColorCount = 16;
constexpr std::size_t kHintCount = 32;
constexpr std::size_t kRecentFileCount = 5;
constexpr std::size_t kRecentFileCapacity = 256; // 255 characters + NUL
constexpr std::size_t kFolderPathCapacity = 512; // 511 characters + NUL

struct ProgramSettings {
    PrintSettings print;
    // Screen position of each dialog's top-left corner; (0, 0) means none remembered.
    std::array<POINT, kWindowCount> windowPositions{};
    // The custom colours shared by every colour chooser.
    std::array<COLORREF, kCustomColorCount> customColors{};
    // 1 = hint dialog number n is not shown again.
    std::array<std::int32_t, kHintCount> hiddenHints{};
    // Label files, most recent first; empty strings are unused places.
    std::array<std::string, kRecentFileCount> recentFiles;
    COLORREF windowBackColor = 0xFFFFFF; // around the labels
    std::string imagePath;               // folder of the last inserted image, with its separator
    std::string labelPath;               // folder of the last label file, with its separator
    // Each printer's calibration, by CalibrationKey; printers never calibrated have none.
    CalibrationTable calibrations;

    POINT& position(WindowName name) { return windowPositions[static_cast<std::size_t>(name)]; }
    const POINT& position(WindowName name) const {
        return windowPositions[static_cast<std::size_t>(name)];
    }
};

extern ProgramSettings theProgramSettings;

// Puts `path` at the top of the recent-file list. A path already in the list (compared
// exactly, case included) moves up from its place; otherwise every entry moves down one and
// the oldest is dropped. The path is cut to kRecentFileCapacity - 1 bytes first.
void AddRecentFile(ProgramSettings& settings, std::string_view path);

} // namespace pelmora
