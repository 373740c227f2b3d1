// The command dispatcher driven as the user drives it: commands by id, keys sent to the main
// window, and every modal question answered through the dialog layer.

#include "catalog/records.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/ui/dialogs.h"
#include "render/printer.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"
#include "storage/label_file.h"
#include "storage/template_file.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pelmora {
namespace {

constexpr char kDrive = 'Q';

FileEntry fileEntry(const char* name, std::uint64_t size) {
    FileEntry entry;
    std::strcpy(entry.name, name);
    entry.size = size;
    return entry;
}

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* windir = std::getenv("PELMORA_WINDIR")) {
            previousWindir_ = windir;
        }
        ::setenv("PELMORA_WINDIR", settingsDir_.path().c_str(), 1);
        previousAnswerer_ = ui::setDialogAnswerer(
            [this](const ui::ModalRequest& request) { return answer(request); });
        previousIC_ = setPrinterICFactory([](const PrinterIdentity&) {
            return gdi::createInformationContext(gdi::displayCaps());
        });
        previousOpener_ = setUrlOpener([this](const std::string& url) {
            openedUrls_.push_back(url);
            return true;
        });
        previousObserver_ = setCommandObserver([this](int id) { commands_.push_back(id); });

        app_ = std::make_unique<App>();
        window_ = std::make_unique<MainWindow>(*app_);
        settle(); // the start-up step, and the drive question of a first run (cancelled)

        app_->catalog.driveLetter = kDrive;
        app_->catalog.useTemplateFiles = 0;
        app_->settings.hiddenHints.fill(0);
        app_->settings.recentFiles = {};
        app_->view.format = ONE_LABEL;
        app_->view.zoomed = 1;
        app_->view.position = 1;
        app_->labels.currentLabelIndex = 0;
        requests_.clear();
        commands_.clear();
        messages_.clear();
    }

    void TearDown() override {
        window_.reset();
        app_.reset();
        setCommandObserver(previousObserver_);
        setUrlOpener(previousOpener_);
        setPrinterICFactory(previousIC_);
        ui::setDialogAnswerer(previousAnswerer_);
        if (previousWindir_) {
            ::setenv("PELMORA_WINDIR", previousWindir_->c_str(), 1);
        } else {
            ::unsetenv("PELMORA_WINDIR");
        }
    }

    // Every request is recorded; dialogs are answered from the queue, else cancelled.
    std::optional<ui::ModalAnswer> answer(const ui::ModalRequest& request) {
        Seen seen{request.kind,      request.title,       request.filter,
                  request.directory, request.initialName, ""};
        if (request.dialog != nullptr) {
            seen.title = request.dialog->windowTitle().toStdString();
            if (auto* text = request.dialog->findChild<QLabel*>("hintMessage")) {
                seen.text = text->text().toStdString();
            }
        }
        requests_.push_back(seen);
        if (queued_.empty()) {
            return ui::ModalAnswer{
                request.kind == ui::ModalKind::Message ? int{IDOK} : 0, "", 0, {}};
        }
        Queued next = queued_.front();
        queued_.pop_front();
        if (next.silenceHint && request.dialog != nullptr) {
            request.dialog->findChild<QCheckBox*>("hintSilence")->setChecked(true);
        }
        return ui::ModalAnswer{next.result, next.path, 0, {}};
    }

    void queueDialog(bool accept, bool silenceHint = false) {
        queued_.push_back(
            {accept ? int{QDialog::Accepted} : int{QDialog::Rejected}, "", silenceHint});
    }
    void queueFile(const std::string& path) { queued_.push_back({1, path, false}); }

    // Runs what was posted.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    bool dispatch(int id) {
        const bool known = DispatchCommand(*app_, *window_, id);
        settle();
        return known;
    }

    // Without running the paint that follows, so that what the command left for the painter
    // can be seen.
    bool dispatchBeforePaint(int id) { return DispatchCommand(*app_, *window_, id); }

    void typeCharacter(char c) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(window_.get(), &press);
        settle();
    }

    void pressKey(Qt::Key key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(window_.get(), &press);
        settle();
    }

    bool ran(int id) const { return std::count(commands_.begin(), commands_.end(), id) > 0; }

    VAROINFO& current() { return app_->currentLabel(); }

    // A disk with three files and a folder.
    void mapFilledDisk() {
        disk_.writeFile("BETA.TXT", 300);
        disk_.writeFile("ALPHA.DOC", 100);
        disk_.writeFile("SUB/GAMMA.BIN", 200);
        drive_.reset(); // the old mapping's end would otherwise unmap the new one
        drive_ = std::make_unique<test::DriveMapping>(kDrive, disk_.path());
    }
    void mapEmptyDisk() {
        drive_.reset();
        drive_ = std::make_unique<test::DriveMapping>(kDrive, emptyDisk_.path());
    }

    // Two files and a folder of two files, in no order, with sizes that order differently.
    void fillCatalog() {
        VAROINFO& label = current();
        label.entries.push_back(fileEntry("b.TXT", 30));
        label.entries.push_back(fileEntry("a.DOC", 10));
        FileEntry folder = fileEntry("c", 0);
        folder.hasChild = 1;
        folder.child = std::make_unique<VAROINFO>();
        folder.child->entries.push_back(fileEntry("z.TXT", 1));
        folder.child->entries.push_back(fileEntry("y.TXT", 5));
        label.entries.push_back(folder);
        label.layoutValid = 1;
    }

    void addObject(int kind) {
        PlacedObject object;
        object.kind = kind;
        object.left = 10;
        object.top = -10;
        object.right = 60;
        object.bottom = -40;
        current().objects.insert(current().objects.begin(), object);
        app_->shell.selectedKind = kind;
    }

    struct Seen {
        ui::ModalKind kind;
        std::string title;
        std::string filter;
        std::string directory;
        std::string initialName;
        std::string text;
    };
    struct Queued {
        int result;
        std::string path;
        bool silenceHint;
    };

    test::TempDir settingsDir_;
    test::TempDir disk_;
    test::TempDir emptyDisk_;
    test::TempDir files_;
    test::MessageRecorder messages_;
    std::unique_ptr<test::DriveMapping> drive_;
    std::unique_ptr<App> app_;
    std::unique_ptr<MainWindow> window_;
    std::vector<Seen> requests_;
    std::deque<Queued> queued_;
    std::vector<int> commands_;
    std::vector<std::string> openedUrls_;

    std::optional<std::string> previousWindir_;
    ui::DialogAnswerer previousAnswerer_;
    PrinterICFactory previousIC_;
    UrlOpener previousOpener_;
    CommandObserver previousObserver_;
};

TEST(CommandTableTest, EveryProgramCommandHasAHandlerAndNothingElseDoes) {
    for (int id = kFirstCommandId - 5; id <= kLastExtraCommandId + 5; ++id) {
        const bool expected = isCommandId(id) && id != CMD_STARTUP;
        EXPECT_EQ(commandHandler(id) != nullptr, expected) << id;
    }
}

TEST_F(DispatchTest, UnknownIdsAreRefusedAndChangeNothing) {
    current().columns = 3;
    for (int id : {0, 40002, 40309, -1}) {
        EXPECT_FALSE(dispatch(id)) << id;
    }
    EXPECT_EQ(current().columns, 3);
    EXPECT_TRUE(dispatch(CMD_MORE_COLUMNS));
}

TEST_F(DispatchTest, DigitKeys) {
    mapFilledDisk();
    struct Case {
        LabelFormat format;
        int currentIndex;
        char key;
        int expectedIndex;
        bool reads;
    };
    const Case cases[] = {
        {ONE_LABEL, 0, '1', 0, true},     // label 0 is current: read it
        {ONE_LABEL, 0, '2', 0, false},    // no second label
        {FOUR_LABELS, 2, '3', 2, true},   // the current label's digit reads
        {FOUR_LABELS, 0, '4', 3, false},  // another label's digit switches
        {TWO_FOLD_OUT, 0, '3', 0, false}, // two labels only
        {TWO_FOLD_OUT, 0, '2', 1, false},
    };
    for (const Case& c : cases) {
        for (VAROINFO& label : app_->labels.labels) {
            clearLabel(label);
        }
        app_->view.format = c.format;
        app_->labels.currentLabelIndex = c.currentIndex;
        commands_.clear();
        typeCharacter(c.key);
        EXPECT_EQ(app_->labels.currentLabelIndex, c.expectedIndex) << c.key << " " << c.format;
        EXPECT_EQ(ran(CMD_READ_DISK), c.reads) << c.key << " " << c.format;
        EXPECT_EQ(current().entries.empty(), !c.reads) << c.key << " " << c.format;
    }
}

TEST_F(DispatchTest, SpineKeysPickTheirLabelAndEditItsSpine) {
    struct Case {
        LabelFormat format;
        char key;
        int expectedIndex; // -1: the key does nothing
    };
    const Case cases[] = {
        {ONE_LABEL, '!', 0},       {ONE_LABEL, '@', -1},       {QUAD_LABEL, '@', 0},
        {TWO_FOLD_AROUND, '@', 1}, {TWO_FOLD_AROUND, '#', -1}, {FOUR_LABELS, '#', 2},
        {FOUR_LABELS, '$', 3},     {FOUR_LABELS, '!', 0},
    };
    for (const Case& c : cases) {
        app_->view.format = c.format;
        app_->labels.currentLabelIndex = c.format == FOUR_LABELS ? 1 : 0;
        const int before = app_->labels.currentLabelIndex;
        commands_.clear();
        typeCharacter(c.key);
        if (c.expectedIndex < 0) {
            EXPECT_FALSE(ran(CMD_EDIT_SPINE_TEXT)) << c.key << " " << c.format;
            EXPECT_EQ(app_->labels.currentLabelIndex, before);
        } else {
            EXPECT_TRUE(ran(CMD_EDIT_SPINE_TEXT)) << c.key << " " << c.format;
            EXPECT_EQ(app_->labels.currentLabelIndex, c.expectedIndex) << c.key << " " << c.format;
            EXPECT_EQ(app_->view.position, 1);
        }
    }
}

TEST_F(DispatchTest, EnterEditsAStringIgnoresAnImageAndOtherwiseReadsTheDisk) {
    mapFilledDisk();
    struct Case {
        int selected;
        bool editsText;
        bool reads;
    };
    for (const Case& c : {Case{SELECTED_STRING, true, false}, Case{SELECTED_IMAGE, false, false},
                          Case{SELECTED_NONE, false, true}}) {
        clearLabel(current());
        if (c.selected != SELECTED_NONE) {
            addObject(c.selected);
        }
        app_->shell.selectedKind = c.selected;
        commands_.clear();
        pressKey(Qt::Key_Return);
        EXPECT_TRUE(ran(CMD_ENTER)) << c.selected;
        EXPECT_EQ(ran(CMD_MODIFY_TEXT), c.editsText) << c.selected;
        EXPECT_EQ(ran(CMD_READ_DISK), c.reads) << c.selected;
        EXPECT_EQ(current().entries.empty(), !c.reads) << c.selected;
    }
}

TEST_F(DispatchTest, PlusAndMinusStopAtFiveAndNoColumns) {
    struct Case {
        std::int32_t before;
        Qt::Key key;
        const char* text;
        std::int32_t after;
    };
    const Case cases[] = {
        {5, Qt::Key_Plus, "+", 5},
        {4, Qt::Key_Plus, "+", 5},
        {0, Qt::Key_Minus, "-", 0},
        {1, Qt::Key_Minus, "-", 0},
    };
    for (const Case& c : cases) {
        current().columns = c.before;
        pressKey(c.key, c.text);
        EXPECT_EQ(current().columns, c.after) << c.text << " from " << c.before;
    }
}

TEST_F(DispatchTest, FormatsSetTheViewAndMarkTheLayoutStale) {
    struct Case {
        int id;
        LabelFormat format;
        int index;  // current label afterwards, starting from label 2 of the overview
        int zoomed; // afterwards
    };
    const Case cases[] = {
        {CMD_FORMAT_ONE, ONE_LABEL, 0, 1},
        {CMD_FORMAT_QUAD, QUAD_LABEL, 0, 0},
        {CMD_FORMAT_TWO_FOLD_OUT, TWO_FOLD_OUT, 0, 0},
        {CMD_FORMAT_TWO_FOLD_AROUND, TWO_FOLD_AROUND, 0, 0},
        {CMD_FORMAT_FOUR, FOUR_LABELS, 2, 0}, // "&Four" leaves the current label alone
    };
    for (const Case& c : cases) {
        app_->view.format = FOUR_LABELS;
        app_->view.zoomed = 0;
        app_->view.position = 1;
        app_->labels.currentLabelIndex = 2;
        for (VAROINFO& label : app_->labels.labels) {
            label.layoutValid = 1;
        }
        EXPECT_TRUE(dispatchBeforePaint(c.id));
        EXPECT_EQ(app_->view.format, c.format) << c.id;
        EXPECT_EQ(app_->labels.currentLabelIndex, c.index) << c.id;
        EXPECT_EQ(app_->view.zoomed, c.zoomed) << c.id;
        EXPECT_EQ(app_->view.position, 1) << c.id;
        for (const VAROINFO& label : app_->labels.labels) {
            EXPECT_EQ(label.layoutValid, 0) << c.id;
        }
    }
}

TEST_F(DispatchTest, ColumnsAndDisplayTogglesChangeTheCurrentLabelOnly) {
    app_->view.format = FOUR_LABELS;
    app_->labels.currentLabelIndex = 1;
    struct Case {
        int id;
        std::int32_t VAROINFO::*field;
        std::int32_t before;
        std::int32_t after;
    };
    const Case cases[] = {
        {CMD_COLUMNS_NONE, &VAROINFO::columns, 2, 0},
        {CMD_COLUMNS_1, &VAROINFO::columns, 2, 1},
        {CMD_COLUMNS_4, &VAROINFO::columns, 2, 4},
        {CMD_COLUMNS_5, &VAROINFO::columns, 2, 5},
        {CMD_SHOW_SIZES, &VAROINFO::showSize, 1, 0},
        {CMD_SHOW_SIZES, &VAROINFO::showSize, 0, 1},
        {CMD_SHOW_EXTENSIONS, &VAROINFO::showExt, 1, 0},
        {CMD_SHOW_COMMENT, &VAROINFO::showComment, 1, 0},
        {CMD_LINED, &VAROINFO::lined, 1, 0},
        {CMD_LINED, &VAROINFO::lined, 0, 1},
    };
    for (const Case& c : cases) {
        for (VAROINFO& label : app_->labels.labels) {
            label.*c.field = c.before;
            label.layoutValid = 1;
        }
        dispatchBeforePaint(c.id);
        EXPECT_EQ(current().*c.field, c.after) << c.id;
        EXPECT_EQ(current().layoutValid, 0) << c.id;
        EXPECT_EQ(app_->labels.labels[0].*c.field, c.before) << c.id << " touched another label";
    }
}

TEST_F(DispatchTest, SortingResortsTheTreeWithTheNewKeys) {
    fillCatalog();
    struct Case {
        int id;
        std::vector<std::string> top;
        std::vector<std::string> inFolder;
    };
    const Case cases[] = {
        {CMD_SORT_NAME, {"a.DOC", "b.TXT", "c"}, {"y.TXT", "z.TXT"}},
        {CMD_SORT_DESCENDING, {"c", "b.TXT", "a.DOC"}, {"z.TXT", "y.TXT"}},
        {CMD_SORT_SIZE, {"b.TXT", "a.DOC", "c"}, {"y.TXT", "z.TXT"}},
        {CMD_SORT_ASCENDING, {"c", "a.DOC", "b.TXT"}, {"z.TXT", "y.TXT"}},
        {CMD_SORT_EXTENSION, {"c", "a.DOC", "b.TXT"}, {"y.TXT", "z.TXT"}},
    };
    for (const Case& c : cases) {
        current().layoutValid = 1;
        dispatchBeforePaint(c.id);
        std::vector<std::string> top;
        for (const FileEntry& entry : current().entries) {
            top.emplace_back(entry.name);
        }
        const VAROINFO* folder = nullptr;
        for (const FileEntry& entry : current().entries) {
            if (entry.child) {
                folder = entry.child.get();
            }
        }
        ASSERT_NE(folder, nullptr);
        std::vector<std::string> inFolder;
        for (const FileEntry& entry : folder->entries) {
            inFolder.emplace_back(entry.name);
        }
        EXPECT_EQ(top, c.top) << c.id;
        EXPECT_EQ(inFolder, c.inFolder) << c.id;
        EXPECT_EQ(folder->sortMode, current().sortMode) << c.id;
        EXPECT_EQ(folder->direction, current().direction) << c.id;
        EXPECT_EQ(current().layoutValid, 0) << c.id;
    }
}

TEST_F(DispatchTest, ReadDiskFillsTheLabelSortedAndWarnsOnAnEmptyDisk) {
    mapFilledDisk();
    dispatch(CMD_READ_DISK);
    ASSERT_EQ(current().entries.size(), 3u);
    EXPECT_STREQ(current().entries[0].name, "Alpha.Doc") << "sorted, upper-case names folded";
    EXPECT_TRUE(messages_.messages().empty());

    mapEmptyDisk();
    dispatch(CMD_READ_DISK);
    EXPECT_TRUE(current().entries.empty());
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(messages_.messages()[0].caption, "Disk Warning");
    EXPECT_EQ(messages_.messages()[0].text, "Warning:  No files found on disk \"Q:\\\"");
    EXPECT_EQ(messages_.messages()[0].flags & MB_ICONERROR, unsigned{MB_ICONERROR});
}

TEST_F(DispatchTest, SaveAsThenOpenRoundTripsTheLabel) {
    fillCatalog();
    std::strcpy(current().volumeName, "BACKUP 7");
    current().columns = 4;

    queueFile(files_.file("backup"));
    dispatch(CMD_SAVE_AS);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].kind, ui::ModalKind::SaveFile);
    EXPECT_EQ(requests_[0].title, "Save Pelmora Body...");
    EXPECT_NE(requests_[0].filter.find("*.PMB"), std::string::npos);
    EXPECT_EQ(requests_[0].initialName, "default");
    const std::string saved = files_.file("backup.PMB");
    EXPECT_FALSE(test::readFile(saved).empty());
    EXPECT_EQ(app_->document().documentName, "backup");
    EXPECT_EQ(app_->settings.recentFiles[0], saved);
    EXPECT_NE(window_->windowTitle().toStdString().find("backup - Pelmora"), std::string::npos);

    // Save now rewrites the file without asking.
    current().columns = 3;
    dispatch(CMD_SAVE);
    EXPECT_EQ(requests_.size(), 1u);

    dispatch(CMD_NEW);
    EXPECT_TRUE(current().entries.empty());

    queueFile(saved);
    dispatch(CMD_OPEN);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, ui::ModalKind::OpenFile);
    EXPECT_EQ(requests_[1].title, "Load Pelmora Body...");
    EXPECT_EQ(requests_[1].directory, files_.path() + "/");
    ASSERT_EQ(current().entries.size(), 3u);
    EXPECT_STREQ(current().volumeName, "BACKUP 7");
    EXPECT_EQ(current().columns, 3);
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(DispatchTest, CancelledFileDialogsChangeNothing) {
    fillCatalog();
    dispatch(CMD_SAVE); // no file yet: asks like Save As, and is cancelled
    dispatch(CMD_OPEN);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[0].kind, ui::ModalKind::SaveFile);
    EXPECT_EQ(requests_[1].kind, ui::ModalKind::OpenFile);
    EXPECT_EQ(current().entries.size(), 3u);
    EXPECT_EQ(app_->document().documentName, "default");
}

TEST_F(DispatchTest, RecentFileLoadsAndAnEmptyEntryDoesNothing) {
    fillCatalog();
    const std::string path = files_.file("recent.PMB");
    ASSERT_TRUE(saveLabelFile(path, current()));
    clearLabel(current());
    app_->settings.recentFiles[1] = path;

    dispatch(CMD_RECENT_1); // empty entry
    EXPECT_TRUE(current().entries.empty());
    dispatch(CMD_RECENT_2);
    EXPECT_EQ(current().entries.size(), 3u);
    EXPECT_EQ(app_->document().documentName, "recent") << "named as Open names it";
    EXPECT_EQ(app_->settings.recentFiles[0], path);
}

TEST_F(DispatchTest, ResetToDefaultsResetsAllFourLabels) {
    app_->catalog.scanLevels = -3;
    for (VAROINFO& label : app_->labels.labels) {
        label.columns = 5;
        label.sortMode = 3;
        label.showLogo = 0;
        label.fileFont.lfHeight = -40;
        label.fileFontHeight = 0;
        label.extStyles.push_back(ExtensionStyle{});
    }
    fillCatalog();
    dispatch(CMD_RESET_DEFAULTS);
    EXPECT_EQ(app_->catalog.scanLevels, 1);
    for (const VAROINFO& label : app_->labels.labels) {
        EXPECT_EQ(label.columns, 2);
        EXPECT_EQ(label.sortMode, 1);
        EXPECT_EQ(label.showLogo, 1);
        EXPECT_TRUE(label.extStyles.empty());
        EXPECT_NE(label.fileFont.lfHeight, -40);
        EXPECT_GT(label.fileFontHeight, 0) << "line heights measured again";
    }
    EXPECT_STREQ(current().entries[0].name, "a.DOC") << "sorted by name again";
}

TEST_F(DispatchTest, DuplicateFormatCopiesTheStyleOntoAllFourLabels) {
    app_->view.format = FOUR_LABELS;
    app_->labels.currentLabelIndex = 2;
    VAROINFO& source = current();
    source.columns = 4;
    source.showSize = 0;
    source.spineAlign = 2;
    source.fileColor = 0x0000FF;
    ExtensionStyle style;
    std::strcpy(style.extension, "TXT");
    style.color = 0x00FF00;
    source.extStyles.push_back(style);
    std::strcpy(app_->labels.labels[0].volumeName, "OWN NAME");
    app_->labels.labels[0].entries.push_back(fileEntry("KEEP.ME", 1));

    dispatch(CMD_DUPLICATE_FORMAT);
    for (const VAROINFO& label : app_->labels.labels) {
        EXPECT_EQ(label.columns, 4);
        EXPECT_EQ(label.showSize, 0);
        EXPECT_EQ(label.spineAlign, 2);
        EXPECT_EQ(label.fileColor, 0x0000FFu);
        ASSERT_EQ(label.extStyles.size(), 1u);
        EXPECT_STREQ(label.extStyles[0].extension, "TXT");
    }
    EXPECT_STREQ(app_->labels.labels[0].volumeName, "OWN NAME") << "the catalog is not format";
    EXPECT_EQ(app_->labels.labels[0].entries.size(), 1u);
}

TEST_F(DispatchTest, TemplateWrittenToTheDiskIsReadBackAndUsedByReadDisk) {
    mapFilledDisk();
    current().columns = 4;
    current().showSize = 0;
    dispatch(CMD_WRITE_TEMPLATE);
    EXPECT_FALSE(test::readFile(disk_.file("Pelmora.PMT")).empty());

    current().columns = 1;
    current().showSize = 1;
    dispatch(CMD_READ_TEMPLATE);
    EXPECT_EQ(current().columns, 4);
    EXPECT_EQ(current().showSize, 0);

    // With template files in use, reading the disk applies it after the scan.
    current().columns = 1;
    dispatch(CMD_USE_TEMPLATE_FILES);
    EXPECT_EQ(app_->catalog.useTemplateFiles, 1);
    dispatch(CMD_READ_DISK);
    EXPECT_EQ(current().columns, 4);
    EXPECT_FALSE(current().entries.empty());
}

// A template carries the label's design: after a scan the label keeps the scan's counts,
// space, dates and volume name, not those of the day the template was written.
TEST_F(DispatchTest, ATemplateAppliedAfterAScanKeepsTheScansFigures) {
    mapFilledDisk();
    dispatch(CMD_READ_DISK);
    const std::int64_t freshFree = current().spaceFree;
    const std::string freshDate = current().shortDate;
    current().columns = 4;
    current().fileCount = 688;
    current().folderCount = 92;
    current().spaceFree = 12345;
    current().spaceUsed = 678;
    current().spaceTotal = 13023;
    std::strcpy(current().shortDate, "01/02/90");
    std::strcpy(current().longDate, "Tuesday, January 2, 1990");
    std::strcpy(current().volumeName, "OLD DISK");
    dispatch(CMD_WRITE_TEMPLATE);

    disk_.writeFile("DELTA.TXT", 10);
    disk_.writeFile("MORE/EPSILON.TXT", 20);
    current().columns = 1;
    dispatch(CMD_USE_TEMPLATE_FILES);
    dispatch(CMD_READ_DISK);
    EXPECT_EQ(current().columns, 4) << "the design comes from the template";
    EXPECT_EQ(current().fileCount, 5);
    EXPECT_EQ(current().folderCount, 2);
    EXPECT_NE(current().spaceTotal, 13023);
    EXPECT_NE(current().spaceFree, 12345);
    EXPECT_GT(current().spaceFree, freshFree / 2);
    EXPECT_EQ(std::string(current().shortDate), freshDate);
    EXPECT_STRNE(current().longDate, "Tuesday, January 2, 1990");
    EXPECT_STRNE(current().volumeName, "OLD DISK");
    EXPECT_STRNE(current().volumeName, "");
}

// "-template PATH" (a template file opened from the desktop) applies that file, not the
// current drive's; one that cannot be read is named in a message.
TEST_F(DispatchTest, CommandLineTemplateAppliesTheNamedFile) {
    mapFilledDisk();
    current().columns = 2;
    dispatch(CMD_WRITE_TEMPLATE); // the drive's own template
    VAROINFO design;
    design.columns = 5;
    design.showSize = 0;
    std::strcpy(design.volumeName, "NAMED");
    const std::string path = files_.file("other.PMT");
    ASSERT_TRUE(writeTemplateFile(path, design));
    current().columns = 1;
    current().showSize = 1;
    const std::string documentPath = app_->document().currentFilePath;

    app_->shell.commandLine = "-template " + path;
    dispatch(CMD_CMDLINE_TEMPLATE);
    EXPECT_EQ(current().columns, 5);
    EXPECT_EQ(current().showSize, 0);
    EXPECT_STREQ(current().volumeName, "NAMED");
    EXPECT_EQ(app_->document().currentFilePath, documentPath) << "Save must not overwrite it";
    EXPECT_TRUE(messages_.messages().empty());

    current().columns = 3;
    const std::string missing = files_.file("missing.PMT");
    app_->shell.commandLine = "-template " + missing;
    dispatch(CMD_CMDLINE_TEMPLATE);
    EXPECT_TRUE(messages_.saw("Unable to load...", missing));
    EXPECT_EQ(current().columns, 3) << "nothing else applied, not even the drive's template";
}

TEST_F(DispatchTest, ExitClosesAtOnceWhenNothingWasEdited) {
    fillCatalog();
    ASSERT_TRUE(window_->isVisible());
    dispatch(CMD_EXIT);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(requests_.empty()) << "no command edited the label: no question";
}

TEST_F(DispatchTest, DirectoryInfoOffersARescan) {
    mapFilledDisk();
    struct Case {
        int id;
        std::int32_t mode;
        bool accept;
    };
    for (const Case& c : {Case{CMD_DIRINFO_KILOBYTES, 2, true}, Case{CMD_DIRINFO_FILES, 1, false},
                          Case{CMD_DIRINFO_NONE, 0, true}, Case{CMD_DIRINFO_NONE, 0, false}}) {
        clearLabel(current());
        requests_.clear();
        commands_.clear();
        queueDialog(c.accept);
        dispatch(c.id);
        EXPECT_EQ(app_->catalog.dirInfoMode, c.mode) << c.id;
        ASSERT_EQ(requests_.size(), 1u) << "asked also when the mode did not change";
        EXPECT_EQ(requests_[0].title, "Directory Scanning Warning");
        EXPECT_EQ(requests_[0].text,
                  "You need to re-scan the disk for this setting to take effect.");
        EXPECT_EQ(ran(CMD_READ_DISK), c.accept) << c.id;
        EXPECT_EQ(current().entries.empty(), !c.accept) << c.id;
    }
}

TEST_F(DispatchTest, ASilencedHintNeverAsksAgainUntilHintsAreShown) {
    mapFilledDisk();
    queueDialog(false, /*silenceHint=*/true);
    dispatch(CMD_DIRINFO_FILES);
    EXPECT_EQ(app_->settings.hiddenHints[kHintRescan], 1);

    requests_.clear();
    dispatch(CMD_LEVELS_3);
    dispatch(CMD_SCAN_DIRECTORIES_ONLY);
    EXPECT_TRUE(requests_.empty());
    EXPECT_FALSE(ran(CMD_READ_DISK));

    dispatch(CMD_SHOW_ALL_HINTS);
    queueDialog(true);
    dispatch(CMD_DIRINFO_NONE);
    EXPECT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(ran(CMD_READ_DISK));

    dispatch(CMD_HIDE_ALL_HINTS);
    for (std::int32_t hidden : app_->settings.hiddenHints) {
        EXPECT_EQ(hidden, 1);
    }
}

TEST_F(DispatchTest, DirectoryLevels) {
    struct Case {
        std::int32_t before;
        int id;
        std::int32_t after;
        bool asks;
    };
    const Case cases[] = {
        {2, CMD_LEVELS_2, 2, false}, // already set: not even the question
        {-2, CMD_LEVELS_2, -2, false},  {1, CMD_LEVELS_ALL, kAllLevels, true},
        {-1, CMD_LEVELS_4, -4, true}, // folders only stays on
        {-3, CMD_LEVELS_ROOT, 0, true},
    };
    for (const Case& c : cases) {
        app_->catalog.scanLevels = c.before;
        requests_.clear();
        dispatch(c.id);
        EXPECT_EQ(app_->catalog.scanLevels, c.after) << c.id << " from " << c.before;
        EXPECT_EQ(!requests_.empty(), c.asks) << c.id << " from " << c.before;
    }

    app_->catalog.scanLevels = 0; // Root: folders only has nothing to turn negative
    requests_.clear();
    dispatch(CMD_SCAN_DIRECTORIES_ONLY);
    EXPECT_EQ(app_->catalog.scanLevels, 0);
    EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(DispatchTest, ScanArchivesAsksOnlyWhenSwitchedOn) {
    app_->catalog.scanArchives = 0;
    dispatch(CMD_SCAN_ARCHIVES);
    EXPECT_EQ(app_->catalog.scanArchives, 1);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].title, "Archive Scanning Warning");
    EXPECT_EQ(requests_[0].text,
              "Scanning archives increases disk read time.\nWould you like to scan the disk now?");
    dispatch(CMD_SCAN_ARCHIVES);
    EXPECT_EQ(app_->catalog.scanArchives, 0);
    EXPECT_EQ(requests_.size(), 1u);
}

TEST_F(DispatchTest, SelectDriveTakesTheChosenLetterAndOffersAScan) {
    mapFilledDisk();
    app_->catalog.driveLetter = 'C';
    queueDialog(true); // the drive dialog, Q:\ picked below
    queueDialog(true); // "Scan Disk"
    ui::DialogAnswerer recording = ui::setDialogAnswerer({});
    ui::setDialogAnswerer([&](const ui::ModalRequest& request) {
        QComboBox* list = request.dialog != nullptr
                              ? request.dialog->findChild<QComboBox*>("driveList")
                              : nullptr;
        if (list != nullptr) {
            list->setCurrentIndex(list->findText("Q:\\", Qt::MatchStartsWith));
        }
        return recording(request);
    });
    dispatch(CMD_SELECT_DRIVE);
    ui::setDialogAnswerer(recording);
    EXPECT_EQ(app_->catalog.driveLetter, kDrive);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[0].title, "LS-120 Drive Selection");
    EXPECT_EQ(requests_[1].title, "Drive Modification Warning");
    EXPECT_TRUE(ran(CMD_READ_DISK));
    EXPECT_EQ(current().entries.size(), 3u);
}

TEST_F(DispatchTest, DeleteRemovesTheSelectedObjectOnly) {
    dispatch(CMD_DELETE_SELECTED); // nothing selected: nothing happens
    addObject(SELECTED_IMAGE);
    addObject(SELECTED_STRING);
    dispatch(CMD_DELETE_SELECTED);
    ASSERT_EQ(current().objects.size(), 1u);
    EXPECT_EQ(current().objects[0].kind, OBJECT_IMAGE);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_NONE);
    dispatch(CMD_DELETE_IMAGE); // selection is gone: the image stays
    EXPECT_EQ(current().objects.size(), 1u);
}

TEST_F(DispatchTest, LayerAndCentringMoveTheSelectedObject) {
    addObject(SELECTED_IMAGE);
    dispatch(CMD_LAYER_BELOW);
    EXPECT_EQ(current().objects[0].layer, LAYER_BELOW);
    dispatch(CMD_CENTER_HORIZONTALLY);
    dispatch(CMD_CENTER_VERTICALLY);
    const PlacedObject& object = current().objects[0];
    const VAROINFO& label = current();
    EXPECT_EQ(object.right - object.left, 50);
    EXPECT_EQ(object.top - object.bottom, 30);
    EXPECT_EQ(object.left, label.labelWidth / 2 - 25);
    // Front face, high in the band above the spine: centred in that band.
    EXPECT_EQ(object.top, (label.labelHeight + 68) / 2 + 15);
}

TEST_F(DispatchTest, HelpAndWebCommandsOpenTheirPages) {
    dispatch(CMD_HELP_CONTENTS);
    dispatch(CMD_HELP_SEARCH);
    dispatch(CMD_CHECK_NEW_VERSION);
    dispatch(CMD_WEB_SITE);
    ASSERT_EQ(openedUrls_.size(), 4u);
    EXPECT_EQ(openedUrls_[0].rfind("file://", 0), 0u);
    EXPECT_NE(openedUrls_[0].find("/help/index.html"), std::string::npos);
    EXPECT_NE(openedUrls_[1].find("/help/topics.html"), std::string::npos);
    EXPECT_EQ(openedUrls_[2], kUpdatePageUrl);
    EXPECT_NE(openedUrls_[2].find("/Pelmora/update410.html"), std::string::npos);
    EXPECT_EQ(openedUrls_[3], kWebSiteUrl);
}

// Without a browser (neither the desktop's opener nor a browser command starts) the web
// commands show the address instead of doing nothing.
TEST_F(DispatchTest, WithoutABrowserTheWebCommandsShowTheAddress) {
    setUrlOpener([this](const std::string& url) {
        openedUrls_.push_back(url);
        return false;
    });
    dispatch(CMD_CHECK_NEW_VERSION);
    dispatch(CMD_WEB_SITE);
    dispatch(CMD_HELP_CONTENTS);
    ASSERT_EQ(messages_.messages().size(), 3u);
    ASSERT_EQ(openedUrls_.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& message = messages_.messages()[i];
        EXPECT_EQ(message.caption, "Web Page");
        EXPECT_NE(message.text.find("\n" + openedUrls_[i]), std::string::npos) << message.text;
    }
    EXPECT_NE(messages_.messages()[0].text.find(kUpdatePageUrl), std::string::npos);
    EXPECT_NE(messages_.messages()[1].text.find(kWebSiteUrl), std::string::npos);
}

TEST_F(DispatchTest, CommandLineLabelLoadsOrSaysWhichFileFailed) {
    fillCatalog();
    const std::string path = files_.file("cmd.PMB");
    ASSERT_TRUE(saveLabelFile(path, current()));
    clearLabel(current());

    app_->shell.commandLine = "-label " + path;
    dispatch(CMD_CMDLINE_LABEL);
    EXPECT_EQ(current().entries.size(), 3u);
    EXPECT_EQ(app_->document().documentName, "default") << "a later Save asks for a name";

    app_->shell.commandLine = "-printlabel " + files_.file("missing.PMB");
    dispatch(CMD_CMDLINE_PRINT);
    EXPECT_TRUE(messages_.saw("Unable to load...", files_.file("missing.PMB")));
    EXPECT_FALSE(ran(CMD_EXIT));
    EXPECT_EQ(current().entries.size(), 3u);
}

// The help book in the source tree: every page the pages link to is there, and the contents
// page the Help command opens links to the topics.
TEST(HelpBookTest, EveryLinkedPageExists) {
    const std::string folder = std::string(PELMORA_SOURCE_DIR) + "/resources/help/";
    std::vector<std::string> pending = {"index.html"};
    std::vector<std::string> seen;
    while (!pending.empty()) {
        const std::string page = pending.back();
        pending.pop_back();
        if (std::find(seen.begin(), seen.end(), page) != seen.end()) {
            continue;
        }
        seen.push_back(page);
        std::ifstream in(folder + page);
        ASSERT_TRUE(in) << page;
        std::stringstream text;
        text << in.rdbuf();
        const std::string html = text.str();
        const std::regex link(R"re((?:href|src)="([^"#:]+)[^"]*")re");
        for (auto it = std::sregex_iterator(html.begin(), html.end(), link);
             it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1];
            std::ifstream linked(folder + target);
            EXPECT_TRUE(linked) << page << " links to missing " << target;
            if (linked && target.ends_with(".html")) {
                pending.push_back(target);
            }
        }
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), "topics.html"), seen.end());
    EXPECT_GE(seen.size(), 5u);
}

} // namespace
} // namespace pelmora
