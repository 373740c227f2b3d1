// Subdirectory Selection and the Files and Folders Editor, run through their menu commands
// with the dialogs worked by the test's answerer (keys on the list, button clicks, Change File
// fields).

#include "catalog/dialogs/change_file_dialog.h"
#include "catalog/dialogs/files_editor_dialog.h"
#include "catalog/dialogs/subdirectory_dialog.h"
#include "catalog/dialogs/tree_list.h"
#include "render/file_list.h"
#include "resources/command_ids.h"
#include "shell_fixture.h"
#include "storage/label_file.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {
namespace {

FileEntry file(const char* name, const char* sizeText, std::uint64_t size, int align = 0) {
    FileEntry entry;
    std::strcpy(entry.name, name);
    std::strcpy(entry.sizeText, sizeText);
    entry.size = size;
    entry.align = align;
    return entry;
}

FileEntry folder(const char* name, int open, std::vector<FileEntry> children) {
    FileEntry entry = file(name, "[dir]", 0);
    entry.hasChild = 1;
    entry.open = open;
    entry.child = std::make_unique<VAROINFO>();
    entry.child->entries = std::move(children);
    return entry;
}

std::vector<FileEntry> entries(std::initializer_list<FileEntry> list) {
    return std::vector<FileEntry>(list);
}

// README.TXT, DOCS (open: A.TXT, B.TXT, SUB (closed: C.TXT)), SRC (closed: MAIN.CPP, UTIL.H),
// EMPTY (a folder not read: "[dir]" without child).
std::vector<FileEntry> sampleTree() {
    const FileEntry readme = file("README.TXT", "1K", 1200);
    const FileEntry c = file("C.TXT", "10", 10);
    const FileEntry docs = folder("DOCS", 1,
                                  entries({file("A.TXT", "2K", 2048), file("B.TXT", "3K", 3072),
                                           folder("SUB", 0, entries({c}))}));
    const FileEntry src =
        folder("SRC", 0, entries({file("MAIN.CPP", "39K", 40000), file("UTIL.H", "300", 300)}));
    FileEntry empty = file("EMPTY", "[dir]", 0);
    return entries({readme, docs, src, empty});
}

// The lines a fresh fill of `root` would list, each as its name indented two blanks per depth.
std::vector<std::string> expectedLines(VAROINFO& root, TreeListKind kind, int depth = 0) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < root.entries.size(); ++i) {
        FileEntry& entry = root.entries[i];
        if (kind == TreeListKind::Folders && !(entry.hasChild && entry.child)) {
            continue;
        }
        out.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + entry.name);
        if (entry.child && entry.open) {
            for (std::string& line : expectedLines(*entry.child, kind, depth + 1)) {
                out.push_back(std::move(line));
            }
        }
    }
    return out;
}

std::vector<std::string> listedLines(const TreeList& list) {
    std::vector<std::string> out;
    for (const TreeLine& line : list.lines()) {
        EXPECT_GE(line.index, 0);
        EXPECT_LT(line.index, line.node->entryCount());
        out.push_back(std::string(static_cast<std::size_t>(line.depth) * 2, ' ') +
                      line.entry().name);
    }
    return out;
}

// The list shows exactly the tree (no line left over from an edit, none missing), and every
// line's node is reachable from the root (none points into a released subtree).
void expectListMatchesTree(const TreeList& list, VAROINFO& root) {
    std::vector<const VAROINFO*> nodes;
    std::function<void(const VAROINFO&)> collect = [&](const VAROINFO& node) {
        nodes.push_back(&node);
        for (const FileEntry& entry : node.entries) {
            if (entry.child) {
                collect(*entry.child);
            }
        }
    };
    collect(root);
    for (const TreeLine& line : list.lines()) {
        EXPECT_NE(std::find(nodes.begin(), nodes.end(), line.node), nodes.end());
    }
    EXPECT_EQ(listedLines(list), expectedLines(root, list.kind()));
}

std::vector<std::string> names(const VAROINFO& node) {
    std::vector<std::string> out;
    for (const FileEntry& entry : node.entries) {
        out.push_back(entry.name);
    }
    return out;
}

void expectAllOpen(const VAROINFO& node, int open) {
    for (const FileEntry& entry : node.entries) {
        EXPECT_EQ(entry.open, open) << entry.name;
        if (entry.child) {
            expectAllOpen(*entry.child, open);
        }
    }
}

using Strings = std::vector<std::string>;

class TreeDialogsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        setView(ONE_LABEL, 1);
        VAROINFO& label = app_->currentLabel();
        label.entries = sampleTree();
        std::strcpy(label.volumeName, "TREES");
        countEntries(label);
        label.layoutValid = 0;
        // Dialogs are worked by the handler registered for their object name; the others are
        // cancelled by the fixture.
        answer_ = [this](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
            if (request.kind != ui::ModalKind::Dialog || !request.dialog) {
                return std::nullopt;
            }
            const std::string name = request.dialog->objectName().toStdString();
            ++shown_[name];
            auto handler = handlers_.find(name);
            if (handler == handlers_.end()) {
                return std::nullopt;
            }
            ui::ModalAnswer answer;
            answer.result = handler->second(*request.dialog);
            return answer;
        };
    }

    void onEditor(std::function<int(FilesEditorDialog&, TreeList&)> work) {
        handlers_["filesEditorDialog"] = [work](QDialog& dialog) {
            auto& editor = dynamic_cast<FilesEditorDialog&>(dialog);
            editor.show(); // shown, so that its default button (Change) would take a stray Enter
            return work(editor, *editor.list());
        };
    }
    void onSubdirectories(std::function<int(TreeList&, QDialog&)> work) {
        handlers_["subdirectoryDialog"] = [work](QDialog& dialog) {
            dialog.show();
            return work(*dynamic_cast<SubdirectoryDialog&>(dialog).list(), dialog);
        };
    }
    void onChangeFile(std::function<int(ChangeFileDialog&)> work) {
        handlers_["changeFileDialog"] = [work](QDialog& dialog) {
            return work(dynamic_cast<ChangeFileDialog&>(dialog));
        };
    }

    static void press(QDialog& dialog, const char* button) {
        auto* found = dialog.findChild<QPushButton*>(QString::fromUtf8(button));
        ASSERT_NE(found, nullptr) << button;
        found->click();
    }
    static void key(TreeList& list, int row, Qt::Key key) {
        list.setCurrentRow(row);
        QTest::keyClick(&list, key);
    }
    static int rowNamed(const TreeList& list, const char* name) {
        for (int row = 0; row < list.count(); ++row) {
            if (std::strcmp(list.line(row).entry().name, name) == 0) {
                return row;
            }
        }
        ADD_FAILURE() << name << " is not listed";
        return -1;
    }

    std::map<std::string, std::function<int(QDialog&)>> handlers_;
    std::map<std::string, int> shown_;
};

TEST_F(TreeDialogsTest, SubdirectoriesCloseAllThenOkHidesEveryFolderCancelAfterOpenAllKeepsThem) {
    VAROINFO& label = app_->currentLabel();
    onSubdirectories([&](TreeList& list, QDialog& dialog) {
        // Folders with a child only; DOCS is open, so SUB shows below it.
        EXPECT_EQ(listedLines(list), (Strings{"DOCS", "  SUB", "SRC"}));
        key(list, 2, Qt::Key_Return); // Enter opens SRC (it has no folders to list)
        EXPECT_EQ(label.entries[2].open, 1);
        key(list, 0, Qt::Key_Space); // Space closes DOCS
        EXPECT_EQ(listedLines(list), (Strings{"DOCS", "SRC"}));
        press(dialog, "closeAllButton");
        expectListMatchesTree(list, label);
        return int(QDialog::Accepted);
    });
    label.layoutValid = 1;
    window_->sendCommand(CMD_CHOOSE_SUBDIRECTORIES);
    EXPECT_EQ(shown_["subdirectoryDialog"], 1);
    expectAllOpen(label, 0);
    EXPECT_EQ(label.layoutValid, 0);
    EXPECT_EQ(BuildDisplayLines(label), 4); // the label lists its own four entries only

    onSubdirectories([&](TreeList& list, QDialog& dialog) {
        press(dialog, "openAllButton");
        EXPECT_EQ(listedLines(list), (Strings{"DOCS", "  SUB", "SRC"}));
        return int(QDialog::Rejected); // Escape: the dialog has no Cancel button
    });
    window_->sendCommand(CMD_CHOOSE_SUBDIRECTORIES);
    expectAllOpen(label, 1); // files included
    EXPECT_EQ(label.layoutValid, 0);
    EXPECT_EQ(BuildDisplayLines(label), 10); // every entry
    EXPECT_EQ(label.fileCount, 7);           // the counts do not change
    EXPECT_EQ(label.folderCount, 3);

    // Without a top-level folder that was read there is nothing to choose: a message instead.
    FileEntry unread = folder("UNREAD", 0, {});
    unread.child.reset();
    label.entries = entries({unread});
    window_->sendCommand(CMD_CHOOSE_SUBDIRECTORIES);
    EXPECT_EQ(shown_["subdirectoryDialog"], 2);
    ASSERT_FALSE(requests_.empty());
    EXPECT_EQ(requests_.back().kind, ui::ModalKind::Message);
    EXPECT_EQ(requests_.back().text, "There are no directories to choose from!");
    EXPECT_EQ(requests_.back().title, "Directory Problem...");
}

TEST_F(TreeDialogsTest, EditorMovesStopAtAFoldersEndsAndCarrySubtrees) {
    const std::string before = encodeLabelFile(app_->currentLabel());
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        const std::string copyBefore = encodeLabelFile(editor.copy());
        const Strings linesBefore = listedLines(list);
        list.setCurrentRow(rowNamed(list, "A.TXT")); // first entry of DOCS
        press(editor, "moveUpButton");
        list.setCurrentRow(rowNamed(list, "SUB")); // last entry of DOCS
        press(editor, "moveDownButton");
        list.setCurrentRow(rowNamed(list, "EMPTY")); // last entry of the label
        press(editor, "moveDownButton");
        EXPECT_EQ(encodeLabelFile(editor.copy()), copyBefore);
        EXPECT_EQ(listedLines(list), linesBefore);

        // SUB opened, then moved up three times: its listed child goes with it, it stays
        // selected, and the third press does nothing.
        key(list, rowNamed(list, "SUB"), Qt::Key_Return);
        for (int i = 0; i < 3; ++i) {
            press(editor, "moveUpButton");
        }
        EXPECT_EQ(listedLines(list), (Strings{"README.TXT", "DOCS", "  SUB", "    C.TXT", "  A.TXT",
                                              "  B.TXT", "SRC", "EMPTY"}));
        EXPECT_EQ(list.currentRow(), 2);
        expectListMatchesTree(list, editor.copy());
        // DOCS moved down past SRC with its open subtree.
        list.setCurrentRow(1);
        press(editor, "moveDownButton");
        EXPECT_EQ(listedLines(list), (Strings{"README.TXT", "SRC", "DOCS", "  SUB", "    C.TXT",
                                              "  A.TXT", "  B.TXT", "EMPTY"}));
        EXPECT_EQ(list.currentRow(), 2);
        expectListMatchesTree(list, editor.copy());
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_FILES);
    const VAROINFO& label = app_->currentLabel();
    EXPECT_NE(encodeLabelFile(label), before);
    EXPECT_EQ(names(label), (Strings{"README.TXT", "SRC", "DOCS", "EMPTY"}));
    EXPECT_EQ(names(*label.entries[2].child), (Strings{"SUB", "A.TXT", "B.TXT"}));
}

TEST_F(TreeDialogsTest, EditorDeletingAnExpandedFolderRemovesItsLinesAndSubtree) {
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        key(list, rowNamed(list, "SUB"), Qt::Key_Return); // DOCS and SUB both open
        EXPECT_EQ(list.count(), 8);
        const VAROINFO* docsNode = editor.copy().entries[1].child.get();
        key(list, rowNamed(list, "DOCS"), Qt::Key_Delete);
        EXPECT_EQ(listedLines(list), (Strings{"README.TXT", "SRC", "EMPTY"}));
        EXPECT_EQ(list.currentRow(), 1); // the next line
        for (const TreeLine& line : list.lines()) {
            EXPECT_NE(line.node, docsNode);
        }
        expectListMatchesTree(list, editor.copy());
        // Backspace too, and the renumbered lines still name their entries.
        key(list, 1, Qt::Key_Backspace);
        EXPECT_EQ(listedLines(list), (Strings{"README.TXT", "EMPTY"}));
        EXPECT_EQ(list.line(1).index, 1);
        expectListMatchesTree(list, editor.copy());
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_FILES);
    const VAROINFO& label = app_->currentLabel();
    EXPECT_EQ(names(label), (Strings{"README.TXT", "EMPTY"}));
    EXPECT_EQ(label.fileCount, 2); // EMPTY has no child flag: counted as a file
    EXPECT_EQ(label.folderCount, 0);
}

TEST_F(TreeDialogsTest, EditorCancelAfterManyEditsLeavesTheLabelByteForByte) {
    const std::string before = encodeLabelFile(app_->currentLabel());
    const QImage pictureBefore = window_->renderLabelArea();
    onChangeFile([](ChangeFileDialog& change) {
        change.nameEdit()->setText(QStringLiteral("CHANGED"));
        change.commentEdit()->setText(QStringLiteral("99K"));
        change.alignList()->setCurrentIndex(2);
        change.sizeEdit()->setText(QStringLiteral("99"));
        return int(QDialog::Accepted);
    });
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        key(list, rowNamed(list, "SRC"), Qt::Key_Space);         // open
        key(list, rowNamed(list, "DOCS"), Qt::Key_Return);       // close
        key(list, rowNamed(list, "README.TXT"), Qt::Key_Return); // Change File
        list.setCurrentRow(rowNamed(list, "UTIL.H"));
        press(editor, "moveUpButton");
        press(editor, "addNewButton");
        press(editor, "changeButton");
        key(list, rowNamed(list, "EMPTY"), Qt::Key_Delete);
        list.setCurrentRow(rowNamed(list, "DOCS"));
        press(editor, "deleteButton");
        expectListMatchesTree(list, editor.copy());
        EXPECT_EQ(names(editor.copy()), (Strings{"CHANGED", "SRC"}));
        EXPECT_EQ(shown_["changeFileDialog"], 3);
        return int(QDialog::Rejected);
    });
    window_->sendCommand(CMD_EDIT_FILES);
    EXPECT_EQ(shown_["filesEditorDialog"], 1);
    EXPECT_EQ(encodeLabelFile(app_->currentLabel()), before);
    EXPECT_TRUE(window_->renderLabelArea() == pictureBefore);
}

TEST_F(TreeDialogsTest, EditorAddNewOnAnEmptyListCreatesNameInTheRoot) {
    VAROINFO& label = app_->currentLabel();
    clearLabel(label);
    countEntries(label);
    onChangeFile([](ChangeFileDialog& change) {
        EXPECT_EQ(change.nameEdit()->text(), QStringLiteral("name"));
        EXPECT_EQ(change.nameEdit()->selectedText(), QStringLiteral("name"));
        EXPECT_EQ(change.commentEdit()->text(), QStringLiteral("0K"));
        EXPECT_EQ(change.sizeEdit()->text(), QStringLiteral("0"));
        EXPECT_EQ(change.alignList()->currentText(), QStringLiteral("Left"));
        change.nameEdit()->setText(QStringLiteral("ignored"));
        return int(QDialog::Rejected); // the entry stays with its first values
    });
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        EXPECT_EQ(list.count(), 0);
        press(editor, "addNewButton");
        EXPECT_EQ(listedLines(list), (Strings{"name"}));
        EXPECT_EQ(list.currentRow(), 0);
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_FILES);
    EXPECT_EQ(shown_["changeFileDialog"], 1);
    ASSERT_EQ(label.entryCount(), 1);
    const FileEntry& entry = label.entries[0];
    EXPECT_STREQ(entry.name, "name");
    EXPECT_STREQ(entry.sizeText, "0K");
    EXPECT_EQ(entry.size, 0u);
    EXPECT_EQ(entry.hasChild, 0);
    EXPECT_EQ(entry.open, 0);
    EXPECT_EQ(entry.align, 0);
    EXPECT_FALSE(entry.child);
    EXPECT_EQ(label.fileCount, 1);
    EXPECT_EQ(label.folderCount, 0);
}

TEST_F(TreeDialogsTest, EditorEnterOpensChangeFileOnAFileAndTogglesAFolder) {
    std::vector<std::string> changed;
    onChangeFile([&](ChangeFileDialog& change) {
        changed.push_back(change.nameEdit()->text().toStdString());
        EXPECT_EQ(change.sizeEdit()->text(), QStringLiteral("1200"));
        EXPECT_EQ(change.commentEdit()->text(), QStringLiteral("1K"));
        return int(QDialog::Rejected);
    });
    onEditor([&](FilesEditorDialog&, TreeList& list) {
        key(list, rowNamed(list, "README.TXT"), Qt::Key_Return);
        EXPECT_EQ(changed, (Strings{"README.TXT"})); // once: Enter did not reach Change
        key(list, rowNamed(list, "DOCS"), Qt::Key_Return);
        EXPECT_EQ(listedLines(list), (Strings{"README.TXT", "DOCS", "SRC", "EMPTY"}));
        key(list, rowNamed(list, "SRC"), Qt::Key_Enter);
        EXPECT_EQ(listedLines(list),
                  (Strings{"README.TXT", "DOCS", "SRC", "  MAIN.CPP", "  UTIL.H", "EMPTY"}));
        key(list, rowNamed(list, "DOCS"), Qt::Key_Return);
        expectListMatchesTree(list, *list.line(0).node);
        EXPECT_EQ(changed.size(), 1u); // folders never open Change File
        return int(QDialog::Rejected);
    });
    window_->sendCommand(CMD_EDIT_FILES);
    EXPECT_EQ(app_->currentLabel().entries[1].open, 1); // cancelled: the label keeps its flags
    EXPECT_EQ(app_->currentLabel().entries[2].open, 0);
}

TEST_F(TreeDialogsTest, EditorOkAdoptsTheTreeRecountsAndRepaints) {
    VAROINFO& label = app_->currentLabel();
    const QImage before = window_->renderLabelArea();
    onChangeFile([](ChangeFileDialog& change) {
        if (change.nameEdit()->text() == QStringLiteral("README.TXT")) {
            change.nameEdit()->setText(QStringLiteral("NOTES.TXT"));
            change.commentEdit()->setText(QStringLiteral("12K"));
            change.alignList()->setCurrentIndex(2);
            change.sizeEdit()->setText(QString()); // empty: the size stays
        } else {
            change.nameEdit()->setText(QStringLiteral("ADDED.DOC"));
        }
        return int(QDialog::Accepted);
    });
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        key(list, rowNamed(list, "README.TXT"), Qt::Key_Return);
        key(list, rowNamed(list, "SRC"), Qt::Key_Return);
        list.setCurrentRow(rowNamed(list, "UTIL.H"));
        press(editor, "moveUpButton");
        list.setCurrentRow(rowNamed(list, "B.TXT"));
        press(editor, "addNewButton");
        key(list, rowNamed(list, "SUB"), Qt::Key_Delete);
        expectListMatchesTree(list, editor.copy());
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_FILES);

    const FileEntry notes = file("NOTES.TXT", "12K", 1200, 2);
    const FileEntry docs = folder("DOCS", 1,
                                  entries({file("A.TXT", "2K", 2048), file("ADDED.DOC", "0K", 0),
                                           file("B.TXT", "3K", 3072)}));
    const FileEntry src =
        folder("SRC", 1, entries({file("UTIL.H", "300", 300), file("MAIN.CPP", "39K", 40000)}));
    const FileEntry empty = file("EMPTY", "[dir]", 0);
    VAROINFO expected;
    expected.entries = entries({notes, docs, src, empty});

    EXPECT_EQ(label.fileCount, 7); // EMPTY has no child flag: counted as a file
    EXPECT_EQ(label.folderCount, 2);
    std::vector<FileEntry> edited = label.entries;
    const QImage after = window_->renderLabelArea();
    EXPECT_FALSE(after == before);
    // The picture is the one the expected tree paints: the display lines were rebuilt from
    // the adopted tree.
    label.entries = std::move(expected.entries);
    label.layoutValid = 0;
    EXPECT_TRUE(window_->renderLabelArea() == after);
    const std::string expectedFile = encodeLabelFile(label);
    label.entries = std::move(edited);
    label.layoutValid = 0;
    EXPECT_EQ(encodeLabelFile(label), expectedFile);
}

TEST_F(TreeDialogsTest, AnEditedLabelKeepsItsEditsThroughSaveAndReopen) {
    VAROINFO& label = app_->currentLabel();
    // 40 two-byte letters: the name is cut to 63 bytes without splitting one (31 letters).
    const QString longName = QString(40, QChar(0x00E9));
    onChangeFile([&](ChangeFileDialog& change) {
        change.nameEdit()->setText(longName);
        change.commentEdit()->setText(QStringLiteral("a comment longer than fifteen"));
        change.alignList()->setCurrentIndex(1);
        change.sizeEdit()->setText(QStringLiteral("123456789012"));
        return int(QDialog::Accepted);
    });
    onEditor([&](FilesEditorDialog& editor, TreeList& list) {
        key(list, rowNamed(list, "SUB"), Qt::Key_Return); // opens SUB
        key(list, rowNamed(list, "C.TXT"), Qt::Key_Return);
        list.setCurrentRow(rowNamed(list, "B.TXT"));
        press(editor, "moveUpButton");
        list.setCurrentRow(rowNamed(list, "EMPTY"));
        press(editor, "moveUpButton");
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_FILES);

    const std::string path = dir_.file("edited.PMB");
    ASSERT_TRUE(saveLabelFile(path, label));
    VAROINFO reopened;
    ASSERT_EQ(loadLabelFile(path, reopened).status, LabelFileStatus::Loaded);
    EXPECT_EQ(encodeLabelFile(reopened), encodeLabelFile(label));

    EXPECT_EQ(names(reopened), (Strings{"README.TXT", "DOCS", "EMPTY", "SRC"}));
    const VAROINFO& docs = *reopened.entries[1].child;
    EXPECT_EQ(reopened.entries[1].open, 1);
    EXPECT_EQ(reopened.entries[3].open, 0);
    EXPECT_EQ(names(docs), (Strings{"B.TXT", "A.TXT", "SUB"}));
    EXPECT_EQ(docs.entries[2].open, 1);
    const FileEntry& c = docs.entries[2].child->entries[0];
    EXPECT_EQ(QString::fromUtf8(c.name), QString(31, QChar(0x00E9)));
    EXPECT_STREQ(c.sizeText, "a comment longe");
    EXPECT_EQ(c.size, 123456789012u);
    EXPECT_EQ(c.align, 1);
}

} // namespace
} // namespace pelmora::test
