#pragma once
// Command ids of the label program. Every menu item, toolbar button, accelerator, popup choice
// and self-posted gesture of the main window arrives at the dispatcher as one of these ids;
// the numbers are the menu-item ids of the original resources and are kept as they are.

#include <array>

namespace pelmora {

constexpr int kFirstCommandId = 40001;
constexpr int kLastCommandId = 40308;

// Commands this program adds beyond the original ones take ids above them, so that no
// original id ever changes meaning.
constexpr int kFirstExtraCommandId = 40401;
constexpr int CMD_PRINT_PREVIEW = 40401; // File > "Print Preview...": the sheet before printing
constexpr int CMD_FIND_IN_LABELS = 40402; // File > "Find in Labels...": the label library

// Printing that tells what does not fit on the label: ids from 40410 on.
constexpr int CMD_FIT_CATALOG = 40410; // Body > "Fit the Catalo&g": list fonts lowered to fit

constexpr int kLastExtraCommandId = 40410;

// File menu
constexpr int CMD_SELECT_DRIVE = 40001;
constexpr int CMD_EXIT = 40003;
constexpr int CMD_NEW = 40004;
constexpr int CMD_CLEAR_LABEL = CMD_NEW; // the Body menus' "Cle&ar Label" is the same command
constexpr int CMD_OPEN = 40095;
constexpr int CMD_SAVE_AS = 40096;
constexpr int CMD_SAVE = 40255;
constexpr int CMD_RECENT_1 = 40276;
constexpr int CMD_RECENT_2 = 40277;
constexpr int CMD_RECENT_3 = 40278;
constexpr int CMD_RECENT_4 = 40279;
constexpr int CMD_RECENT_5 = 40280;
constexpr int CMD_FORMAT_ONE = 40020;
constexpr int CMD_FORMAT_FOUR = 40021;
constexpr int CMD_FORMAT_TWO_FOLD_AROUND = 40191;
constexpr int CMD_FORMAT_TWO_FOLD_OUT = 40192;
constexpr int CMD_FORMAT_QUAD = 40224;
constexpr int CMD_LEVELS_ROOT = 40111;
constexpr int CMD_LEVELS_1 = 40112;
constexpr int CMD_LEVELS_2 = 40113;
constexpr int CMD_LEVELS_3 = 40114;
constexpr int CMD_LEVELS_4 = 40115;
constexpr int CMD_LEVELS_ALL = 40116;
constexpr int CMD_SCAN_DIRECTORIES_ONLY = 40205;
constexpr int CMD_DIRINFO_KILOBYTES = 40283;
constexpr int CMD_DIRINFO_FILES = 40284;
constexpr int CMD_DIRINFO_NONE = 40285;
constexpr int CMD_SCAN_ARCHIVES = 40261;
constexpr int CMD_EXCLUDE_INCLUDE = 40266;
constexpr int CMD_USE_TEMPLATE_FILES = 40119;
constexpr int CMD_WRITE_TEMPLATE = 40120;
constexpr int CMD_READ_TEMPLATE = 40121;
constexpr int CMD_CLEAR_ALL_LABELS = 40070;
constexpr int CMD_RESET_DEFAULTS = 40084;
constexpr int CMD_PRINTER_SETUP = 40222;
constexpr int CMD_PRINT = 40024;
constexpr int CMD_WINDOW_SCALE_100 = 40208;
constexpr int CMD_WINDOW_SCALE_75 = 40209;
constexpr int CMD_WINDOW_SCALE_50 = 40210;
constexpr int CMD_WINDOW_SCALE_125 = 40211;
constexpr int CMD_WINDOW_SCALE_150 = 40212;

// Body menu
constexpr int CMD_SHOW_SIZES = 40026;
constexpr int CMD_SHOW_EXTENSIONS = 40127;
constexpr int CMD_SHOW_COMMENT = 40130;
constexpr int CMD_COLUMNS_NONE = 40023;
constexpr int CMD_COLUMNS_1 = 40011;
constexpr int CMD_COLUMNS_2 = 40012;
constexpr int CMD_COLUMNS_3 = 40013;
constexpr int CMD_COLUMNS_4 = 40014;
constexpr int CMD_COLUMNS_5 = 40197;
constexpr int CMD_MORE_COLUMNS = 40071;  // toolbar and "+" only
constexpr int CMD_FEWER_COLUMNS = 40072; // toolbar and "-" only
constexpr int CMD_LINED = 40206;
constexpr int CMD_SORT_NAME = 40054;
constexpr int CMD_SORT_EXTENSION = 40055;
constexpr int CMD_SORT_SIZE = 40056;
constexpr int CMD_SORT_ASCENDING = 40057;
constexpr int CMD_SORT_DESCENDING = 40058;
constexpr int CMD_FONTS_AND_COLORS = 40146;
constexpr int CMD_BODY_BACK_COLOR = 40220;
constexpr int CMD_READ_DISK = 40061;
constexpr int CMD_INSERT_IMAGE = 40102;
constexpr int CMD_INSERT_STRING = 40149;
constexpr int CMD_EDIT_FILES = 40059;
constexpr int CMD_EDIT_COMMENT = 40101;
constexpr int CMD_CHOOSE_SUBDIRECTORIES = 40085;
constexpr int CMD_DUPLICATE_FORMAT = 40062;
constexpr int CMD_ZOOM = 40076;

// Spine menu
constexpr int CMD_EDIT_SPINE_TEXT = 40069;
constexpr int CMD_SPINE_FONT = 40063;
constexpr int CMD_SPINE_COLOR = 40064;
constexpr int CMD_SPINE_ALIGN_LEFT = 40235;
constexpr int CMD_SPINE_ALIGN_CENTER = 40236;
constexpr int CMD_SPINE_ALIGN_RIGHT = 40237;
constexpr int CMD_SPINE_BACK_COLOR = 40219;
constexpr int CMD_SHOW_LOGO = 40196;
constexpr int CMD_COLOR_LOGO = 40065;
constexpr int CMD_CUSTOMIZE_INITIALS = 40245;

// Image and String menus
constexpr int CMD_COPY_OBJECT = 40171;
constexpr int CMD_DELETE_IMAGE = 40173;
constexpr int CMD_DELETE_STRING = 40174;
constexpr int CMD_DELETE_SELECTED = 40150; // the Del key
constexpr int CMD_LAYER_ON = 40124;
constexpr int CMD_LAYER_ABOVE = 40125;
constexpr int CMD_LAYER_BELOW = 40126;
constexpr int CMD_CENTER_HORIZONTALLY = 40109;
constexpr int CMD_CENTER_VERTICALLY = 40110;
constexpr int CMD_MAKE_BACKGROUND = 40308;
constexpr int CMD_IMAGE_SCALE_25 = 40139;
constexpr int CMD_IMAGE_SCALE_50 = 40140;
constexpr int CMD_IMAGE_SCALE_100 = 40141;
constexpr int CMD_IMAGE_SCALE_150 = 40142;
constexpr int CMD_IMAGE_SCALE_200 = 40143;
constexpr int CMD_IMAGE_TRUE_SCALE = 40265;
constexpr int CMD_IMAGE_SIZE_TO_BODY = 40144;
constexpr int CMD_IMAGE_SIZE_TO_LABEL = 40145;
constexpr int CMD_IMAGE_MAXIMUM_ASPECT = 40207;
constexpr int CMD_MODIFY_TEXT = 40153;
constexpr int CMD_STRING_FONT = 40151;
constexpr int CMD_STRING_COLOR = 40152;
constexpr int CMD_STRING_BACK_SOLID = 40163;
constexpr int CMD_STRING_BACK_TRANSPARENT = 40193;
constexpr int CMD_STRING_AUTO_SIZE = 40165;
constexpr int CMD_ORIENTATION_0 = 40166;
constexpr int CMD_ORIENTATION_90 = 40167;
constexpr int CMD_ORIENTATION_180 = 40168;
constexpr int CMD_ORIENTATION_270 = 40169;
constexpr int CMD_STRING_ALIGN_LEFT = 40249;
constexpr int CMD_STRING_ALIGN_HCENTER = 40250;
constexpr int CMD_STRING_ALIGN_RIGHT = 40251;
constexpr int CMD_STRING_ALIGN_TOP = 40252;
constexpr int CMD_STRING_ALIGN_VCENTER = 40253;
constexpr int CMD_STRING_ALIGN_BOTTOM = 40254;

// Help menu
constexpr int CMD_HELP_CONTENTS = 40259;
constexpr int CMD_HELP_SEARCH = 40267;
constexpr int CMD_CHECK_NEW_VERSION = 40258;
constexpr int CMD_WEB_SITE = 40290;
constexpr int CMD_HIDE_ALL_HINTS = 40274;
constexpr int CMD_SHOW_ALL_HINTS = 40275;
constexpr int CMD_ABOUT = 40005;

// Pages and navigation keys
constexpr int CMD_PAGE_ONE = 40203;
constexpr int CMD_PAGE_TWO = 40204;
constexpr int CMD_PAGE_THREE = 40230;
constexpr int CMD_PAGE_FOUR = 40231;
constexpr int CMD_MOVE_RIGHT = 40077;
constexpr int CMD_MOVE_LEFT = 40078;
constexpr int CMD_MOVE_UP = 40079;
constexpr int CMD_MOVE_DOWN = 40080;
constexpr int CMD_PAGE_UP = 40087;
constexpr int CMD_PAGE_DOWN = 40088;

// Internal commands: never in a visible menu.
constexpr int CMD_ENTER = 40175;            // Enter: modify the string, or read the disk
constexpr int CMD_APPLY = 40170;            // Apply inside a chooser or the String Entry dialog
constexpr int CMD_STARTUP = 40073;          // the deferred start-up step, posted once
constexpr int CMD_CMDLINE_LABEL = 40256;    // "-label PATH"
constexpr int CMD_CMDLINE_TEMPLATE = 40257; // "-template PATH"
constexpr int CMD_CMDLINE_PRINT = 40288;    // "-printlabel PATH"

// Every id above once, ascending (CMD_CLEAR_LABEL is CMD_NEW).
constexpr std::array kCommandIds{
    CMD_SELECT_DRIVE,
    CMD_EXIT,
    CMD_NEW,
    CMD_ABOUT,
    CMD_COLUMNS_1,
    CMD_COLUMNS_2,
    CMD_COLUMNS_3,
    CMD_COLUMNS_4,
    CMD_FORMAT_ONE,
    CMD_FORMAT_FOUR,
    CMD_COLUMNS_NONE,
    CMD_PRINT,
    CMD_SHOW_SIZES,
    CMD_SORT_NAME,
    CMD_SORT_EXTENSION,
    CMD_SORT_SIZE,
    CMD_SORT_ASCENDING,
    CMD_SORT_DESCENDING,
    CMD_EDIT_FILES,
    CMD_READ_DISK,
    CMD_DUPLICATE_FORMAT,
    CMD_SPINE_FONT,
    CMD_SPINE_COLOR,
    CMD_COLOR_LOGO,
    CMD_EDIT_SPINE_TEXT,
    CMD_CLEAR_ALL_LABELS,
    CMD_MORE_COLUMNS,
    CMD_FEWER_COLUMNS,
    CMD_STARTUP,
    CMD_ZOOM,
    CMD_MOVE_RIGHT,
    CMD_MOVE_LEFT,
    CMD_MOVE_UP,
    CMD_MOVE_DOWN,
    CMD_RESET_DEFAULTS,
    CMD_CHOOSE_SUBDIRECTORIES,
    CMD_PAGE_UP,
    CMD_PAGE_DOWN,
    CMD_OPEN,
    CMD_SAVE_AS,
    CMD_EDIT_COMMENT,
    CMD_INSERT_IMAGE,
    CMD_CENTER_HORIZONTALLY,
    CMD_CENTER_VERTICALLY,
    CMD_LEVELS_ROOT,
    CMD_LEVELS_1,
    CMD_LEVELS_2,
    CMD_LEVELS_3,
    CMD_LEVELS_4,
    CMD_LEVELS_ALL,
    CMD_USE_TEMPLATE_FILES,
    CMD_WRITE_TEMPLATE,
    CMD_READ_TEMPLATE,
    CMD_LAYER_ON,
    CMD_LAYER_ABOVE,
    CMD_LAYER_BELOW,
    CMD_SHOW_EXTENSIONS,
    CMD_SHOW_COMMENT,
    CMD_IMAGE_SCALE_25,
    CMD_IMAGE_SCALE_50,
    CMD_IMAGE_SCALE_100,
    CMD_IMAGE_SCALE_150,
    CMD_IMAGE_SCALE_200,
    CMD_IMAGE_SIZE_TO_BODY,
    CMD_IMAGE_SIZE_TO_LABEL,
    CMD_FONTS_AND_COLORS,
    CMD_INSERT_STRING,
    CMD_DELETE_SELECTED,
    CMD_STRING_FONT,
    CMD_STRING_COLOR,
    CMD_MODIFY_TEXT,
    CMD_STRING_BACK_SOLID,
    CMD_STRING_AUTO_SIZE,
    CMD_ORIENTATION_0,
    CMD_ORIENTATION_90,
    CMD_ORIENTATION_180,
    CMD_ORIENTATION_270,
    CMD_APPLY,
    CMD_COPY_OBJECT,
    CMD_DELETE_IMAGE,
    CMD_DELETE_STRING,
    CMD_ENTER,
    CMD_FORMAT_TWO_FOLD_AROUND,
    CMD_FORMAT_TWO_FOLD_OUT,
    CMD_STRING_BACK_TRANSPARENT,
    CMD_SHOW_LOGO,
    CMD_COLUMNS_5,
    CMD_PAGE_ONE,
    CMD_PAGE_TWO,
    CMD_SCAN_DIRECTORIES_ONLY,
    CMD_LINED,
    CMD_IMAGE_MAXIMUM_ASPECT,
    CMD_WINDOW_SCALE_100,
    CMD_WINDOW_SCALE_75,
    CMD_WINDOW_SCALE_50,
    CMD_WINDOW_SCALE_125,
    CMD_WINDOW_SCALE_150,
    CMD_SPINE_BACK_COLOR,
    CMD_BODY_BACK_COLOR,
    CMD_PRINTER_SETUP,
    CMD_FORMAT_QUAD,
    CMD_PAGE_THREE,
    CMD_PAGE_FOUR,
    CMD_SPINE_ALIGN_LEFT,
    CMD_SPINE_ALIGN_CENTER,
    CMD_SPINE_ALIGN_RIGHT,
    CMD_CUSTOMIZE_INITIALS,
    CMD_STRING_ALIGN_LEFT,
    CMD_STRING_ALIGN_HCENTER,
    CMD_STRING_ALIGN_RIGHT,
    CMD_STRING_ALIGN_TOP,
    CMD_STRING_ALIGN_VCENTER,
    CMD_STRING_ALIGN_BOTTOM,
    CMD_SAVE,
    CMD_CMDLINE_LABEL,
    CMD_CMDLINE_TEMPLATE,
    CMD_CHECK_NEW_VERSION,
    CMD_HELP_CONTENTS,
    CMD_SCAN_ARCHIVES,
    CMD_IMAGE_TRUE_SCALE,
    CMD_EXCLUDE_INCLUDE,
    CMD_HELP_SEARCH,
    CMD_HIDE_ALL_HINTS,
    CMD_SHOW_ALL_HINTS,
    CMD_RECENT_1,
    CMD_RECENT_2,
    CMD_RECENT_3,
    CMD_RECENT_4,
    CMD_RECENT_5,
    CMD_DIRINFO_KILOBYTES,
    CMD_DIRINFO_FILES,
    CMD_DIRINFO_NONE,
    CMD_CMDLINE_PRINT,
    CMD_WEB_SITE,
    CMD_MAKE_BACKGROUND,
    CMD_PRINT_PREVIEW,
    CMD_FIND_IN_LABELS,
    CMD_FIT_CATALOG,
};

// True for an id in kCommandIds: one the dispatcher has a row for.
constexpr bool isCommandId(int id) {
    for (int known : kCommandIds) {
        if (known == id) {
            return true;
        }
    }
    return false;
}

} // namespace pelmora
