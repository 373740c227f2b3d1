#include "catalog/read_disk.h"
#include "storage/image_loader.h"
#include "storage/label_file.h"
#include "storage/object_record.h"
#include "storage/template_file.h"
#include "tests/catalog/catalog_test_util.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/test_support.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace pelmora {
namespace {

using test::fileEntry;
using test::folderEntry;
using test::TempDir;

// A 24-bit BMP of width x height pixels at one pixel per 0.01 inch.
std::string bmpBytes(int width, int height) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::string file(54 + rowBytes * static_cast<std::size_t>(height), '\x40');
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            file[at + i] = static_cast<char>(v >> (8 * i));
        }
    };
    file.replace(0, 54, 54, '\0');
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(38, 2835);
    put32(42, 2835);
    return file;
}

PlacedObject stringObject(const char* text) {
    PlacedObject o;
    o.kind = OBJECT_STRING;
    o.page = 2;
    o.layer = LAYER_BELOW;
    o.left = 10;
    o.top = -20;
    o.right = 300;
    o.bottom = -90;
    std::strcpy(o.text, text);
    std::strcpy(o.font.lfFaceName, "Arial");
    o.font.lfHeight = -17;
    o.textColor = 0x123456;
    o.backColor = 0xFFFFFF;
    o.orientation = 90;
    o.opaque = 1;
    o.autoSize = 1;
    o.hAlign = 2;
    o.vAlign = 1;
    return o;
}

// A designed label: folders DOCS (with SUB) and PICS, an image, a string and an object of a
// kind no reader knows, two extension styles.
VAROINFO designedLabel(const std::string& imagePath) {
    VAROINFO label;
    label.entries.push_back(fileEntry("a.txt"));
    label.entries.push_back(folderEntry("DOCS", {folderEntry("SUB", {fileEntry("x")})}));
    label.entries.push_back(folderEntry("PICS", {fileEntry("p.bmp")}));
    label.entries[1].open = 0;
    std::strcpy(label.volumeName, "DESIGN");
    std::strcpy(label.comment, "template comment");
    label.sortMode = 3;
    label.spaceFree = 5'000'000'000;
    std::strcpy(label.shortDate, "01/02/03");
    std::strcpy(label.fileFont.lfFaceName, "Courier New");
    label.extStyles.resize(2);
    std::strcpy(label.extStyles[0].extension, "TXT");
    label.extStyles[1].color = 0xFF;
    PlacedObject image;
    image.kind = OBJECT_IMAGE;
    std::snprintf(image.imagePath, sizeof image.imagePath, "%s", imagePath.c_str());
    image.page = 3;
    image.left = 50;
    image.top = -60;
    image.right = 90;
    image.bottom = -80;
    label.objects.push_back(image);
    label.objects.push_back(stringObject("A\r\nB"));
    label.objects.emplace_back().kind = 7;
    return label;
}

// A scanned catalog the template is applied to.
VAROINFO scannedLabel() {
    VAROINFO label;
    label.entries.push_back(folderEntry("docs", {folderEntry("Sub", {})}));
    label.entries.push_back(folderEntry("Pics", {}));
    label.entries[0].child->entries[0].open = 0;
    std::strcpy(label.volumeName, "SCANNED");
    std::strcpy(label.comment, "mine");
    label.spaceFree = 1234;
    std::strcpy(label.shortDate, "09/09/99");
    label.objects.push_back(stringObject("old"));
    return label;
}

const std::string kFont =
    "-12\r\n0\r\n0\r\n0\r\n400\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\nArial\r\n";

class TemplateFileTest : public ::testing::Test {
protected:
    TemplateFileTest() : bmp_(dir_.writeText("logo.bmp", bmpBytes(40, 20))) {}

    TemplateReadStatus read(const std::string& bytes, VAROINFO& label) {
        return readTemplateFile(dir_.writeText("t.pmt", bytes), label);
    }

    TempDir dir_;
    std::string bmp_;
    test::MessageRecorder messages_;
};

// --- writing --------------------------------------------------------------------------------

TEST_F(TemplateFileTest, LayoutOfFolderStatesAndObjects) {
    VAROINFO flat;
    flat.entries.push_back(fileEntry("only.txt"));
    EXPECT_EQ(encodeTemplate(flat).substr(0, 35), "Pelmora - Version 4.0\r\n\\END\r\n0\r\n.\r\n");

    const std::string bytes = encodeTemplate(designedLabel(bmp_));
    const std::string start = "Pelmora - Version 4.0\r\n.DOCS\r\n0\r\n.SUB\r\n1\r\n\\END\r\n"
                              "\\END\r\n.PICS\r\n1\r\n\\END\r\n\\END\r\n3\r\n";
    EXPECT_EQ(bytes.substr(0, start.size()), start);
    EXPECT_NE(bytes.find("1\r\n3\r\n1\r\n50\r\n-60\r\n90\r\n-80\r\n" + bmp_ + "\r\n2\r\n"),
              std::string::npos);
    // L = 4 characters in memory; the line break is stored as CR CR LF.
    EXPECT_NE(bytes.find("-90\r\n4\r\nA\r\r\nB\r\n-17\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("1\r\n1\r\n7\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n.DESIGN\r\n"),
              std::string::npos);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_EQ(bytes[i - 1], '\r') << "bare LF at " << i;
        }
    }
}

TEST_F(TemplateFileTest, StringTextsKeepEmptinessLeadingBlanksAndLineBreaks) {
    for (const char* text : {"", "  two blanks", "\r\nafter a break", "A\r\nB", "end\r"}) {
        VAROINFO label;
        label.objects.push_back(stringObject(text));
        const std::string bytes = encodeTemplate(label);
        if (*text == '\0') {
            EXPECT_NE(bytes.find("-90\r\n0\r\n\r\n-17\r\n"), std::string::npos);
        }
        VAROINFO target;
        ASSERT_EQ(read(bytes, target), TemplateReadStatus::Applied);
        ASSERT_EQ(target.objectCount(), 1);
        const PlacedObject& o = target.objects[0];
        EXPECT_STREQ(o.text, text);
        EXPECT_EQ(o.font.lfHeight, -17);
        EXPECT_STREQ(o.font.lfFaceName, "Arial");
        EXPECT_EQ(o.textColor, 0x123456u);
        EXPECT_EQ(o.orientation, 90);
        EXPECT_EQ(o.page, 2);
        EXPECT_EQ(o.layer, LAYER_BELOW);
        EXPECT_EQ(o.right, 300);
        EXPECT_EQ(o.hAlign, 0); // strings from a template are left- and top-aligned
        EXPECT_EQ(o.vAlign, 0);
    }
}

TEST_F(TemplateFileTest, WrittenHiddenIntoTheDriveRootAndSilentWhenItCannotBe) {
    test::DriveMapping drive('T', dir_.path());
    EXPECT_EQ(templatePath('T'), dir_.file("Pelmora.PMT"));
    VAROINFO label = designedLabel(bmp_);
    ASSERT_TRUE(WriteTemplate('T', label));
    ASSERT_TRUE(WriteTemplate('T', label));
    EXPECT_EQ(test::readFile(dir_.file("Pelmora.PMT")), encodeTemplate(label));
    EXPECT_EQ(test::readFile(dir_.file(".hidden")), "Pelmora.PMT\n");

    std::string locked = dir_.makeDir("locked");
    chmod(dir_.path().c_str(), 0755);
    chmod(locked.c_str(), 0555);
    const std::string written = test::runUnprivileged(
        [&] { return std::string(writeTemplateFile(locked + "/Pelmora.PMT", label) ? "1" : "0"); });
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(written, "0");
    EXPECT_FALSE(WriteTemplate('J', label)); // no folder behind the letter
    EXPECT_TRUE(messages_.messages().empty());
}

// --- reading ---------------------------------------------------------------------------------

TEST_F(TemplateFileTest, AppliedTemplateKeepsCommentTakesVolumeAndMatchesFoldersByName) {
    VAROINFO label = scannedLabel();
    label.entries.insert(label.entries.begin(), fileEntry("DOCS")); // a file: never matched
    ASSERT_EQ(read(encodeTemplate(designedLabel(bmp_)), label), TemplateReadStatus::Applied);
    EXPECT_STREQ(label.comment, "mine");
    EXPECT_STREQ(label.volumeName, "DESIGN");
    EXPECT_EQ(label.spaceFree, 5'000'000'000);
    EXPECT_STREQ(label.shortDate, "01/02/03");
    EXPECT_STREQ(label.fileFont.lfFaceName, "Courier New");
    EXPECT_EQ(label.extStyleCount(), 2);
    EXPECT_EQ(label.entries[1].open, 0); // DOCS applies to docs
    EXPECT_EQ(label.entries[1].child->entries[0].open, 1);
    EXPECT_EQ(label.layoutValid, 0);

    // The image was loaded again at its stored outline; the unknown kind was dropped.
    ASSERT_EQ(label.objectCount(), 2);
    const PlacedObject& image = label.objects[0];
    EXPECT_EQ(image.kind, OBJECT_IMAGE);
    EXPECT_EQ(image.page, 3);
    EXPECT_EQ(image.dib.size(), bmpBytes(40, 20).size() - 14);
    EXPECT_EQ(std::vector<std::int32_t>({image.left, image.top, image.right, image.bottom}),
              std::vector<std::int32_t>({50, -60, 90, -80}));
    EXPECT_EQ(image.naturalRight - image.naturalLeft, 40);
    EXPECT_STREQ(label.objects[1].text, "A\r\nB");
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(TemplateFileTest, RenamedFolderIsSkippedAsABlockAndMissingImageDropped) {
    VAROINFO design;
    design.entries.push_back(folderEntry("OLDNAME", {folderEntry("SUB", {})}));
    design.entries.push_back(folderEntry("PICS", {}));
    design.entries[0].open = 0;
    design.entries[0].child->entries[0].open = 0;
    design.entries[1].open = 0;
    design.objects.push_back(stringObject("first"));
    design.objects.push_back(PlacedObject{});
    design.objects[1].kind = OBJECT_IMAGE;
    std::strcpy(design.objects[1].imagePath, "/nonexistent/gone.bmp");
    design.objects.push_back(stringObject("third"));

    VAROINFO label;
    label.entries.push_back(folderEntry("NEWNAME", {folderEntry("SUB", {})}));
    label.entries.push_back(folderEntry("pics", {}));
    label.entries.push_back(folderEntry("sub", {})); // a nested record never names it
    ASSERT_EQ(read(encodeTemplate(design), label), TemplateReadStatus::Applied);
    EXPECT_EQ(label.entries[0].open, 1);                   // keeps the scanner's value
    EXPECT_EQ(label.entries[0].child->entries[0].open, 1); // nested record skipped too
    EXPECT_EQ(label.entries[1].open, 0);                   // later folders still match
    EXPECT_EQ(label.entries[2].open, 1);
    ASSERT_EQ(label.objectCount(), 2);
    EXPECT_STREQ(label.objects[1].text, "third");
}

TEST_F(TemplateFileTest, SevenVersionLinesAcceptedOthersRefusedWithTheLine) {
    for (const char* version : {"4.0", "3.0", "2.5", "2.0", "1.8", "1.7", "1.6"}) {
        VAROINFO label = scannedLabel();
        const std::string line = std::string("Pelmora - Version ") + version;
        EXPECT_EQ(read(line + "\r\n\\END\r\n0\r\n", label), TemplateReadStatus::Applied);
        EXPECT_EQ(templateVersionCode(line), static_cast<int>(std::stod(version) * 10 + 0.5));
        EXPECT_EQ(label.objectCount(), 0);
    }
    EXPECT_TRUE(messages_.messages().empty());
    for (const char* line :
         {"Pelmora - Version 4.1", "pelmora - version 4.0", "Pelmora - Version 4.0 ", ""}) {
        messages_.clear();
        VAROINFO label = scannedLabel();
        EXPECT_EQ(read(std::string(line) + "\r\n\\END\r\n0\r\n", label),
                  TemplateReadStatus::VersionRefused);
        ASSERT_EQ(messages_.messages().size(), 1u);
        EXPECT_EQ(messages_.messages()[0].text,
                  std::string("Template \"") + line + "\" Version Not Supported!");
        EXPECT_EQ(messages_.messages()[0].caption, "Template Error");
        EXPECT_EQ(messages_.messages()[0].flags & MB_ICONERROR, MB_ICONERROR);
        EXPECT_EQ(label.objectCount(), 1); // unchanged
    }
    VAROINFO label = scannedLabel();
    EXPECT_EQ(readTemplateFile(dir_.file("none.pmt"), label), TemplateReadStatus::NoFile);
}

TEST_F(TemplateFileTest, OlderLayoutsReadTheirObjectsAndKeepTheScannedFigures) {
    const std::string block16 = ".OLD\r\n.theirs\r\n2\r\n-1\r\n3\r\n1\r\n0\r\n1\r\n"
                                "10\r\n11\r\n12\r\n1\r\n0\r\n0\r\n0\r\n0\r\n" +
                                kFont + kFont + kFont + kFont;
    // Code 16: images only, positioned by their top-left corner, no extension styles.
    VAROINFO label = scannedLabel();
    label.extStyles.resize(1);
    ASSERT_EQ(read("Pelmora - Version 1.6\r\n\\END\r\n1\r\n" + bmp_ + "\r\n7\r\n-8\r\n2\r\n0\r\n" +
                       block16,
                   label),
              TemplateReadStatus::Applied);
    ASSERT_EQ(label.objectCount(), 1);
    EXPECT_EQ(std::vector<std::int32_t>({label.objects[0].left, label.objects[0].top,
                                         label.objects[0].right, label.objects[0].bottom,
                                         label.objects[0].page, label.objects[0].layer}),
              std::vector<std::int32_t>({7, -8, 47, -28, 2, 0}));
    EXPECT_STREQ(label.volumeName, "OLD");
    EXPECT_STREQ(label.comment, "mine");
    EXPECT_EQ(label.extStyleCount(), 0);
    EXPECT_EQ(label.sortMode, 2);
    EXPECT_EQ(label.spaceFree, 1234);
    EXPECT_STREQ(label.shortDate, "09/09/99");

    // Codes 17 .. 24: a string's text is one dotted line.
    label = scannedLabel();
    ASSERT_EQ(read("Pelmora - Version 2.0\r\n\\END\r\n1\r\n2\r\n1\r\n1\r\n0\r\n0\r\n9\r\n-9\r\n"
                   ".  dotted text\r\n" +
                       kFont + "255\r\n0\r\n180\r\n1\r\n0\r\n",
                   label),
              TemplateReadStatus::Applied);
    ASSERT_EQ(label.objectCount(), 1);
    EXPECT_STREQ(label.objects[0].text, "  dotted text");
    EXPECT_EQ(label.objects[0].orientation, 180);
}

TEST_F(TemplateFileTest, ReadDiskAppliesTheTemplateFoundOnTheScannedDisk) {
    TempDir disk;
    disk.writeFile("Docs/Sub/x.txt", 1);
    disk.writeFile("Pics/p.bmp", 1);
    disk.writeFile("a.txt", 1);
    test::DriveMapping drive('T', disk.path());
    CatalogSettings settings;
    settings.driveLetter = 'T';

    LabelSet first;
    readDisk(first, settings, ApplyDiskTemplate); // template files not in use yet
    VAROINFO& design = first.current();
    ASSERT_EQ(test::shape(design), "a.txt,Docs[Sub[x.txt]],Pics[p.bmp]");
    design.entries[1].open = 0;
    const std::string scannedName = design.volumeName;
    std::strcpy(design.volumeName, "MY DISK");
    std::strcpy(design.comment, "design comment");
    design.objects.push_back(stringObject("on the disk"));
    ASSERT_TRUE(WriteTemplate('T', design));

    settings.useTemplateFiles = 1;
    LabelSet second;
    std::strcpy(second.current().comment, "keep me");
    ASSERT_TRUE(readDisk(second, settings, ApplyDiskTemplate));
    const VAROINFO& label = second.current();
    EXPECT_EQ(test::shape(label), "a.txt,Docs[Sub[x.txt]],Pics[p.bmp]"); // the template is hidden
    EXPECT_EQ(label.entries[1].open, 0);
    EXPECT_EQ(label.entries[2].open, 1);
    EXPECT_EQ(label.volumeName, scannedName) << "the disk's name is the scan's";
    EXPECT_STREQ(label.comment, "keep me");
    ASSERT_EQ(label.objectCount(), 1);
    EXPECT_STREQ(label.objects[0].text, "on the disk");
}

// A template naming one JPEG ten times: the file is decoded once, and the label keeps only as
// many pictures as a label file carries back; the rest are left out and counted, and
// "Template Error" says how many.
TEST_F(TemplateFileTest, APictureNamedManyTimesIsLoadedOnceAndHeldToWhatALabelFileHolds) {
    const std::string jpeg = dir_.writeText("photo.jpg", test::greyJpeg(64, 48, 90));
    VAROINFO design;
    for (int i = 0; i < 10; ++i) {
        PlacedObject image;
        image.kind = OBJECT_IMAGE;
        std::snprintf(image.imagePath, sizeof image.imagePath, "%s", jpeg.c_str());
        image.left = 10 * i;
        image.right = 10 * i + 64;
        image.bottom = -48;
        design.objects.push_back(image);
    }
    design.objects.push_back(stringObject("after the pictures"));
    const std::string bytes = encodeTemplate(design);

    PlacedObject photo;
    ASSERT_EQ(LoadImage(jpeg, photo), 1);
    const std::uint64_t pictureBytes = kObjectRecordBytes + photo.dib.size();
    VAROINFO label = scannedLabel();
    label.objects.clear();
    // Room for four pictures and the string, the objects' count line included.
    const std::uint64_t cap = labelFileBytes(label) + 16 + 4 * pictureBytes + kObjectRecordBytes;
    const std::uint64_t previous = replaceLabelFileByteCap(cap);
    struct Restore {
        std::uint64_t cap;
        ~Restore() { replaceLabelFileByteCap(cap); }
    } restore{previous};

    int loads = 0;
    const TemplateContents contents = decodeTemplate(bytes, label);
    const TemplateObjectsApplied applied =
        applyTemplateObjects(contents, label, [&](const std::string& path, PlacedObject& object) {
            ++loads;
            return LoadImage(path, object);
        });
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(applied.overLimit, 6u);
    EXPECT_EQ(applied.unloadable, 0u);
    ASSERT_EQ(label.objectCount(), 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(label.objects[i].dib, photo.dib) << i;
        EXPECT_EQ(label.objects[i].left, 10 * i);
    }
    EXPECT_STREQ(label.objects[4].text, "after the pictures");
    EXPECT_LE(labelFileBytes(label), cap);
    EXPECT_EQ(labelFileProblem(label), "") << "the label saves and reads back whole";

    VAROINFO applied2 = scannedLabel();
    ASSERT_EQ(read(bytes, applied2), TemplateReadStatus::Applied);
    EXPECT_EQ(applied2.objectCount(), 5);
    EXPECT_TRUE(messages_.saw("Template Error",
                              "6 objects of the template left out: the label would be larger "
                              "than a label file can hold."));
}

// --- damaged files ---------------------------------------------------------------------------

// Decodes into a scanned label and applies what was read, as readTemplateFile does.
VAROINFO applyDamaged(const std::string& bytes, TemplateContents* seen = nullptr) {
    VAROINFO label = scannedLabel();
    TemplateContents contents = decodeTemplate(bytes, label);
    applyFolderStates(contents.folders, label);
    applyTemplateObjects(contents, label);
    if (seen) {
        *seen = std::move(contents);
    }
    return label;
}

TEST_F(TemplateFileTest, EveryTruncationPointStopsCleanly) {
    const std::string bytes = encodeTemplate(designedLabel(bmp_));
    std::size_t foldersBefore = 0;
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        TemplateContents contents;
        VAROINFO label = applyDamaged(bytes.substr(0, n), &contents);
        ASSERT_GE(contents.folders.size(), foldersBefore) << n;
        foldersBefore = contents.folders.size();
        if (!contents.objectsRead) {
            ASSERT_EQ(label.objectCount(), 1) << n; // the objects were not reached
            ASSERT_STREQ(label.objects[0].text, "old");
        }
        ASSERT_LE(label.objectCount(), 2) << n;
        ASSERT_FALSE(contents.labelBlockRead && n + 1 < bytes.size()) << n;
    }
    TemplateContents whole;
    applyDamaged(bytes, &whole);
    EXPECT_TRUE(whole.labelBlockRead);
    EXPECT_EQ(whole.problem, "");
}

// A template cut just before its extension-style count leaves the scanned label's styles;
// the whole file replaces them.
TEST_F(TemplateFileTest, StylesAreReplacedOnlyOnceTheirCountWasRead) {
    VAROINFO design = designedLabel(bmp_);
    design.extStyles.clear();
    const std::string bytes = encodeTemplate(design);
    ASSERT_EQ(bytes.substr(bytes.size() - 5), "\r\n0\r\n"); // the count is the last line

    auto scannedWithStyle = [] {
        VAROINFO label = scannedLabel();
        label.extStyles.resize(1);
        std::strcpy(label.extStyles[0].extension, "TXT");
        return label;
    };
    VAROINFO cut = scannedWithStyle();
    decodeTemplate(bytes.substr(0, bytes.size() - 3), cut);
    ASSERT_EQ(cut.extStyleCount(), 1);
    EXPECT_STREQ(cut.extStyles[0].extension, "TXT");

    VAROINFO whole = scannedWithStyle();
    decodeTemplate(bytes, whole);
    EXPECT_EQ(whole.extStyleCount(), 0);
}

TEST_F(TemplateFileTest, BitFlippedAndHostileFilesLoadWithoutHarm) {
    const std::string bytes = encodeTemplate(designedLabel(bmp_));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = bytes;
            flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
            const VAROINFO label = applyDamaged(flipped);
            for (const PlacedObject& o : label.objects) {
                ASSERT_TRUE(o.page >= 1 && o.page <= 4 && o.layer >= -1 && o.layer <= 1)
                    << i << ":" << bit;
                ASSERT_EQ(o.orientation % 90, 0);
                ASSERT_LT(std::strlen(o.text), kObjectTextCapacity);
            }
        }
    }
    const std::string head = "Pelmora - Version 4.0\r\n\\END\r\n";
    const std::string entry = "2\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n";
    std::string deep = "Pelmora - Version 4.0\r\n";
    for (int i = 0; i < 200000; ++i) {
        deep += ".docs\r\n1\r\n";
    }
    for (const std::string& hostile :
         {head + "2147483647\r\n", head + "-1\r\n", head + "1\r\n" + entry + "99999999999\r\n",
          head + "1\r\n" + entry + "-4\r\nabcd",
          head + "1\r\n2\r\n1\r\n1\r\n0\r\n0\r\n0\r\n" + "4294967296\r\n", deep}) {
        TemplateContents contents;
        const VAROINFO label = applyDamaged(hostile, &contents);
        EXPECT_NE(contents.problem, "");
        EXPECT_EQ(label.objectCount(), contents.objectsRead ? 0 : 1);
    }

    // A text longer than the field is cut before a UTF-8 sequence, never inside one.
    std::string text = "xx";
    while (text.size() < 8300) {
        text += "\xC3\xA9";
    }
    VAROINFO label = applyDamaged(head + "1\r\n" + entry + std::to_string(text.size()) + "\r\n" +
                                  text + "\r\n" + kFont + "0\r\n0\r\n0\r\n0\r\n0\r\n");
    ASSERT_EQ(label.objectCount(), 1);
    EXPECT_EQ(std::string(label.objects[0].text), text.substr(0, 8190));
}

} // namespace
} // namespace pelmora
