// pelmora-cli scan -o, dump and render, run as a separate process on real files.

#include "storage/label_file.h"
#include "storage/template_file.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace pelmora {
namespace {

using CliRun = test::CommandRun;

CliRun runCli(const std::string& arguments) {
    return test::runCapturing(std::string("PELMORA_TODAY=1998-07-17 LC_ALL=C ") + PELMORA_CLI_PATH +
                              " " + arguments);
}

using test::quoted;

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class CliFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        disk_.writeFile("disk/README.TXT", 1500);
        disk_.writeFile("disk/Docs/letter.doc", 2048);
        disk_.writeFile("disk/Docs/Old/x.tmp", 1);
    }
    std::string diskPath() const { return disk_.file("disk"); }

    // A label with a string and a 2 x 2 image, saved by the library.
    std::string savedLabelWithObjects(COLORREF bodyBackColor) {
        VAROINFO label;
        resetFormat(label);
        std::strcpy(label.volumeName, "OBJECTS");
        label.columns = 0; // no file list: the body shows its background
        label.bodyBackColor = bodyBackColor;
        label.spaceFree = 6'000'000'000;
        FileEntry odd; // a name from a code-page program, and a control character
        std::strcpy(odd.name, "Caf\xE9\x01");
        label.entries.push_back(odd);
        PlacedObject text;
        text.kind = OBJECT_STRING;
        std::strcpy(text.text, "A \"quoted\"\r\nline");
        text.left = 10;
        text.top = -10;
        text.right = 60;
        text.bottom = -30;
        PlacedObject image;
        image.kind = OBJECT_IMAGE;
        std::strcpy(image.imagePath, "/pics/p.bmp");
        image.dib.assign(56, 0);
        image.dib[0] = 40;
        image.dib[4] = 2;
        image.dib[8] = 2;
        image.dib[12] = 1;
        image.dib[14] = 24;
        image.fileHeader = {kBitmapFileType, 70, 0, 0, 54};
        image.left = 300;
        image.top = -300;
        image.right = 302;
        image.bottom = -302;
        label.objects.push_back(std::move(text));
        label.objects.push_back(std::move(image));
        const std::string path = disk_.file("objects.PMB");
        EXPECT_TRUE(saveLabelFile(path, label));
        return path;
    }

    test::TempDir disk_;
};

TEST_F(CliFileTest, ScanWritesALabelFileWhoseDumpNestsTheEntries) {
    const std::string out = disk_.file("scan.PMB");
    const CliRun scan = runCli("scan " + quoted(diskPath()) + " -o " + quoted(out));
    ASSERT_EQ(scan.exitCode, 0) << scan.err;

    const CliRun dump = runCli("dump " + quoted(out));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(dump.err, "");
    const std::string& json = dump.out;
    EXPECT_EQ(json.substr(0, 2), "{\n");
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    EXPECT_NE(json.find("  \"shortDate\": \"07/17/98\",\n"), std::string::npos);
    EXPECT_NE(json.find("  \"fileCount\": 3,\n  \"folderCount\": 2,\n"), std::string::npos);
    EXPECT_NE(json.find("    \"lfFaceName\": \"Arial\"\n"), std::string::npos);
    EXPECT_NE(json.find("  \"extStyles\": [],\n"), std::string::npos);
    // The saved label carries measured line heights (Arial 8 pt is 12 or 13 units), so the
    // program lays it out with real rows when it opens the file.
    EXPECT_EQ(json.find("  \"fileFontHeight\": 0,\n"), std::string::npos) << json;
    EXPECT_TRUE(json.find("  \"fileFontHeight\": 12,\n") != std::string::npos ||
                json.find("  \"fileFontHeight\": 13,\n") != std::string::npos);
    // Docs, then its own entries one level deeper, then Old's inside those.
    const std::string docs = "    {\n"
                             "      \"name\": \"Docs\",\n"
                             "      \"sizeText\": \"[dir]\",\n"
                             "      \"size\": 0,\n"
                             "      \"hasChild\": 1,\n"
                             "      \"open\": 1,\n"
                             "      \"align\": 0,\n"
                             "      \"entries\": [\n"
                             "        {\n"
                             "          \"name\": \"letter.doc\",\n"
                             "          \"sizeText\": \"2K\",\n"
                             "          \"size\": 2048,\n";
    EXPECT_NE(json.find(docs), std::string::npos) << json;
    EXPECT_NE(json.find("              \"name\": \"x.tmp\",\n"), std::string::npos) << json;
    EXPECT_NE(json.find("      \"name\": \"Readme.Txt\",\n"), std::string::npos);
    EXPECT_NE(json.find("  \"objects\": []\n}\n"), std::string::npos);
}

TEST_F(CliFileTest, DumpShowsObjectsWithoutPixels) {
    const CliRun dump = runCli("dump " + quoted(savedLabelWithObjects(0xFFFFFF)));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    const std::string& json = dump.out;
    EXPECT_NE(json.find("  \"spaceFree\": 6000000000,\n"), std::string::npos);
    EXPECT_NE(json.find("      \"text\": \"A \\\"quoted\\\"\\r\\nline\",\n"), std::string::npos)
        << json;
    EXPECT_NE(json.find("      \"imagePath\": \"/pics/p.bmp\",\n"
                        "      \"fileHeader\": {\n"
                        "        \"bfType\": 19778,\n"
                        "        \"bfSize\": 70,\n"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("      \"dibSize\": 56,\n"), std::string::npos);
    EXPECT_NE(json.find("\"name\": \"Caf\xC3\xA9\\u0001\""), std::string::npos) << json;
    EXPECT_EQ(json.find("\"dib\":"), std::string::npos);
}

TEST_F(CliFileTest, DumpOfADamagedFileShowsWhatWasReadAndSaysSo) {
    const std::string full = test::readFile(savedLabelWithObjects(0xFFFFFF));
    const std::string cut = disk_.writeText("cut.PMB", full.substr(0, full.size() - 20));
    const CliRun dump = runCli("dump " + quoted(cut));
    EXPECT_EQ(dump.exitCode, 2) << "what was read is printed, but it is not the whole file";
    EXPECT_EQ(lines(dump.err), 1) << dump.err;
    EXPECT_NE(dump.err.find("cut.PMB: damaged at byte "), std::string::npos) << dump.err;
    EXPECT_NE(dump.out.find("\"volumeName\": \"OBJECTS\""), std::string::npos);
    EXPECT_NE(dump.out.find("\"kind\": 2"), std::string::npos) << "the string was read";
    EXPECT_EQ(dump.out.find("\"kind\": 1"), std::string::npos) << "its pixels were cut";
}

TEST_F(CliFileTest, ScanWithTemplateAppliesTheFolderTemplate) {
    VAROINFO design;
    resetFormat(design);
    std::strcpy(design.volumeName, "FROM TEMPLATE");
    design.columns = 4;
    ASSERT_TRUE(writeTemplateFile(disk_.file("disk/Pelmora.PMT"), design));

    const std::string out = disk_.file("t.PMB");
    ASSERT_EQ(runCli("scan " + quoted(diskPath()) + " -o " + quoted(out)).exitCode, 0);
    const CliRun plain = runCli("dump " + quoted(out));
    EXPECT_EQ(plain.out.find("FROM TEMPLATE"), std::string::npos);

    ASSERT_EQ(runCli("scan " + quoted(diskPath()) + " --use-template -o " + quoted(out)).exitCode,
              0);
    const CliRun applied = runCli("dump " + quoted(out));
    EXPECT_EQ(applied.out.find("FROM TEMPLATE"), std::string::npos)
        << "the design comes from the template, the volume name from the disk";
    EXPECT_NE(applied.out.find("\"columns\": 4,"), std::string::npos);
    EXPECT_NE(applied.out.find("\"name\": \"letter.doc\""), std::string::npos)
        << "the scanned catalog stays";
}

TEST_F(CliFileTest, RenderPaintsExactlyTheFace) {
    const COLORREF body = RGB(255, 255, 200);
    const std::string file = savedLabelWithObjects(body);
    struct Case {
        std::string options;
        int width;
        int height;
    };
    const Case cases[] = {
        {"--dpi 100", 356, 431},
        {"--dpi 100 --scale 0.5", 178, 215},
        {"--dpi 100 --format quad --position 3", 356, 350},
        {"--dpi 100 --format fold-out --position 2 --scale 0.5", 178, 175},
        {"", 342, 414}, // 96 dpi: 3.56 x 4.31 inches, rounded up
    };
    for (const Case& c : cases) {
        const std::string png = disk_.file("face.png");
        std::remove(png.c_str());
        const CliRun run =
            runCli("render " + quoted(file) + " -o " + quoted(png) + " " + c.options);
        ASSERT_EQ(run.exitCode, 0) << c.options << ": " << run.err;
        EXPECT_EQ(run.err, "") << c.options;
        QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull()) << c.options;
        EXPECT_EQ(image.width(), c.width) << c.options;
        EXPECT_EQ(image.height(), c.height) << c.options;
        const QRgb inner = image.pixel(c.width / 2, c.height / 3);
        EXPECT_EQ(inner, qRgb(255, 255, 200)) << c.options << ": the body background";
    }
}

TEST_F(CliFileTest, RenderOfAScannedLabelLaysOutItsLines) {
    const std::string out = disk_.file("scan.PMB");
    ASSERT_EQ(runCli("scan " + quoted(diskPath()) + " -o " + quoted(out)).exitCode, 0);
    const std::string png = disk_.file("scan.png");
    const CliRun run = runCli("render " + quoted(out) + " -o " + quoted(png) + " --dpi 100");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(356, 431));
    // Four catalog lines at the top of the first column, white body below them.
    int darkRows = 0;
    for (int y = 0; y < 120; ++y) {
        bool dark = false;
        for (int x = 10; x < 120; ++x) {
            dark = dark || qGray(image.pixel(x, y)) < 100;
        }
        darkRows += dark;
    }
    EXPECT_GT(darkRows, 20) << "text of the lines";
    EXPECT_LT(darkRows, 110) << "not one smear of text";
}

TEST_F(CliFileTest, BadArgumentsExitOneAndBadInputTwo) {
    const std::string file = savedLabelWithObjects(0xFFFFFF);
    const std::string png = " -o " + quoted(disk_.file("x.png"));
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        {"dump", 1},
        {"dump " + quoted(file) + " --pretty", 1},
        {"dump " + quoted(file) + " " + quoted(file), 1},
        {"render " + quoted(file), 1},
        {"render" + png, 1},
        {"render " + quoted(file) + png + " --frobnicate", 1},
        {"render " + quoted(file) + png + " --dpi", 1},
        {"scan " + quoted(diskPath()) + " -o", 1},
        {"dump " + quoted(disk_.file("missing.PMB")), 2},
        {"dump " + quoted(disk_.path()), 2},
        {"render " + quoted(disk_.file("missing.PMB")) + png, 2},
        {"render " + quoted(file) + png + " --scale 2", 2},
        {"render " + quoted(file) + png + " --dpi many", 2},
        {"render " + quoted(file) + png + " --dpi 0", 2},
        {"render " + quoted(file) + png + " --position 5", 2},
        {"render " + quoted(file) + png + " --position 2", 2}, // one label has one face
        {"render " + quoted(file) + png + " --format six", 2},
        {"render " + quoted(file) + " -o " + quoted(disk_.file("no/such/x.png")), 2},
        {"scan " + quoted(diskPath()) + " -o " + quoted(disk_.file("no/such/x.PMB")), 2},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.err;
        if (c.exitCode == 2) {
            EXPECT_EQ(lines(run.err), 1) << c.arguments << "\n" << run.err;
        }
    }

    const std::string future = disk_.writeText("future.PMB", "42\n.NEW\n");
    const CliRun refused = runCli("dump " + quoted(future));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("future.PMB"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
}

} // namespace
} // namespace pelmora
