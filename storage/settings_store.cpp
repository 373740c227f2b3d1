#include "storage/settings_store.h"

#include "platform/core/ini_file.h"
#include "platform/core/profile.h"
#include "storage/label_block.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace pelmora {

namespace {

// Values come back with at most 254 characters, and text values are written cut to 254.
constexpr std::size_t kValueCapacity = 255;
// The value that stands for "missing" when it is stored.
constexpr std::string_view kMissing = "error";
// Hand-edited counts of extension styles or exclude patterns beyond this would make reading
// allocate without bound; no dialog makes lists anywhere near as long.
constexpr std::int32_t kMaxStoredListLength = 4096;
// Far more columns than the menus offer (kMaxColumns), few enough to lay out at no cost.
constexpr std::int32_t kMaxStoredColumns = 64;

std::string numbered(const char* name, int n) {
    return name + std::to_string(n);
}

std::string numbered(const char* name, int n, int j) {
    return name + std::to_string(n) + "_" + std::to_string(j);
}

// A value cut to at most maxBytes bytes without splitting a UTF-8 character.
std::string_view cut(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// A signed decimal number and nothing else; anything else (hand-edited text, an empty value,
// a number too long for 64 bits) is no number.
std::optional<std::int64_t> parseNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    constexpr auto kMaxMagnitude =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (error != std::errc() || end != text.data() + text.size() ||
        magnitude > kMaxMagnitude + (negative ? 1 : 0)) {
        return std::nullopt;
    }
    if (negative) {
        return static_cast<std::int64_t>(0 - magnitude);
    }
    return static_cast<std::int64_t>(magnitude);
}

// Low 32 bits, as the 32-bit fields have always held the parsed number.
std::int32_t low32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A fraction kept in memory (inches, the window scale factor) as the whole number of
// 1/scale units that is stored. The small bias keeps a value that was read as n/scale from
// coming back as n - 1 when the product lands just below n (1.001 * 1000 is 1000.9999...).
std::int32_t storedUnits(double value, int scale) {
    constexpr std::int32_t kLow = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kHigh = std::numeric_limits<std::int32_t>::max();
    double units = std::trunc(value * scale + std::copysign(1e-6, value));
    if (std::isnan(units)) {
        return 0;
    }
    if (units <= kLow) {
        return kLow;
    }
    return units >= kHigh ? kHigh : static_cast<std::int32_t>(units);
}

std::int32_t absolute(std::int32_t value) {
    return value == std::numeric_limits<std::int32_t>::min()
               ? std::numeric_limits<std::int32_t>::max()
               : std::abs(value);
}

class Reader {
public:
    explicit Reader(const IniFile& ini) : ini_(ini) {}

    // The stored text cut to capacity - 1 bytes; nullopt when missing or "error".
    std::optional<std::string> text(const std::string& key, std::size_t capacity) const {
        std::optional<std::string_view> raw = ini_.get(kSettingsSection, key);
        if (!raw) {
            return std::nullopt;
        }
        std::string_view value = cut(*raw, kValueCapacity - 1);
        if (value == kMissing) {
            return std::nullopt;
        }
        return std::string(cut(value, capacity - 1));
    }

    std::string text(const std::string& key, std::size_t capacity,
                     std::string_view defaultText) const {
        std::optional<std::string> value = text(key, capacity);
        return value ? *value : std::string(cut(defaultText, capacity - 1));
    }

    template <std::size_t N>
    void text(char (&field)[N], const std::string& key, std::string_view defaultText) const {
        std::string value = text(key, N, defaultText);
        copyTruncatedUtf8(field, N, value.data(), value.size());
    }

    std::optional<std::int64_t> number(const std::string& key) const {
        std::optional<std::string> value = text(key, kValueCapacity);
        return value ? parseNumber(*value) : std::nullopt;
    }

    std::optional<std::int32_t> integer(const std::string& key) const {
        std::optional<std::int64_t> value = number(key);
        return value ? std::optional<std::int32_t>(low32(*value)) : std::nullopt;
    }

    std::int32_t integer(const std::string& key, std::int32_t defaultValue) const {
        return integer(key).value_or(defaultValue);
    }

    COLORREF colour(const std::string& key, COLORREF defaultValue) const {
        std::optional<std::int64_t> value = number(key);
        return value ? static_cast<COLORREF>(*value) : defaultValue;
    }

    std::optional<std::uint8_t> byte(const std::string& key) const {
        std::optional<std::int64_t> value = number(key);
        return value ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*value))
                     : std::nullopt;
    }

    void font(const std::string& prefix, LOGFONTA& font) const {
        font.lfHeight = integer(prefix + "_lfHeight", -1);
        auto keep = [&](const char* suffix, auto& field) {
            if constexpr (sizeof field == 1) {
                if (std::optional<std::uint8_t> value = byte(prefix + suffix)) {
                    field = *value;
                }
            } else {
                if (std::optional<std::int32_t> value = integer(prefix + suffix)) {
                    field = *value;
                }
            }
        };
        keep("_lfWidth", font.lfWidth);
        keep("_lfEscapement", font.lfEscapement);
        keep("_lfOrientation", font.lfOrientation);
        keep("_lfWeight", font.lfWeight);
        keep("_lfItalic", font.lfItalic);
        keep("_lfStrikeOut", font.lfStrikeOut);
        keep("_lfCharSet", font.lfCharSet);
        keep("_lfOutPrecision", font.lfOutPrecision);
        keep("_lfClipPrecision", font.lfClipPrecision);
        keep("_lfQuality", font.lfQuality);
        keep("_lfPitchAndFamily", font.lfPitchAndFamily);
        if (std::optional<std::string> face = text(prefix + "_lfFaceName", LF_FACESIZE)) {
            copyTruncatedUtf8(font.lfFaceName, LF_FACESIZE, face->data(), face->size());
        }
        keepFontInRange(font);
    }

private:
    const IniFile& ini_;
};

class Writer {
public:
    explicit Writer(IniFile& ini) : ini_(ini) {}

    void integer(const std::string& key, std::int64_t value) {
        ini_.set(kSettingsSection, key, std::to_string(value));
    }
    void colour(const std::string& key, COLORREF value) {
        integer(key, static_cast<std::int32_t>(value));
    }
    // Bytes are signed: 255 is written as -1 and reads back as 255.
    void byte(const std::string& key, std::uint8_t value) {
        integer(key, static_cast<std::int8_t>(value));
    }
    // A value that cannot be one line of the file is not written; the key keeps what it had.
    void text(const std::string& key, std::string_view value) {
        ini_.set(kSettingsSection, key, cut(value, kValueCapacity - 1));
    }

    void font(const std::string& prefix, const LOGFONTA& font) {
        integer(prefix + "_lfHeight", font.lfHeight);
        integer(prefix + "_lfWidth", font.lfWidth);
        integer(prefix + "_lfEscapement", font.lfEscapement);
        integer(prefix + "_lfOrientation", font.lfOrientation);
        integer(prefix + "_lfWeight", font.lfWeight);
        byte(prefix + "_lfItalic", font.lfItalic);
        byte(prefix + "_lfStrikeOut", font.lfStrikeOut);
        byte(prefix + "_lfCharSet", font.lfCharSet);
        byte(prefix + "_lfOutPrecision", font.lfOutPrecision);
        byte(prefix + "_lfClipPrecision", font.lfClipPrecision);
        byte(prefix + "_lfQuality", font.lfQuality);
        byte(prefix + "_lfPitchAndFamily", font.lfPitchAndFamily);
        text(prefix + "_lfFaceName",
             std::string_view(font.lfFaceName, ::strnlen(font.lfFaceName, LF_FACESIZE)));
    }

private:
    IniFile& ini_;
};

void readLabel(const Reader& r, int n, VAROINFO& label) {
    label.columns = r.integer(numbered("Columns", n), 2);
    label.lined = r.integer(numbered("Lined", n), 1);
    if (label.columns < 0) {
        // A negative column count is how "no lines" was once kept.
        label.columns = absolute(label.columns);
        label.lined = 0;
    }
    // A hand-edited count is laid out as it is, but not one that would take the file list
    // billions of cells to lay out.
    label.columns = std::min(label.columns, kMaxStoredColumns);
    label.sortMode = r.integer(numbered("SortMode", n), 1);
    // Sorting multiplies comparisons by the direction, which the program sets to 1 or -1.
    label.direction = r.integer(numbered("Direction", n), 1) < 0 ? -1 : 1;
    label.showSize = r.integer(numbered("ShowSize", n), 1);
    label.showExt = r.integer(numbered("ShowExt", n), 1);
    label.showComment = r.integer(numbered("ShowComm", n), 1);
    label.showLogo = r.integer(numbered("ShowVaro", n), 1);
    label.lblFmt = r.integer(numbered("LblFmt", n), 0);
    label.opposing = r.integer(numbered("Opposing", n), 1);
    label.bodyBackColor = r.colour(numbered("BkgndColor", n), 0xFFFFFF);
    r.font(numbered("Font", n), label.fileFont);
    label.fileColor = r.colour(numbered("FontColor", n), 0);
    r.font(numbered("DirFont", n), label.folderFont);
    label.folderColor = r.colour(numbered("DirFontColor", n), 0);
    r.font(numbered("CommFont", n), label.commentFont);
    label.commentColor = r.colour(numbered("CommFontColor", n), 0);
    r.text(label.comment, numbered("Comment", n), kDefaultComment);
    r.font(numbered("SpineFont", n), label.spineFont);
    label.spineColor = r.colour(numbered("SpineFontColor", n), 0);
    label.spineBackColor = r.colour(numbered("SpineBkgndColor", n), 0xFFFFFF);
    label.spineAlign = r.integer(numbered("SpineAlign", n), 0);
    label.colorLogo = r.integer(numbered("VaroColor", n), 0);

    label.extStyles.clear();
    const std::int32_t count = std::clamp(r.integer(numbered("Exts", n), 0), 0,
                                          static_cast<std::int32_t>(kMaxExtensionStyles));
    label.extStyles.resize(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) {
        ExtensionStyle& style = label.extStyles[static_cast<std::size_t>(j)];
        r.text(style.extension, numbered("ExtName", n, j), "xxx");
        style.color = r.colour(numbered("ExtColor", n, j), 0);
        r.font(numbered("ExtFont", n, j), style.font);
    }
    label.layoutValid = 0;
}

void writeLabel(Writer& w, int n, const VAROINFO& label) {
    w.integer(numbered("SortMode", n), label.sortMode);
    w.integer(numbered("Direction", n), label.direction);
    w.integer(numbered("Columns", n), label.columns);
    w.integer(numbered("Lined", n), label.lined);
    w.integer(numbered("ShowSize", n), label.showSize);
    w.integer(numbered("ShowExt", n), label.showExt);
    w.integer(numbered("ShowComm", n), label.showComment);
    w.integer(numbered("ShowVaro", n), label.showLogo);
    w.integer(numbered("LblFmt", n), label.lblFmt);
    w.integer(numbered("Opposing", n), label.opposing);
    w.colour(numbered("BkgndColor", n), label.bodyBackColor);
    w.font(numbered("Font", n), label.fileFont);
    w.colour(numbered("FontColor", n), label.fileColor);
    w.font(numbered("DirFont", n), label.folderFont);
    w.colour(numbered("DirFontColor", n), label.folderColor);
    w.font(numbered("CommFont", n), label.commentFont);
    w.colour(numbered("CommFontColor", n), label.commentColor);
    w.text(numbered("Comment", n), label.comment);
    w.font(numbered("SpineFont", n), label.spineFont);
    w.colour(numbered("SpineFontColor", n), label.spineColor);
    w.colour(numbered("SpineBkgndColor", n), label.spineBackColor);
    w.integer(numbered("SpineAlign", n), label.spineAlign);
    w.integer(numbered("VaroColor", n), label.colorLogo);
    w.integer(numbered("Exts", n), label.extStyleCount());
    for (int j = 0; j < label.extStyleCount(); ++j) {
        const ExtensionStyle& style = label.extStyles[static_cast<std::size_t>(j)];
        w.text(numbered("ExtName", n, j), style.extension);
        w.colour(numbered("ExtColor", n, j), style.color);
        w.font(numbered("ExtFont", n, j), style.font);
    }
}

} // namespace

namespace {

// The printers' calibrations: "Calibrations" entries of "CalPrinter%d" (the printer's key),
// "CalOffsetX%d", "CalOffsetY%d" (thousandths of an inch), "CalScaleX%d", "CalScaleY%d"
// (thousandths of a percent).
constexpr std::int32_t kMaxStoredCalibrations = 64;

void readCalibrations(const Reader& r, ProgramSettings& program) {
    program.calibrations.clear();
    const std::int32_t count = std::clamp(r.integer("Calibrations", 0), 0, kMaxStoredCalibrations);
    for (int i = 0; i < count; ++i) {
        const std::string printer = r.text(numbered("CalPrinter", i), kValueCapacity, "");
        Calibration calibration;
        calibration.offsetX = r.integer(numbered("CalOffsetX", i), 0) / 1000.0;
        calibration.offsetY = r.integer(numbered("CalOffsetY", i), 0) / 1000.0;
        calibration.scaleX = r.integer(numbered("CalScaleX", i), 100000) / 1000.0;
        calibration.scaleY = r.integer(numbered("CalScaleY", i), 100000) / 1000.0;
        if (!printer.empty()) {
            StoreCalibration(program.calibrations, printer, calibration);
        }
    }
}

void writeCalibrations(Writer& w, const ProgramSettings& program) {
    const std::size_t count =
        std::min(program.calibrations.size(), static_cast<std::size_t>(kMaxStoredCalibrations));
    w.integer("Calibrations", static_cast<std::int64_t>(count));
    for (std::size_t n = 0; n < count; ++n) {
        const int i = static_cast<int>(n);
        const Calibration c = HeldCalibration(program.calibrations[n].calibration);
        w.text(numbered("CalPrinter", i), program.calibrations[n].printer);
        w.integer(numbered("CalOffsetX", i), std::llround(c.offsetX * 1000));
        w.integer(numbered("CalOffsetY", i), std::llround(c.offsetY * 1000));
        w.integer(numbered("CalScaleX", i), std::llround(c.scaleX * 1000));
        w.integer(numbered("CalScaleY", i), std::llround(c.scaleY * 1000));
    }
}

} // namespace

std::string SettingsPath() {
    return profilePath(kSettingsFile);
}

void ReadSettings(LabelSet& labels, CatalogSettings& catalog, ViewState& view, PaintSettings& paint,
                  PrinterIdentity& printer, ProgramSettings& program, const std::string& iniPath) {
    IniFile ini;
    ini.load(iniPath); // a file that cannot be read reads as all keys missing
    const Reader r(ini);
    PrintSettings& print = program.print;

    // 0 is what a drive never chosen was once written as: like a missing key, it makes
    // start-up ask for a drive instead of silently becoming C:.
    if (std::optional<std::uint8_t> drive = r.byte("Drive"); drive && *drive != 0) {
        char letter = static_cast<char>(*drive);
        catalog.driveLetter = letter >= 'A' && letter <= 'Z' ? letter : 'C';
    } else {
        catalog.driveLetter = 0; // start-up asks for a drive
    }
    std::int32_t format = r.integer("Labels", 4);
    view.format = isLabelFormat(format) ? static_cast<LabelFormat>(format) : ONE_LABEL;
    // The menus offer 0 to 4 levels and all (15), negative for folders only. The scanner
    // reads |levels| deep, and -2147483648 has no magnitude in 32 bits.
    catalog.scanLevels = std::clamp(r.integer("DispSub", 1), -kAllLevels, kAllLevels);
    view.zoomed = view.format == ONE_LABEL ? 1 : r.integer("Zoom", 0);
    r.text(paint.spineInitials, "Initials", "varo");
    r.text(paint.spineNumber, "Number", "120");
    catalog.useTemplateFiles = r.integer("UseDAT", 1);
    // Only the five scales of the menu exist: another stored value (0 would collapse the
    // window and the label mapping) means the full size.
    std::int32_t percent = r.integer("WindScale", 100);
    if (percent != 50 && percent != 75 && percent != 100 && percent != 125 && percent != 150) {
        percent = 100;
    }
    double scale = percent / 100.0;
    if (scale != view.windowScale) {
        view.windowScale = scale;
        view.windowScaleChanged = true;
    }
    program.windowBackColor = r.colour("BackColor", 0xFFFFFF);
    print.cropMarks = r.integer("CropMarks", 0);
    paint.borderIndex = r.integer("Border", 0);
    print.defaultPosition = r.integer("OrigPosition", 1);
    print.multiPage = r.integer("MultiPage", 0);
    print.separate = r.integer("Separate", 0);
    std::int32_t x = r.integer("NewPosX", 1000);
    std::int32_t y = r.integer("NewPosY", 1000);
    print.positionX = x / 1000.0;
    print.positionY = y / 1000.0;
    // The second position defaults to 1 inch right of and 4.6 inches below the first.
    std::optional<std::int32_t> x2 = r.integer("NewPosX2");
    std::optional<std::int32_t> y2 = r.integer("NewPosY2");
    print.secondPositionX = (x2 ? *x2 : 1000.0 + x) / 1000.0;
    print.secondPositionY = (y2 ? *y2 : 4600.0 + y) / 1000.0;
    print.sideMargin = r.integer("SideMargin", 100) / 1000.0;
    // Stored printer parts override the system default the identity came in with.
    auto printerPart = [&](char(&field)[kPrinterNameCapacity], const char* key) {
        if (std::optional<std::string> value = r.text(key, kPrinterNameCapacity + 1)) {
            copyTruncatedUtf8(field, kPrinterNameCapacity, value->data(), value->size());
        }
    };
    printerPart(printer.device, "PrinterName");
    printerPart(printer.port, "PortName");
    printerPart(printer.driver, "DriverName");
    program.imagePath = r.text("ImagePath", kFolderPathCapacity, "");
    program.labelPath = r.text("LabelPath", kFolderPathCapacity, "");
    print.orientation = r.integer("PrinterOrientation", 1);
    print.paperSize = r.integer("PrinterPaperSize", -1);
    catalog.scanArchives = r.integer("ScanArchives", 0);
    for (std::size_t i = 0; i < kWindowCount; ++i) {
        program.windowPositions[i].x = r.integer(std::string(kWindowNames[i]) + "X", 0);
        program.windowPositions[i].y = r.integer(std::string(kWindowNames[i]) + "Y", 0);
    }

    for (int n = 0; n < 4; ++n) {
        readLabel(r, n, labels.labels[static_cast<std::size_t>(n)]);
    }

    for (std::size_t i = 0; i < kCustomColorCount; ++i) {
        program.customColors[i] = r.colour(numbered("CustColor", static_cast<int>(i)), 0);
    }
    for (std::size_t i = 0; i < kHintCount; ++i) {
        program.hiddenHints[i] = r.integer(numbered("HideDummy", static_cast<int>(i)), 0);
    }
    catalog.excludeMode = r.integer("ExcludeMode", 1);
    std::int32_t patterns = std::clamp(r.integer("NumExclude", 0), 0, kMaxStoredListLength);
    catalog.excludePatterns.clear();
    for (int i = 0; i < patterns; ++i) {
        char index[16];
        std::snprintf(index, sizeof index, "%03d", i);
        catalog.addPattern(r.text(numbered("Exclude", i), kPatternCapacity, index).c_str());
    }
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        program.recentFiles[i] =
            r.text(numbered("Recent", static_cast<int>(i)), kRecentFileCapacity, "");
    }
    catalog.dirInfoMode = r.integer("DirComm", 0);
    readCalibrations(r, program);
}

bool WriteSettings(const LabelSet& labels, const CatalogSettings& catalog, const ViewState& view,
                   const PaintSettings& paint, const PrinterIdentity& printer,
                   const ProgramSettings& program, const std::string& iniPath) {
    IniFile ini;
    if (!ini.load(iniPath)) {
        return false; // never replace a file that exists but could not be read
    }
    Writer w(ini);
    const PrintSettings& print = program.print;

    if (catalog.driveLetter != 0) { // no drive chosen yet: the next start still asks
        w.byte("Drive", static_cast<std::uint8_t>(catalog.driveLetter));
    }
    w.integer("Labels", view.format);
    w.integer("DispSub", catalog.scanLevels);
    w.integer("Zoom", view.zoomed);
    w.integer("UseDAT", catalog.useTemplateFiles);
    w.integer("WindScale", storedUnits(view.windowScale, 100));
    w.integer("NewPosX", storedUnits(print.positionX, 1000));
    w.integer("NewPosY", storedUnits(print.positionY, 1000));
    w.integer("NewPosX2", storedUnits(print.secondPositionX, 1000));
    w.integer("NewPosY2", storedUnits(print.secondPositionY, 1000));
    w.integer("SideMargin", storedUnits(print.sideMargin, 1000));
    w.colour("BackColor", program.windowBackColor);
    w.integer("CropMarks", print.cropMarks);
    w.integer("Border", paint.borderIndex);
    w.integer("OrigPosition", print.defaultPosition);
    w.integer("MultiPage", print.multiPage);
    w.integer("Separate", print.separate);
    w.text("PrinterName", printer.device);
    w.text("PortName", printer.port);
    w.text("DriverName", printer.driver);
    w.text("ImagePath", program.imagePath);
    w.text("LabelPath", program.labelPath);
    w.integer("PrinterOrientation", print.orientation);
    w.integer("PrinterPaperSize", print.paperSize);
    w.integer("ScanArchives", catalog.scanArchives);
    for (std::size_t i = 0; i < kWindowCount; ++i) {
        w.integer(std::string(kWindowNames[i]) + "X", program.windowPositions[i].x);
        w.integer(std::string(kWindowNames[i]) + "Y", program.windowPositions[i].y);
    }

    for (int n = 0; n < 4; ++n) {
        writeLabel(w, n, labels.labels[static_cast<std::size_t>(n)]);
    }

    for (std::size_t i = 0; i < kCustomColorCount; ++i) {
        w.colour(numbered("CustColor", static_cast<int>(i)), program.customColors[i]);
    }
    for (std::size_t i = 0; i < kHintCount; ++i) {
        w.integer(numbered("HideDummy", static_cast<int>(i)), program.hiddenHints[i]);
    }
    w.integer("ExcludeMode", catalog.excludeMode);
    w.integer("NumExclude", catalog.excludeCount());
    for (int i = 0; i < catalog.excludeCount(); ++i) {
        const auto& pattern = catalog.excludePatterns[static_cast<std::size_t>(i)];
        w.text(numbered("Exclude", i),
               std::string_view(pattern.data(), ::strnlen(pattern.data(), pattern.size())));
    }
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        w.text(numbered("Recent", static_cast<int>(i)), program.recentFiles[i]);
    }
    w.integer("DirComm", catalog.dirInfoMode);
    writeCalibrations(w, program);
    return ini.save(iniPath);
}

bool WriteSpineInitials(const PaintSettings& paint, const std::string& iniPath) {
    IniFile ini;
    if (!ini.load(iniPath)) {
        return false;
    }
    Writer w(ini);
    w.text("Initials", paint.spineInitials);
    w.text("Number", paint.spineNumber);
    return ini.save(iniPath);
}

std::optional<std::string> ReadInstallPath(const std::string& iniPath) {
    std::string path = GetPrivateProfileString("Install", "InstallPath", std::string(kMissing),
                                               kValueCapacity, iniPath);
    if (path == kMissing) {
        return std::nullopt;
    }
    return path;
}

void ReadFontSetting(const IniFile& ini, const std::string& prefix, LOGFONTA& font) {
    Reader(ini).font(prefix, font);
}

void WriteFontSetting(IniFile& ini, const std::string& prefix, const LOGFONTA& font) {
    Writer(ini).font(prefix, font);
}

} // namespace pelmora
