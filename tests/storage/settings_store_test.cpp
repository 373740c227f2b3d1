#include "platform/core/ini_file.h"
#include "storage/settings_store.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

// Test names from the cases' descriptions.
const auto caseName = [](const auto& info) { return test::caseNameOf(info.param.what); };

// Everything the settings cover, as the program holds it.
struct State {
    LabelSet labels;
    CatalogSettings catalog;
    ViewState view;
    PaintSettings paint;
    PrinterIdentity printer;
    ProgramSettings program;

    void read() { ReadSettings(labels, catalog, view, paint, printer, program); }
    bool write() const { return WriteSettings(labels, catalog, view, paint, printer, program); }
};

LOGFONTA makeFont(const char* face, int seed) {
    LOGFONTA font;
    font.lfHeight = -11 - seed;
    font.lfWidth = seed;
    font.lfEscapement = 900 + seed;
    font.lfOrientation = 1800 + seed;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfStrikeOut = 1;
    font.lfCharSet = 255; // a byte above 127 is written sign-extended
    font.lfOutPrecision = 3;
    font.lfClipPrecision = static_cast<std::uint8_t>(16 + seed);
    font.lfQuality = 2;
    font.lfPitchAndFamily = 0x22;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// Every persisted field differs from its default.
void fillNonDefault(State& s) {
    s.catalog.driveLetter = 'K';
    s.catalog.scanLevels = -3;
    s.catalog.dirInfoMode = 2;
    s.catalog.scanArchives = 1;
    s.catalog.excludeMode = 0;
    s.catalog.addPattern("*.TMP");
    s.catalog.addPattern("~$");
    s.catalog.useTemplateFiles = 0;
    s.view.format = TWO_FOLD_OUT;
    s.view.zoomed = 0;
    s.view.windowScale = 1.25;
    s.paint.borderIndex = 3;
    std::strcpy(s.printer.device, "Office Laser");
    std::strcpy(s.printer.driver, "CUPS");
    std::strcpy(s.printer.port, "CUPS:");
    PrintSettings& p = s.program.print;
    p.cropMarks = 1;
    p.separate = 1;
    p.defaultPosition = 0;
    p.positionX = 1.001; // 1.001 * 1000 is 1000.99999... in binary
    p.positionY = 2.25;
    p.orientation = 2;
    p.paperSize = 9;
    p.multiPage = 1;
    p.secondPositionX = 3.003;
    p.secondPositionY = -0.5;
    p.sideMargin = 0.25;
    for (std::size_t i = 0; i < kWindowCount; ++i) {
        s.program.windowPositions[i] =
            POINT{static_cast<std::int32_t>(10 * i + 1), -static_cast<std::int32_t>(i + 7)};
    }
    for (std::size_t i = 0; i < kCustomColorCount; ++i) {
        s.program.customColors[i] = RGB(static_cast<unsigned>(i), 200, 17 * i);
    }
    s.program.customColors[15] = 0xFFFFFFFF; // beyond 31 bits
    for (std::size_t i = 0; i < kHintCount; i += 3) {
        s.program.hiddenHints[i] = 1;
    }
    s.program.recentFiles = {"/media/a.PMB", "/home/u/b.PMB", "", "/x/c d.PMB", "/y/e.PMB"};
    s.program.windowBackColor = RGB(1, 2, 3);
    s.program.imagePath = "/home/u/pictures/";
    s.program.labelPath = "/home/u/labels/";
    for (int n = 0; n < 4; ++n) {
        VAROINFO& l = s.labels.labels[static_cast<std::size_t>(n)];
        l.columns = 3 + n;
        l.lined = 0;
        l.sortMode = 3;
        l.direction = -1;
        l.showSize = 0;
        l.showExt = 0;
        l.showComment = 0;
        l.showLogo = 0;
        l.lblFmt = 7 + n;
        l.opposing = 0;
        l.bodyBackColor = RGB(10, 20, 30 + n);
        l.fileFont = makeFont("DejaVu Sans", n);
        l.folderFont = makeFont("Liberation Serif", n + 1);
        l.commentFont = makeFont("Noto Sans", n + 2);
        l.spineFont = makeFont("FreeMono", n + 3);
        l.fileColor = RGB(255, 0, n);
        l.folderColor = RGB(0, 255, n);
        l.commentColor = RGB(0, 0, 255 - n);
        l.spineColor = RGB(9, 9, n);
        l.spineBackColor = RGB(200, 100, n);
        l.spineAlign = 2;
        l.colorLogo = 1;
        std::snprintf(l.comment, sizeof l.comment, "Label %d: %%volumename%% = 1", n);
        for (int j = 0; j < n; ++j) {
            ExtensionStyle style;
            std::snprintf(style.extension, sizeof style.extension, "EX%d", j);
            style.color = RGB(j, n, 99);
            style.font = makeFont("Cantarell", 10 * n + j);
            l.extStyles.push_back(style);
        }
    }
}

void expectSameFont(const LOGFONTA& a, const LOGFONTA& b, const std::string& where) {
    EXPECT_TRUE(a == b) << where << ": " << a.lfFaceName << " " << a.lfHeight << " vs "
                        << b.lfFaceName << " " << b.lfHeight;
}

void expectSameSettings(const State& a, const State& b) {
    EXPECT_EQ(a.catalog.driveLetter, b.catalog.driveLetter);
    EXPECT_EQ(a.catalog.scanLevels, b.catalog.scanLevels);
    EXPECT_EQ(a.catalog.dirInfoMode, b.catalog.dirInfoMode);
    EXPECT_EQ(a.catalog.scanArchives, b.catalog.scanArchives);
    EXPECT_EQ(a.catalog.excludeMode, b.catalog.excludeMode);
    EXPECT_EQ(a.catalog.excludePatterns, b.catalog.excludePatterns);
    EXPECT_EQ(a.catalog.useTemplateFiles, b.catalog.useTemplateFiles);
    EXPECT_EQ(a.view.format, b.view.format);
    EXPECT_EQ(a.view.zoomed, b.view.zoomed);
    EXPECT_DOUBLE_EQ(a.view.windowScale, b.view.windowScale);
    EXPECT_STREQ(a.paint.spineInitials, b.paint.spineInitials);
    EXPECT_STREQ(a.paint.spineNumber, b.paint.spineNumber);
    EXPECT_EQ(a.paint.borderIndex, b.paint.borderIndex);
    EXPECT_STREQ(a.printer.device, b.printer.device);
    EXPECT_STREQ(a.printer.driver, b.printer.driver);
    EXPECT_STREQ(a.printer.port, b.printer.port);
    const PrintSettings& p = a.program.print;
    const PrintSettings& q = b.program.print;
    EXPECT_EQ(p.cropMarks, q.cropMarks);
    EXPECT_EQ(p.separate, q.separate);
    EXPECT_EQ(p.defaultPosition, q.defaultPosition);
    EXPECT_DOUBLE_EQ(p.positionX, q.positionX);
    EXPECT_DOUBLE_EQ(p.positionY, q.positionY);
    EXPECT_EQ(p.orientation, q.orientation);
    EXPECT_EQ(p.paperSize, q.paperSize);
    EXPECT_EQ(p.multiPage, q.multiPage);
    EXPECT_DOUBLE_EQ(p.secondPositionX, q.secondPositionX);
    EXPECT_DOUBLE_EQ(p.secondPositionY, q.secondPositionY);
    EXPECT_DOUBLE_EQ(p.sideMargin, q.sideMargin);
    EXPECT_EQ(a.program.windowPositions, b.program.windowPositions);
    EXPECT_EQ(a.program.customColors, b.program.customColors);
    EXPECT_EQ(a.program.hiddenHints, b.program.hiddenHints);
    EXPECT_EQ(a.program.recentFiles, b.program.recentFiles);
    EXPECT_EQ(a.program.windowBackColor, b.program.windowBackColor);
    EXPECT_EQ(a.program.imagePath, b.program.imagePath);
    EXPECT_EQ(a.program.labelPath, b.program.labelPath);
    for (std::size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE("label " + std::to_string(n));
        const VAROINFO& l = a.labels.labels[n];
        const VAROINFO& m = b.labels.labels[n];
        EXPECT_EQ(l.columns, m.columns);
        EXPECT_EQ(l.lined, m.lined);
        EXPECT_EQ(l.sortMode, m.sortMode);
        EXPECT_EQ(l.direction, m.direction);
        EXPECT_EQ(l.showSize, m.showSize);
        EXPECT_EQ(l.showExt, m.showExt);
        EXPECT_EQ(l.showComment, m.showComment);
        EXPECT_EQ(l.showLogo, m.showLogo);
        EXPECT_EQ(l.lblFmt, m.lblFmt);
        EXPECT_EQ(l.opposing, m.opposing);
        EXPECT_EQ(l.bodyBackColor, m.bodyBackColor);
        expectSameFont(l.fileFont, m.fileFont, "fileFont");
        expectSameFont(l.folderFont, m.folderFont, "folderFont");
        expectSameFont(l.commentFont, m.commentFont, "commentFont");
        expectSameFont(l.spineFont, m.spineFont, "spineFont");
        EXPECT_EQ(l.fileColor, m.fileColor);
        EXPECT_EQ(l.folderColor, m.folderColor);
        EXPECT_EQ(l.commentColor, m.commentColor);
        EXPECT_EQ(l.spineColor, m.spineColor);
        EXPECT_EQ(l.spineBackColor, m.spineBackColor);
        EXPECT_EQ(l.spineAlign, m.spineAlign);
        EXPECT_EQ(l.colorLogo, m.colorLogo);
        EXPECT_STREQ(l.comment, m.comment);
        ASSERT_EQ(l.extStyleCount(), m.extStyleCount());
        for (std::size_t j = 0; j < l.extStyles.size(); ++j) {
            EXPECT_STREQ(l.extStyles[j].extension, m.extStyles[j].extension);
            EXPECT_EQ(l.extStyles[j].color, m.extStyles[j].color);
            expectSameFont(l.extStyles[j].font, m.extStyles[j].font, "extension style");
        }
    }
}

// The keys of section "vexo" in file order.
std::vector<std::string> keysInFile(const std::string& path) {
    std::istringstream in(readFile(path));
    std::vector<std::string> keys;
    std::string line;
    bool inVexo = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            inVexo = line == "[vexo]";
        } else if (inVexo && line.find('=') != std::string::npos) {
            keys.push_back(line.substr(0, line.find('=')));
        }
    }
    return keys;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("PELMORA_WINDIR");
        savedWindir_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("PELMORA_WINDIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (savedWindir_) {
            setenv("PELMORA_WINDIR", savedWindir_->c_str(), 1);
        } else {
            unsetenv("PELMORA_WINDIR");
        }
    }
    std::string ini(const std::string& vexoLines) {
        return dir_.writeText("Pelmora.ini", "[vexo]\n" + vexoLines);
    }
    std::optional<std::string> stored(const std::string& key) {
        IniFile file;
        file.load(SettingsPath());
        std::optional<std::string_view> value = file.get("vexo", key);
        return value ? std::optional<std::string>(*value) : std::nullopt;
    }

    TempDir dir_;
    std::optional<std::string> savedWindir_;
};

TEST_F(SettingsStore, MissingFileGivesEveryDefault) {
    State s;
    fillNonDefault(s);
    const LOGFONTA before = s.labels.labels[2].spineFont;
    const PrinterIdentity printer = s.printer;
    s.read();

    EXPECT_EQ(s.catalog.driveLetter, 0); // start-up asks for a drive
    EXPECT_EQ(s.view.format, ONE_LABEL);
    EXPECT_EQ(s.view.zoomed, 1);
    EXPECT_EQ(s.catalog.scanLevels, 1);
    EXPECT_STREQ(s.paint.spineInitials, "varo");
    EXPECT_STREQ(s.paint.spineNumber, "120");
    EXPECT_EQ(s.catalog.useTemplateFiles, 1);
    EXPECT_DOUBLE_EQ(s.view.windowScale, 1.0);
    EXPECT_EQ(s.program.windowBackColor, 0xFFFFFFu);
    const PrintSettings& p = s.program.print;
    EXPECT_EQ(p.cropMarks, 0);
    EXPECT_EQ(s.paint.borderIndex, 0);
    EXPECT_EQ(p.defaultPosition, 1);
    EXPECT_EQ(p.multiPage, 0);
    EXPECT_EQ(p.separate, 0);
    EXPECT_DOUBLE_EQ(p.positionX, 1.0);
    EXPECT_DOUBLE_EQ(p.positionY, 1.0);
    EXPECT_DOUBLE_EQ(p.secondPositionX, 2.0);
    EXPECT_DOUBLE_EQ(p.secondPositionY, 5.6);
    EXPECT_DOUBLE_EQ(p.sideMargin, 0.1);
    EXPECT_STREQ(s.printer.device, printer.device); // the system default stays
    EXPECT_STREQ(s.printer.driver, printer.driver);
    EXPECT_STREQ(s.printer.port, printer.port);
    EXPECT_EQ(s.program.imagePath, "");
    EXPECT_EQ(s.program.labelPath, "");
    EXPECT_EQ(p.orientation, 1);
    EXPECT_EQ(p.paperSize, -1);
    EXPECT_EQ(s.catalog.scanArchives, 0);
    for (const POINT& position : s.program.windowPositions) {
        EXPECT_EQ(position, (POINT{0, 0}));
    }
    for (const VAROINFO& l : s.labels.labels) {
        EXPECT_EQ(l.columns, 2);
        EXPECT_EQ(l.lined, 1);
        EXPECT_EQ(l.sortMode, 1);
        EXPECT_EQ(l.direction, 1);
        EXPECT_EQ(l.showSize + l.showExt + l.showComment + l.showLogo, 4);
        EXPECT_EQ(l.lblFmt, 0);
        EXPECT_EQ(l.opposing, 1);
        EXPECT_EQ(l.bodyBackColor, 0xFFFFFFu);
        for (const LOGFONTA* font : {&l.fileFont, &l.folderFont, &l.commentFont, &l.spineFont}) {
            EXPECT_EQ(font->lfHeight, -1); // not set
        }
        EXPECT_EQ(l.fileColor + l.folderColor + l.commentColor + l.spineColor, 0u);
        EXPECT_STREQ(l.comment, "%spacefree% free, %spaceused% used  (%shortdate%)");
        EXPECT_EQ(l.spineBackColor, 0xFFFFFFu);
        EXPECT_EQ(l.spineAlign, 0);
        EXPECT_EQ(l.colorLogo, 0);
        EXPECT_EQ(l.extStyleCount(), 0);
        EXPECT_EQ(l.layoutValid, 0);
    }
    // Only the height of an unset font changes; the rest is left for start-up to replace.
    LOGFONTA expected = before;
    expected.lfHeight = -1;
    EXPECT_TRUE(s.labels.labels[2].spineFont == expected);
    for (std::size_t i = 0; i < kCustomColorCount; ++i) {
        EXPECT_EQ(s.program.customColors[i], 0u);
    }
    for (std::int32_t hidden : s.program.hiddenHints) {
        EXPECT_EQ(hidden, 0);
    }
    EXPECT_EQ(s.catalog.excludeMode, 1);
    EXPECT_EQ(s.catalog.excludeCount(), 0);
    for (const std::string& recent : s.program.recentFiles) {
        EXPECT_EQ(recent, "");
    }
    EXPECT_EQ(s.catalog.dirInfoMode, 0);
}

struct ReadCase {
    const char* what;
    const char* lines; // of section "vexo"
    std::function<void(const State&)> check;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.what;
}

class SettingsRead : public SettingsStore, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, StoredValueGivesSetting) {
    ini(GetParam().lines);
    State s;
    s.read();
    GetParam().check(s);
}

const VAROINFO& label(const State& s, int n) {
    return s.labels.labels[static_cast<std::size_t>(n)];
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SettingsRead,
    ::testing::Values(
        // Drive letters are stored as character codes; anything but A..Z is C.
        ReadCase{"drive 67", "Drive=67\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 'C'); }},
        ReadCase{"drive 49", "Drive=49\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 'C'); }},
        ReadCase{"drive 90", "Drive=90\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 'Z'); }},
        ReadCase{"drive low byte", "Drive=322\n",
                 [](const State& s) {
                     EXPECT_EQ(s.catalog.driveLetter, 'B'); // 322 = 0x142
                 }},
        ReadCase{"drive lower case", "Drive=100\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 'C'); }},
        ReadCase{"drive error", "Drive=error\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 0); }},
        ReadCase{"drive letter as text", "Drive=D\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 0); }},
        // What a drive never chosen was once written as: asked again, not taken as C.
        ReadCase{"drive 0", "Drive=0\n",
                 [](const State& s) { EXPECT_EQ(s.catalog.driveLetter, 0); }},
        ReadCase{"labels 4", "Labels=4\nZoom=0\n",
                 [](const State& s) {
                     EXPECT_EQ(s.view.format, ONE_LABEL);
                     EXPECT_EQ(s.view.zoomed, 1);
                 }},
        ReadCase{"labels four", "Labels=22\nZoom=0\n",
                 [](const State& s) {
                     EXPECT_EQ(s.view.format, FOUR_LABELS);
                     EXPECT_EQ(s.view.zoomed, 0);
                 }},
        // Only the five window scales exist; anything else (0 would collapse the window and
        // the label mapping) is the full size.
        ReadCase{"window scale 75", "WindScale=75\n",
                 [](const State& s) { EXPECT_DOUBLE_EQ(s.view.windowScale, 0.75); }},
        ReadCase{"window scale 0", "WindScale=0\n",
                 [](const State& s) { EXPECT_DOUBLE_EQ(s.view.windowScale, 1.0); }},
        ReadCase{"window scale 90", "WindScale=90\n",
                 [](const State& s) { EXPECT_DOUBLE_EQ(s.view.windowScale, 1.0); }},
        ReadCase{"labels not a format", "Labels=15\nZoom=0\n",
                 [](const State& s) {
                     EXPECT_EQ(s.view.format, ONE_LABEL);
                     EXPECT_EQ(s.view.zoomed, 1);
                 }},
        ReadCase{"columns -3 for label 1", "Columns0=5\nLined0=1\nColumns1=-3\nLined1=1\n",
                 [](const State& s) {
                     EXPECT_EQ(label(s, 1).columns, 3);
                     EXPECT_EQ(label(s, 1).lined, 0);
                     EXPECT_EQ(label(s, 0).columns, 5);
                     EXPECT_EQ(label(s, 0).lined, 1);
                 }},
        ReadCase{"dispsub -2", "DispSub=-2\n",
                 [](const State& s) {
                     EXPECT_EQ(s.catalog.scanLevels, -2); // two levels, folders only
                 }},
        ReadCase{"second position follows the first", "NewPosX=1500\nNewPosY=2000\n",
                 [](const State& s) {
                     EXPECT_DOUBLE_EQ(s.program.print.positionX, 1.5);
                     EXPECT_DOUBLE_EQ(s.program.print.secondPositionX, 2.5);
                     EXPECT_DOUBLE_EQ(s.program.print.secondPositionY, 6.6);
                 }},
        ReadCase{"error is missing",
                 "Columns0=error\nComment0=error\nFont0_lfHeight=error\nRecent0=error\n"
                 "Initials=error\nBackColor=error\n",
                 [](const State& s) {
                     EXPECT_EQ(label(s, 0).columns, 2);
                     EXPECT_STREQ(label(s, 0).comment, kDefaultComment);
                     EXPECT_EQ(label(s, 0).fileFont.lfHeight, -1);
                     EXPECT_EQ(s.program.recentFiles[0], "");
                     EXPECT_STREQ(s.paint.spineInitials, "varo");
                     EXPECT_EQ(s.program.windowBackColor, 0xFFFFFFu);
                 }},
        ReadCase{"error only when exact", "Comment0=errors\nRecent0=Error\n",
                 [](const State& s) {
                     EXPECT_STREQ(label(s, 0).comment, "errors");
                     EXPECT_EQ(s.program.recentFiles[0], "Error");
                 }},
        ReadCase{"not a number is missing",
                 "DispSub=two\nColumns0=3x\nBackColor=\nSortMode0=0x3\nOpposing0=0.5\n"
                 "Font0_lfHeight=big\nDrive= \nNumExclude=99999999999999999999\n",
                 [](const State& s) {
                     EXPECT_EQ(s.catalog.scanLevels, 1);
                     EXPECT_EQ(label(s, 0).columns, 2);
                     EXPECT_EQ(s.program.windowBackColor, 0xFFFFFFu);
                     EXPECT_EQ(label(s, 0).sortMode, 1);
                     EXPECT_EQ(label(s, 0).opposing, 1);
                     EXPECT_EQ(label(s, 0).fileFont.lfHeight, -1);
                     EXPECT_EQ(s.catalog.driveLetter, 0);
                     EXPECT_EQ(s.catalog.excludeCount(), 0);
                 }},
        ReadCase{"signs and negative colours", "Direction2=-1\nSortMode2=+3\nBkgndColor3=-1\n",
                 [](const State& s) {
                     EXPECT_EQ(label(s, 2).direction, -1);
                     EXPECT_EQ(label(s, 2).sortMode, 3);
                     EXPECT_EQ(label(s, 3).bodyBackColor, 0xFFFFFFFFu);
                 }},
        ReadCase{"names without case", "columns3=4\nWINDSCALE=150\nmainwindowx=33\n",
                 [](const State& s) {
                     EXPECT_EQ(label(s, 3).columns, 4);
                     EXPECT_DOUBLE_EQ(s.view.windowScale, 1.5);
                     EXPECT_EQ(s.program.position(WindowName::Main).x, 33);
                 }},
        ReadCase{"texts cut to their fields",
                 "Initials=ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOP\n"
                 "Number=123456789\nExts0=1\nExtName0_0=ABCDEFGHIJ\nExclude0=x\nNumExclude=1\n",
                 [](const State& s) {
                     EXPECT_EQ(std::strlen(s.paint.spineInitials), 63u);
                     EXPECT_STREQ(s.paint.spineNumber, "1234567");
                     EXPECT_STREQ(label(s, 0).extStyles.at(0).extension, "ABCDEFG");
                     EXPECT_EQ(s.catalog.excludePatterns.at(0)[0], 'X'); // kept upper case
                 }},
        ReadCase{"list entries that are missing",
                 "Exts1=2\nExtColor1_1=255\nNumExclude=12\nExclude3=*.BAK\n",
                 [](const State& s) {
                     ASSERT_EQ(label(s, 1).extStyleCount(), 2);
                     EXPECT_STREQ(label(s, 1).extStyles[0].extension, "xxx");
                     EXPECT_EQ(label(s, 1).extStyles[1].color, 255u);
                     EXPECT_EQ(label(s, 1).extStyles[1].font.lfHeight, -1);
                     ASSERT_EQ(s.catalog.excludeCount(), 12);
                     EXPECT_STREQ(s.catalog.excludePatterns[0].data(), "000");
                     EXPECT_STREQ(s.catalog.excludePatterns[3].data(), "*.BAK");
                     EXPECT_STREQ(s.catalog.excludePatterns[11].data(), "011");
                 }},
        ReadCase{"more extension styles than a label can name",
                 "Exts0=4848\nExtName0_254=LAST\nExtName0_255=GONE\n",
                 [](const State& s) {
                     ASSERT_EQ(label(s, 0).extStyles.size(), kMaxExtensionStyles);
                     EXPECT_STREQ(label(s, 0).extStyles.back().extension, "LAST");
                 }},
        ReadCase{"negative list lengths", "Exts0=-4\nNumExclude=-1\n",
                 [](const State& s) {
                     EXPECT_EQ(label(s, 0).extStyleCount(), 0);
                     EXPECT_EQ(s.catalog.excludeCount(), 0);
                 }}),
    caseName);

TEST_F(SettingsStore, StoredPrinterPartsReplaceTheSystemDefault) {
    ini("PrinterName=Office Laser\nDriverName=error\n");
    State s;
    std::strcpy(s.printer.device, "Default");
    std::strcpy(s.printer.driver, "CUPS");
    std::strcpy(s.printer.port, "CUPS:");
    s.read();
    EXPECT_STREQ(s.printer.device, "Office Laser");
    EXPECT_STREQ(s.printer.driver, "CUPS");
    EXPECT_STREQ(s.printer.port, "CUPS:");
}

TEST_F(SettingsStore, FontLosesItsUnderlineAndKeepsTheRest) {
    State s;
    LOGFONTA font = makeFont("DejaVu Sans", 1);
    font.lfUnderline = 1;
    s.labels.labels[0].fileFont = font;
    ASSERT_TRUE(s.write());
    EXPECT_EQ(stored("Font0_lfUnderline"), std::nullopt);
    EXPECT_EQ(stored("Font0_lfCharSet"), "-1");

    State back;
    back.read();
    LOGFONTA expected = font;
    expected.lfUnderline = 0;
    EXPECT_TRUE(back.labels.labels[0].fileFont == expected);
}

TEST_F(SettingsStore, FullRoundTripOfEveryKey) {
    State s;
    fillNonDefault(s);
    std::strcpy(s.paint.spineInitials, "PM");
    std::strcpy(s.paint.spineNumber, "");
    ASSERT_TRUE(s.write());
    ASSERT_TRUE(WriteSpineInitials(s.paint));

    State back;
    back.read();
    expectSameSettings(back, s);
}

TEST_F(SettingsStore, WrittenKeysFollowTheirOrder) {
    State s;
    ExtensionStyle style;
    s.labels.labels[1].extStyles = {style, style};
    s.catalog.addPattern("A");
    s.catalog.addPattern("B");
    ASSERT_TRUE(s.write());

    std::vector<std::string> expected = {"Drive",
                                         "Labels",
                                         "DispSub",
                                         "Zoom",
                                         "UseDAT",
                                         "WindScale",
                                         "NewPosX",
                                         "NewPosY",
                                         "NewPosX2",
                                         "NewPosY2",
                                         "SideMargin",
                                         "BackColor",
                                         "CropMarks",
                                         "Border",
                                         "OrigPosition",
                                         "MultiPage",
                                         "Separate",
                                         "PrinterName",
                                         "PortName",
                                         "DriverName",
                                         "ImagePath",
                                         "LabelPath",
                                         "PrinterOrientation",
                                         "PrinterPaperSize",
                                         "ScanArchives"};
    for (const char* name :
         {"MainWindow", "ColorWindow", "FontWindow", "ExtWindow", "AboutWindow", "DriveWindow",
          "SubdirWindow", "LabelWindow", "CommentWindow", "StringWindow", "DirtyWindow",
          "PrintSetupWindow", "GotoPageWindow", "ChangeFileWindow", "InitialsWindow",
          "ExcludeWindow", "DummyWindow", "FindWindow"}) {
        expected.push_back(std::string(name) + "X");
        expected.push_back(std::string(name) + "Y");
    }
    auto font = [&](const std::string& prefix) {
        for (const char* part : {"Height", "Width", "Escapement", "Orientation", "Weight", "Italic",
                                 "StrikeOut", "CharSet", "OutPrecision", "ClipPrecision", "Quality",
                                 "PitchAndFamily", "FaceName"}) {
            expected.push_back(prefix + "_lf" + part);
        }
    };
    for (int n = 0; n < 4; ++n) {
        std::string d = std::to_string(n);
        for (const char* key : {"SortMode", "Direction", "Columns", "Lined", "ShowSize", "ShowExt",
                                "ShowComm", "ShowVaro", "LblFmt", "Opposing", "BkgndColor"}) {
            expected.push_back(key + d);
        }
        font("Font" + d);
        expected.push_back("FontColor" + d);
        font("DirFont" + d);
        expected.push_back("DirFontColor" + d);
        font("CommFont" + d);
        expected.push_back("CommFontColor" + d);
        expected.push_back("Comment" + d);
        font("SpineFont" + d);
        for (const char* key :
             {"SpineFontColor", "SpineBkgndColor", "SpineAlign", "VaroColor", "Exts"}) {
            expected.push_back(key + d);
        }
        for (int j = 0; n == 1 && j < 2; ++j) {
            expected.push_back("ExtName1_" + std::to_string(j));
            expected.push_back("ExtColor1_" + std::to_string(j));
            font("ExtFont1_" + std::to_string(j));
        }
    }
    for (int i = 0; i < 16; ++i) {
        expected.push_back("CustColor" + std::to_string(i));
    }
    for (int i = 0; i < 32; ++i) {
        expected.push_back("HideDummy" + std::to_string(i));
    }
    expected.insert(expected.end(), {"ExcludeMode", "NumExclude", "Exclude0", "Exclude1"});
    for (int i = 0; i < 5; ++i) {
        expected.push_back("Recent" + std::to_string(i));
    }
    expected.push_back("DirComm");
    expected.push_back("Calibrations"); // the printers' calibrations follow the original keys

    EXPECT_EQ(keysInFile(SettingsPath()), expected);
}

TEST_F(SettingsStore, WritingAgainChangesValuesInPlace) {
    dir_.writeText("Pelmora.ini", "; kept\n[Install]\nInstallPath=/opt/p\n\n[vexo]\n"
                                  "ZOOM=0\nHandEdited=yes\n");
    State s;
    ASSERT_TRUE(s.write());
    std::vector<std::string> first = keysInFile(SettingsPath());
    s.view.format = FOUR_LABELS;
    s.view.zoomed = 0;
    ASSERT_TRUE(s.write());
    std::vector<std::string> second = keysInFile(SettingsPath());

    EXPECT_EQ(second, first);
    EXPECT_EQ(first.at(0), "ZOOM"); // an existing key keeps its place and its spelling
    EXPECT_EQ(first.at(1), "HandEdited");
    EXPECT_EQ(std::count(first.begin(), first.end(), "Zoom"), 0);
    EXPECT_EQ(stored("Labels"), "22");
    EXPECT_EQ(stored("zoom"), "0");
    EXPECT_EQ(ReadInstallPath(), "/opt/p");
    EXPECT_EQ(readFile(SettingsPath()).rfind("; kept\n[Install]\nInstallPath=/opt/p\n\n[vexo]", 0),
              0u);
}

TEST_F(SettingsStore, LongerEarlierListsStayInTheFileUnread) {
    State s;
    for (const char* pattern : {"*.A", "*.B", "*.C"}) {
        s.catalog.addPattern(pattern);
    }
    s.labels.labels[0].extStyles.resize(3);
    ASSERT_TRUE(s.write());
    s.catalog.excludePatterns.resize(1);
    s.labels.labels[0].extStyles.resize(1);
    ASSERT_TRUE(s.write());

    EXPECT_EQ(stored("Exclude2"), "*.C");
    EXPECT_EQ(stored("ExtName0_2"), "");
    State back;
    back.read();
    EXPECT_EQ(back.catalog.excludeCount(), 1);
    EXPECT_EQ(back.labels.labels[0].extStyleCount(), 1);
}

// A drive never chosen is not written: the next start asks for one again.
TEST_F(SettingsStore, ADriveNeverChosenIsAskedForAgain) {
    State s;
    s.catalog.driveLetter = 0;
    ASSERT_TRUE(s.write());
    EXPECT_EQ(stored("Drive"), std::nullopt);
    State back;
    back.catalog.driveLetter = 'Q';
    back.read();
    EXPECT_EQ(back.catalog.driveLetter, 0);
}

TEST_F(SettingsStore, InitialsAreWrittenOnlyOnTheirOwn) {
    ini("Initials=OLD\nNumber=9\n");
    State s;
    std::strcpy(s.paint.spineInitials, "NEW");
    std::strcpy(s.paint.spineNumber, "250");
    ASSERT_TRUE(s.write());
    EXPECT_EQ(stored("Initials"), "OLD");
    EXPECT_EQ(stored("Number"), "9");

    ASSERT_TRUE(WriteSpineInitials(s.paint));
    EXPECT_EQ(stored("Initials"), "NEW");
    EXPECT_EQ(stored("Number"), "250");
    EXPECT_EQ(stored("Drive"), "65"); // the rest stays
}

TEST_F(SettingsStore, InstallPathMissingMeansNotInstalled) {
    EXPECT_EQ(ReadInstallPath(), std::nullopt);
    dir_.writeText("Pelmora.ini", "[Install]\nInstallPath=error\n");
    EXPECT_EQ(ReadInstallPath(), std::nullopt);
}

// --- a failed save keeps the previous settings --------------------------------------------------

TEST_F(SettingsStore, ReadOnlyFolderKeepsTheOldFile) {
    const std::string old = "[vexo]\nDrive=68\n";
    ini("Drive=68\n");
    ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
    State s;
    fillNonDefault(s);
    std::string result = test::runUnprivileged([&] {
        return std::string(s.write() ? "saved" : "refused") +
               (WriteSpineInitials(s.paint) ? " saved" : " refused");
    });
    chmod(dir_.path().c_str(), 0755);
    EXPECT_EQ(result, "refused refused");
    EXPECT_EQ(readFile(SettingsPath()), old);
}

TEST_F(SettingsStore, FullDiskKeepsTheOldFile) {
    const std::string old = "[vexo]\nDrive=68\n";
    ini("Drive=68\n");
    State s;
    fillNonDefault(s);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096}; // the settings need far more
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(s.write() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(readFile(SettingsPath()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

// --- the recent-file list -----------------------------------------------------------------------

struct RecentCase {
    const char* what;
    std::array<std::string, kRecentFileCount> before;
    std::string added;
    std::array<std::string, kRecentFileCount> after;
};
void PrintTo(const RecentCase& c, std::ostream* os) {
    *os << c.what;
}

class RecentFiles : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentFiles, AddedPathGoesToTheTop) {
    ProgramSettings settings;
    settings.recentFiles = GetParam().before;
    AddRecentFile(settings, GetParam().added);
    EXPECT_EQ(settings.recentFiles, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFiles,
    ::testing::Values(RecentCase{"into an empty list", {}, "/a.PMB", {"/a.PMB", "", "", "", ""}},
                      RecentCase{"full list drops the oldest",
                                 {"/1", "/2", "/3", "/4", "/5"},
                                 "/6",
                                 {"/6", "/1", "/2", "/3", "/4"}},
                      RecentCase{"an entry in the middle moves up",
                                 {"/1", "/2", "/3", "/4", "/5"},
                                 "/3",
                                 {"/3", "/1", "/2", "/4", "/5"}},
                      RecentCase{"the last entry moves up",
                                 {"/1", "/2", "/3", "/4", "/5"},
                                 "/5",
                                 {"/5", "/1", "/2", "/3", "/4"}},
                      RecentCase{"the first entry stays",
                                 {"/1", "/2", "/3", "", ""},
                                 "/1",
                                 {"/1", "/2", "/3", "", ""}},
                      RecentCase{"case counts",
                                 {"/a.pmb", "/2", "/3", "/4", "/5"},
                                 "/A.PMB",
                                 {"/A.PMB", "/a.pmb", "/2", "/3", "/4"}}),
    caseName);

TEST(RecentFilesCapacity, LongPathIsCutBeforeComparing) {
    ProgramSettings settings;
    std::string longPath(300, 'p');
    AddRecentFile(settings, longPath);
    AddRecentFile(settings, longPath);
    EXPECT_EQ(settings.recentFiles[0].size(), kRecentFileCapacity - 1);
    EXPECT_EQ(settings.recentFiles[1], ""); // the second add found the first
}

} // namespace
} // namespace pelmora
