// The file-list grid and its drawing, read back from a recording device context with fixed
// font heights (A = 15 label units) on a 96-dpi display at window scale 1.

#include "catalog/comment_macros.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/file_list.h"
#include "render/geometry.h"
#include "render/list_fit.h"
#include "render/text.h"
#include "render/view_state.h"
#include "tests/catalog/catalog_test_util.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using gdi::DrawRecord;
using test::fileEntry;
using test::folderEntry;

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = theView;
        theView = ViewState{};
        theView.format = QUAD_LABEL;
        label_.fileFont.lfHeight = -11;
        label_.folderFont.lfHeight = -11;
        label_.folderFont.lfWeight = 700;
        label_.commentFont.lfHeight = -11;
        std::strcpy(label_.fileFont.lfFaceName, "Arial");
        std::strcpy(label_.folderFont.lfFaceName, "Arial");
        std::strcpy(label_.commentFont.lfFaceName, "Arial");
        label_.fileFontHeight = 12;
        label_.folderFontHeight = 14; // A = 15
        label_.comment[0] = '\0';
        label_.showComment = 0;
        PlaceFace(1, 1, 0, label_);
        dc_ = gdi::createRecordingDC(gdi::displayCaps(), records_);
        SetLabelMapping(*dc_);
    }
    void TearDown() override { theView = saved_; }

    // The body of `position`, placed at the label's face origin, at scale s.
    RECT body(int position, double s = 1.0) const { return PlacedBodyRect(label_, position, s); }

    void addFiles(int count) {
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "f%04d.txt", i);
            label_.entries.push_back(fileEntry(name, 10, "10"));
        }
        label_.layoutValid = 0;
    }

    std::vector<DrawRecord> ofKind(DrawRecord::Kind kind) const {
        std::vector<DrawRecord> out;
        std::copy_if(records_.begin(), records_.end(), std::back_inserter(out),
                     [&](const DrawRecord& r) { return r.kind == kind; });
        return out;
    }
    std::vector<std::string> drawnTexts() const {
        std::vector<std::string> out;
        for (const DrawRecord& r : ofKind(DrawRecord::Kind::Text)) {
            out.push_back(r.text);
        }
        return out;
    }
    void draw(int position, int columns, double s = 1.0) {
        DrawFileList(label_, *dc_, body(position, s), s, FirstLineOfPosition(label_, position),
                     columns, position);
    }

    ViewState saved_;
    VAROINFO label_;
    std::vector<DrawRecord> records_;
    std::unique_ptr<gdi::DeviceContext> dc_;
};

TEST_F(FileListTest, GridCellsRowsAndMargins) {
    // Front face at the view origin (26, -6): body 26, -6, 382, -375.
    FileListGrid two(label_, body(1), 1.0, 2, 1);
    EXPECT_EQ(two.rows, 23); // floor((369 - 25) / 15 + 0.5)
    EXPECT_DOUBLE_EQ(two.margin, 10);
    EXPECT_DOUBLE_EQ(two.columnWidth, 158);
    EXPECT_EQ(two.cell(0, 0), (RECT{37, -14, 193, -32}));
    EXPECT_EQ(two.cell(1, 2), (RECT{215, -44, 371, -62}));
    EXPECT_DOUBLE_EQ(two.boundary(1), 204);

    FileListGrid three(label_, body(1), 1.0, 3, 1);
    EXPECT_DOUBLE_EQ(three.margin, 5);
    EXPECT_NEAR(three.columnWidth, 326.0 / 3, 1e-9);

    label_.showComment = 1;
    EXPECT_EQ(FileListGrid(label_, body(1), 1.0, 2, 1).rows, 22);
    EXPECT_EQ(FileListGrid(label_, body(2), 1.0, 2, 2).rows, 22); // (350 - 25) / 15 + 0.5

    // The overview halves pitch and margins: g = trunc(0.5 x 10) = 5, m = 2.5.
    FileListGrid half(label_, body(1, 0.5), 0.5, 2, 1);
    EXPECT_DOUBLE_EQ(half.margin, 2.5);
    EXPECT_EQ(half.rows, 22); // the comment row is given up on position 1
}

TEST_F(FileListTest, ListFlowsAroundAnObjectAboveTheLabelAndOnToPage2) {
    addFiles(100);
    PlacedObject blocker;
    blocker.kind = OBJECT_STRING;
    blocker.layer = 1;
    blocker.page = 1;
    // Covers the lower half of column 1 (face-relative): rows from about y = -200 down.
    blocker.left = 20;
    blocker.top = -200;
    blocker.right = 150;
    blocker.bottom = -360;
    label_.objects.push_back(blocker);

    const int total = CountFreeCells(label_, body(1), 1.0, 2, 1);
    EXPECT_LT(total, 46);
    EXPECT_GT(total, 23);
    EXPECT_EQ(FirstLineOfPosition(label_, 2), total);

    draw(1, 2);
    std::vector<std::string> page1 = drawnTexts();
    // Names and sizes alternate; the last name drawn on page 1 is line total - 1.
    char expected[32];
    std::snprintf(expected, sizeof expected, "f%04d.txt", total - 1);
    EXPECT_NE(std::find(page1.begin(), page1.end(), expected), page1.end());
    std::snprintf(expected, sizeof expected, "f%04d.txt", total);
    EXPECT_EQ(std::find(page1.begin(), page1.end(), expected), page1.end());

    records_.clear();
    PlaceFace(1, 2, 0, label_);
    draw(2, 2);
    ASSERT_FALSE(drawnTexts().empty());
    EXPECT_EQ(drawnTexts().front(), expected);

    // Moving the object off page 1 reflows page 2.
    label_.objects[0].page = 3;
    EXPECT_EQ(FirstLineOfPosition(label_, 2), 46);
}

// The overview paints each face at half size; it must show the lines the zoomed view and the
// print show on that page. A = 16 is a height at which the half-size body would otherwise round
// to one row fewer, and an object whose edges fall between half-size units covers other cells.
TEST_F(FileListTest, TheOverviewShowsTheSameLinesOnEachPageAsTheZoomedView) {
    label_.fileFontHeight = 15;
    label_.folderFontHeight = 15;
    label_.showComment = 1;
    label_.columns = 2;
    addFiles(1200);
    PlacedObject blocker;
    blocker.kind = OBJECT_STRING;
    blocker.layer = 1;
    blocker.page = 1;
    blocker.left = 181;
    blocker.top = -119;
    blocker.right = 301;
    blocker.bottom = -203;
    label_.objects.push_back(blocker);
    blocker.page = 3;
    blocker.top = -41;
    blocker.bottom = -77;
    label_.objects.push_back(blocker);

    auto names = [this] {
        std::vector<std::string> out;
        for (const std::string& text : drawnTexts()) {
            if (text.front() == 'f') {
                out.push_back(text);
            }
        }
        return out;
    };
    std::string next = "f0000.txt";
    for (int position = 1; position <= 4; ++position) {
        records_.clear();
        theView.zoomed = 1;
        PlaceFace(1, position, 0, label_);
        draw(position, 2, 1.0);
        const std::vector<std::string> zoomed = names();
        records_.clear();
        theView.zoomed = 0;
        PlaceFace(0, position, 0, label_);
        draw(position, 2, 0.5);
        const std::vector<std::string> overview = names();
        ASSERT_FALSE(zoomed.empty()) << position;
        EXPECT_EQ(overview, zoomed) << "page " << position;
        EXPECT_EQ(zoomed.front(), next) << "page " << position << " goes on from the last";
        char following[32];
        std::snprintf(following, sizeof following, "f%04d.txt",
                      FirstLineOfPosition(label_, position) + static_cast<int>(zoomed.size()));
        next = following;
    }
    // Page 1 at full size: 21 rows (one given up to the comment) in two columns, less the cells
    // under the object.
    EXPECT_LT(FirstLineOfPosition(label_, 2), 42);
    EXPECT_GT(FirstLineOfPosition(label_, 2), 30);
}

TEST_F(FileListTest, RowLinesContinueInFreeCellsAfterTheListEnds) {
    addFiles(3);
    label_.lined = 1;
    draw(1, 2);
    const auto lines = ofKind(DrawRecord::Kind::Line);
    const long rowLines = std::count_if(lines.begin(), lines.end(), [](const DrawRecord& r) {
        return r.logicalPoint.y == r.logicalPoint2.y;
    });
    EXPECT_EQ(rowLines, 46);
    // Separators: column 1 only, one per row.
    const long separators = std::count_if(lines.begin(), lines.end(), [](const DrawRecord& r) {
        return r.logicalPoint.x == 204 && r.logicalPoint2.x == 204;
    });
    EXPECT_EQ(separators, 23);
    EXPECT_EQ(drawnTexts().size(), 6u); // three names, three sizes

    records_.clear();
    label_.lined = 0;
    draw(1, 2);
    const auto unlined = ofKind(DrawRecord::Kind::Line);
    EXPECT_TRUE(std::all_of(unlined.begin(), unlined.end(), [](const DrawRecord& r) {
        return r.logicalPoint.x == r.logicalPoint2.x;
    }));
}

TEST_F(FileListTest, NoColumnsDrawsNothingNotEvenTheComment) {
    addFiles(5);
    label_.showComment = 1;
    std::strcpy(label_.comment, "comment");
    draw(1, 0);
    EXPECT_TRUE(records_.empty());
    EXPECT_EQ(CountFreeCells(label_, body(1), 1.0, 0, 1), 0);
}

TEST_F(FileListTest, BodyTooShortForOneRowStillPlacesTheComment) {
    addFiles(5);
    label_.showComment = 1;
    std::strcpy(label_.comment, "note");
    const RECT shortBody{26, -6, 382, -36}; // 30 high: 25 + P/2 = 32.5 would be needed
    EXPECT_EQ(CountFreeCells(label_, shortBody, 1.0, 2, 1), 0);
    DrawFileList(label_, *dc_, shortBody, 1.0, 0, 2, 1);
    EXPECT_TRUE(ofKind(DrawRecord::Kind::Line).empty());
    ASSERT_EQ(drawnTexts(), std::vector<std::string>{"note"});
    // Comment rectangle: left Rl + 2, top trunc(Rt - 20s) - 2, right Rr - 2, bottom Rb + 2,
    // recorded as the clip rectangle grown by 2.
    EXPECT_EQ(ofKind(DrawRecord::Kind::Text)[0].logicalRect, (RECT{26, -26, 382, -36}));
}

TEST_F(FileListTest, CommentSitsBelowTheLastRowExpanded) {
    addFiles(2);
    label_.showComment = 1;
    std::strcpy(label_.comment, "%files% files");
    label_.fileCount = 2;
    label_.commentColor = RGB(0, 0, 200);
    draw(1, 2);
    const auto texts = ofKind(DrawRecord::Kind::Text);
    ASSERT_FALSE(texts.empty());
    const DrawRecord& comment = texts.back();
    EXPECT_EQ(comment.text, "2 files");
    EXPECT_EQ(comment.color, RGB(0, 0, 200));
    // Yend = -6 - 25 - 22 x 15 = -361; top trunc(-361 + 5) - 2 = -358 (+2 grown = -356).
    EXPECT_EQ(comment.logicalRect, (RECT{26, -356, 382, -375}));
}

TEST_F(FileListTest, TreeLinesOfADepthThreeEntry) {
    // D0 (not last) > D1 (not last) > D2 (last) > leaf (last).
    label_.entries.push_back(
        folderEntry("D0", {folderEntry("D1", {folderEntry("D2", {fileEntry("leaf", 1, "1")})}),
                           fileEntry("Y")}));
    label_.entries.push_back(fileEntry("Z"));
    ASSERT_EQ(BuildDisplayLines(label_), 6);
    EXPECT_EQ(label_.lineDepths[3], -3);
    EXPECT_EQ(label_.lineTreeMasks[3], 3u);
    EXPECT_EQ(label_.lineDepths[1], 1);
    EXPECT_EQ(label_.lineDepths[5], 0); // last at depth 0 stays 0

    label_.showSize = 0;
    draw(1, 1);
    FileListGrid grid(label_, body(1), 1.0, 1, 1);
    const RECT cell = grid.cell(0, 3);
    const int middle = (cell.top + cell.bottom) / 2;
    std::vector<DrawRecord> grey;
    for (const DrawRecord& r : ofKind(DrawRecord::Kind::Line)) {
        if (r.color == RGB(127, 127, 127) && r.logicalPoint.y <= cell.top &&
            r.logicalPoint.y >= middle) {
            grey.push_back(r);
        }
    }
    // One vertical at the first step (x + 3), none at the second, then the elbow at x + 25.
    ASSERT_EQ(grey.size(), 3u);
    EXPECT_EQ(grey[0].logicalPoint, (POINT{cell.left + 3, cell.top - 3}));
    EXPECT_EQ(grey[0].logicalPoint2, (POINT{cell.left + 3, cell.bottom - 1}));
    EXPECT_EQ(grey[1].logicalPoint, (POINT{cell.left + 25, cell.top - 3}));
    EXPECT_EQ(grey[1].logicalPoint2, (POINT{cell.left + 25, middle}));
    EXPECT_EQ(grey[2].logicalPoint2, (POINT{cell.left + 32, middle}));
    // The name starts 33 units in.
    const auto texts = ofKind(DrawRecord::Kind::Text);
    auto leaf = std::find_if(texts.begin(), texts.end(),
                             [](const DrawRecord& r) { return r.text == "leaf"; });
    ASSERT_NE(leaf, texts.end());
    EXPECT_EQ(leaf->logicalPoint.x, cell.left + 33);
}

TEST_F(FileListTest, StylesOfFoldersAndExtensions) {
    label_.entries.push_back(fileEntry("Unread", 0, "[dir]"));
    label_.entries.push_back(folderEntry("Read", {}));
    label_.entries.push_back(fileEntry("plain.doc", 5, "5"));
    label_.entries.push_back(fileEntry("notes.TXT", 5, "5"));
    ExtensionStyle txt;
    std::strcpy(txt.extension, "TXT");
    txt.color = RGB(255, 0, 0);
    txt.font = label_.fileFont;
    txt.font.lfItalic = 1;
    label_.extStyles.push_back(txt);
    label_.folderColor = RGB(0, 0, 255);
    label_.layoutValid = 0;
    draw(1, 2);

    auto find = [&](const char* text) {
        for (const DrawRecord& r : ofKind(DrawRecord::Kind::Text)) {
            if (r.text == text) {
                return r;
            }
        }
        ADD_FAILURE() << text << " not drawn";
        return DrawRecord{};
    };
    EXPECT_EQ(find("Unread").font.lfWeight, 700);
    EXPECT_EQ(find("Unread").color, RGB(0, 0, 255));
    EXPECT_EQ(find("Read").color, RGB(0, 0, 255));
    EXPECT_EQ(find("plain.doc").color, RGB(0, 0, 0));
    EXPECT_EQ(find("plain.doc").font.lfWeight, 0);
    EXPECT_EQ(find("notes.TXT").color, RGB(255, 0, 0));
    EXPECT_EQ(find("notes.TXT").font.lfItalic, 1);
}

TEST_F(FileListTest, SizesAreRightAlignedAndExtensionsCanBeHidden) {
    label_.entries.push_back(fileEntry("report.doc", 2048, "2K"));
    label_.showExt = 0;
    label_.layoutValid = 0;
    draw(1, 2);
    const auto texts = ofKind(DrawRecord::Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "report");
    EXPECT_EQ(texts[1].text, "2K");
    const RECT cell = FileListGrid(label_, body(1), 1.0, 2, 1).cell(0, 0);
    SIZE width{};
    dc_->SelectObject(gdi::CreateFontIndirect(texts[1].font));
    MeasureText(*dc_, "2K", -1, 0, &width);
    EXPECT_EQ(texts[1].logicalPoint.x, cell.right - width.cx);
    EXPECT_EQ(texts[0].logicalPoint.x, cell.left);
    // Both sit on the cell's bottom.
    EXPECT_EQ(texts[0].logicalPoint.y, texts[1].logicalPoint.y);
}

} // namespace
} // namespace pelmora

namespace pelmora {
namespace {

// The counts agree with what the painter puts on the faces: in every format, a label whose
// catalog fits places every line, and one that does not places exactly the lines drawn on its
// pages (an object above the label and the comment row take their cells) and leaves the rest
// out.
TEST_F(FileListTest, PlacedAndLeftOutCountsMatchTheLinesDrawnInEveryFormat) {
    PlacedObject blocker;
    blocker.kind = OBJECT_STRING;
    blocker.layer = 1;
    blocker.page = 1;
    blocker.left = 20;
    blocker.top = -200;
    blocker.right = 150;
    blocker.bottom = -360;
    label_.objects.push_back(blocker);
    label_.showComment = 1;
    label_.showSize = 0;
    label_.columns = 2;

    for (const LabelFormat format :
         {ONE_LABEL, QUAD_LABEL, TWO_FOLD_AROUND, TWO_FOLD_OUT, FOUR_LABELS}) {
        theView.format = format;
        for (const int files : {12, 400}) {
            label_.entries.clear();
            addFiles(files);
            int drawn = 0;
            for (int position = 1; position <= pagesPerLabel(format); ++position) {
                records_.clear();
                PlaceFace(1, position, 0, label_);
                draw(position, 2);
                for (const std::string& text : drawnTexts()) {
                    drawn += text.ends_with(".txt") ? 1 : 0;
                }
            }
            const ListFit fit = MeasureListFit(label_);
            EXPECT_EQ(fit.lines, files) << format;
            EXPECT_EQ(fit.placed, drawn) << format << ", " << files << " files";
            EXPECT_EQ(fit.leftOut(), files - drawn) << format << ", " << files << " files";
            if (files == 12) {
                EXPECT_EQ(fit.leftOut(), 0) << format;
            } else {
                EXPECT_GT(fit.leftOut(), 0) << format;
            }
        }
    }
    EXPECT_EQ(LeftOutText(ListFit{10100, 198}),
              "198 of 10,100 lines fit on the label; 9,902 are left out");

    // Without a file list nothing is placed and nothing counts as left out.
    label_.columns = 0;
    EXPECT_EQ(MeasureListFit(label_).leftOut(), 0);
}

} // namespace
} // namespace pelmora
