// Exclude/Include, Comment Entry, the spine text, the initials and About, run from the menu
// commands with their dialogs worked through their widgets.

#include "catalog/dialogs/drive_dialog.h"
#include "platform/core/profile.h"
#include "resources/command_ids.h"
#include "shell/commands.h"
#include "shell_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace pelmora::test {
namespace {

class TextDialogsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        requests_.clear();
    }

    // Answers the next dialog with `work`, which gets the dialog and returns the answer; the
    // dialogs after it are cancelled.
    void onDialog(std::function<int(QDialog&)> work) {
        answer_ = [work, done = false](
                      const ui::ModalRequest& request) mutable -> std::optional<ui::ModalAnswer> {
            if (request.kind != ui::ModalKind::Dialog || !request.dialog || done) {
                return std::nullopt;
            }
            done = true;
            ui::ModalAnswer answer;
            answer.result = work(*request.dialog);
            return answer;
        };
    }

    std::vector<std::string> dialogTitles() const {
        std::vector<std::string> titles;
        for (const ui::ModalRequest& request : requests_) {
            titles.push_back(request.title);
        }
        return titles;
    }
};

template <typename T> T* child(QDialog& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

std::vector<std::string> listed(const QListWidget& list) {
    std::vector<std::string> lines;
    for (int row = 0; row < list.count(); ++row) {
        lines.push_back(list.item(row)->text().toStdString());
    }
    return lines;
}

void addPattern(QDialog& dialog, const std::string& typed) {
    child<QLineEdit>(dialog, "patternEdit")->setText(QString::fromStdString(typed));
    child<QPushButton>(dialog, "addButton")->click();
}

const std::string kCut(30, 'X');

TEST_F(TextDialogsTest, ExcludeListIsEditedSortedAndStoredWithTheRescanHint) {
    app_->catalog.addPattern(".TMP");
    app_->catalog.addPattern("~");
    app_->catalog.excludeMode = 0;
    onDialog([](QDialog& dialog) {
        auto* list = child<QListWidget>(dialog, "patternList");
        auto* remove = child<QPushButton>(dialog, "removeButton");
        EXPECT_TRUE(child<QRadioButton>(dialog, "includeButton")->isChecked());
        EXPECT_EQ(list->currentItem()->text(), ".TMP");
        EXPECT_TRUE(remove->isEnabled());
        addPattern(dialog, "*.bak");
        addPattern(dialog, "*");
        addPattern(dialog, "*" + std::string(30, 'x') + "\xC3\xA9"); // é across byte 31
        EXPECT_EQ(listed(*list), (std::vector<std::string>{".BAK", ".TMP", kCut, "~"}));
        EXPECT_EQ(list->currentItem()->text().toStdString(), kCut);
        EXPECT_TRUE(child<QLineEdit>(dialog, "patternEdit")->text().isEmpty());
        list->setCurrentRow(1);
        remove->click();
        EXPECT_EQ(listed(*list), (std::vector<std::string>{".BAK", kCut, "~"}));
        EXPECT_FALSE(remove->isEnabled());
        list->setCurrentRow(0);
        EXPECT_TRUE(remove->isEnabled());
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EXCLUDE_INCLUDE);
    std::vector<std::string> stored;
    for (const auto& pattern : app_->catalog.excludePatterns) {
        stored.push_back(pattern.data());
    }
    EXPECT_EQ(stored, (std::vector<std::string>{".BAK", kCut, "~"}));
    EXPECT_EQ(app_->catalog.excludeMode, 0);
    EXPECT_EQ(dialogTitles(), (std::vector<std::string>{"Exclude/Include Files Containing...",
                                                        "Exclude/Include List Modified"}));

    // Remove All selects Exclude; an include list left empty is stored as Exclude.
    onDialog([](QDialog& dialog) {
        child<QPushButton>(dialog, "removeAllButton")->click();
        EXPECT_TRUE(child<QRadioButton>(dialog, "excludeButton")->isChecked());
        EXPECT_FALSE(child<QPushButton>(dialog, "removeButton")->isEnabled());
        child<QRadioButton>(dialog, "includeButton")->click();
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EXCLUDE_INCLUDE);
    EXPECT_TRUE(app_->catalog.excludePatterns.empty());
    EXPECT_EQ(app_->catalog.excludeMode, 1);
}

TEST_F(TextDialogsTest, CommentSampleFollowsTypingAndMacrosAndCancelKeepsTheComment) {
    VAROINFO& label = app_->currentLabel();
    std::strcpy(label.comment, "Backup");
    std::strcpy(label.shortDate, "7/17/98");
    label.spaceFree = 1572864;
    label.spaceUsed = 524288;
    label.fileCount = 12;
    std::vector<std::string> samples;
    onDialog([&samples](QDialog& dialog) {
        auto* edit = child<QLineEdit>(dialog, "commentEdit");
        auto* sample = child<QLabel>(dialog, "sampleText");
        samples.push_back(sample->text().toStdString());
        edit->setCursorPosition(edit->text().size());
        QTest::keyClicks(edit, " %spacefree%");
        samples.push_back(sample->text().toStdString());
        edit->setCursorPosition(6); // after "Backup"
        child<QPushButton>(dialog, "filesButton")->click();
        samples.push_back(edit->text().toStdString());
        samples.push_back(sample->text().toStdString());
        child<QPushButton>(dialog, "defaultButton")->click();
        samples.push_back(sample->text().toStdString());
        return int(QDialog::Rejected);
    });
    window_->sendCommand(CMD_EDIT_COMMENT);
    EXPECT_EQ(samples,
              (std::vector<std::string>{"Backup", "Backup 1.5M", "Backup%files% %spacefree%",
                                        "Backup12 1.5M", "1.5M free, 0.5M used  (7/17/98)"}));
    EXPECT_STREQ(label.comment, "Backup");
    EXPECT_EQ(dialogTitles(), std::vector<std::string>{"LS-120 Comment Entry"});

    onDialog([](QDialog& dialog) {
        child<QPushButton>(dialog, "percentUsedButton")->click(); // replaces the selected text
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_EDIT_COMMENT);
    EXPECT_STREQ(label.comment, "%pctused%");
}

TEST_F(TextDialogsTest, SpineTextTitleNumbersTheLabelOnlyInMultiLabelFormats) {
    for (auto [format, index, title] : {std::tuple{ONE_LABEL, 0, "Pelmora Label "},
                                        std::tuple{TWO_FOLD_OUT, 1, "Pelmora Label 2"},
                                        std::tuple{FOUR_LABELS, 2, "Pelmora Label 3"}}) {
        setView(format, 1, index);
        requests_.clear();
        onDialog([](QDialog& dialog) {
            child<QLineEdit>(dialog, "spineTextEdit")->setText(QString(70, QChar(u'\u00e9')));
            return int(QDialog::Accepted);
        });
        window_->sendCommand(CMD_EDIT_SPINE_TEXT);
        EXPECT_EQ(dialogTitles(), std::vector<std::string>{title});
        // 31 two-byte letters fill 62 of the 63 bytes; the 32nd would be split.
        EXPECT_EQ(std::strlen(app_->currentLabel().volumeName), 62u) << title;
    }
}

TEST_F(TextDialogsTest, InitialsAreCutWholeAndWrittenAtOnce) {
    const std::string initials = std::string(62, 'x') + "\xC3\xA9" + "yz"; // é across byte 63
    const auto typeAndConfirm = [&initials](QDialog& dialog) {
        child<QLineEdit>(dialog, "initialsEdit")->setText(QString::fromStdString(initials));
        child<QLineEdit>(dialog, "numberEdit")->clear();
        return int(QDialog::Accepted);
    };
    onDialog(typeAndConfirm);
    window_->sendCommand(CMD_CUSTOMIZE_INITIALS);
    EXPECT_EQ(std::string(app_->paint.spineInitials), std::string(62, 'x'));
    EXPECT_STREQ(app_->paint.spineNumber, "");
    EXPECT_EQ(GetPrivateProfileString("vexo", "Initials", "?", 256, iniPath()),
              std::string(62, 'x'));
    EXPECT_EQ(GetPrivateProfileString("vexo", "Number", "?", 256, iniPath()), "");

    // A settings file that cannot be written is reported rather than passed over.
    std::filesystem::remove(iniPath());
    std::filesystem::create_directory(iniPath());
    requests_.clear();
    onDialog(typeAndConfirm);
    window_->sendCommand(CMD_CUSTOMIZE_INITIALS);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].kind, ui::ModalKind::Message);
    EXPECT_NE(requests_[1].text.find("could not be saved"), std::string::npos);
}

TEST_F(TextDialogsTest, AboutNamesTheVersionAndItsButtonOpensTheWebSite) {
    std::vector<std::string> opened;
    const UrlOpener previous = setUrlOpener([&opened](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    std::string version;
    onDialog([&version](QDialog& dialog) {
        version = child<QLabel>(dialog, "programVersion")->text().toStdString();
        child<QPushButton>(dialog, "webSiteButton")->click();
        EXPECT_EQ(dialog.result(), 0) << "the web-site button leaves the dialog open";
        return int(QDialog::Accepted);
    });
    window_->sendCommand(CMD_ABOUT);
    setUrlOpener(previous);
    EXPECT_EQ(dialogTitles(), std::vector<std::string>{"About Pelmora"});
    EXPECT_EQ(version, "Pelmora 4.1");
    EXPECT_EQ(opened, std::vector<std::string>{kWebSiteUrl});
}

// The texts of a dialog's labels and buttons that need more room than their control has.
std::vector<std::string> clippedTexts(QDialog& dialog) {
    std::vector<std::string> clipped;
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(control);
        QSize need;
        if (label && label->wordWrap()) {
            need = QSize(label->width(), label->heightForWidth(label->width()));
        } else if (label || qobject_cast<QAbstractButton*>(control)) {
            need = QSize(control->sizeHint().width(), control->fontMetrics().height());
        } else if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)) {
            need = QSize(0, control->fontMetrics().height() + 4); // the text inside the frame
        } else {
            continue;
        }
        if (need.width() > control->width() || need.height() > control->height()) {
            clipped.push_back(dialog.objectName().toStdString() + " " +
                              control->objectName().toStdString() + " " +
                              control->property("text").toString().toStdString());
        }
    }
    return clipped;
}

TEST_F(TextDialogsTest, TextsFitTheirControls) {
    std::vector<std::string> clipped;
    int checked = 0;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (!request.dialog) {
            return std::nullopt;
        }
        ++checked;
        for (const std::string& text : clippedTexts(*request.dialog)) {
            clipped.push_back(text);
        }
        ui::ModalAnswer answer; // OK on Exclude/Include, so that the rescan hint follows
        answer.result =
            request.dialog->objectName() == "excludeDialog" ? QDialog::Accepted : QDialog::Rejected;
        return answer;
    };
    for (int command : {CMD_EXCLUDE_INCLUDE, CMD_EDIT_COMMENT, CMD_EDIT_SPINE_TEXT,
                        CMD_CUSTOMIZE_INITIALS, CMD_ABOUT}) {
        window_->sendCommand(command);
    }
    DriveDialog drives(nullptr, 'C', 0b1101);
    for (const std::string& text : clippedTexts(drives)) {
        clipped.push_back(text);
    }
    EXPECT_EQ(checked, 6); // the five dialogs and the rescan hint
    EXPECT_EQ(clipped, std::vector<std::string>{});

    // Once more with the desktop scaled by one and a half, in a process of its own.
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        QProcess scaled;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", "1.5");
        scaled.setProcessEnvironment(environment);
        scaled.start(QCoreApplication::applicationFilePath(),
                     {"--gtest_filter=TextDialogsTest.TextsFitTheirControls"});
        ASSERT_TRUE(scaled.waitForFinished(60000));
        EXPECT_EQ(scaled.exitCode(), 0) << scaled.readAllStandardOutput().toStdString();
    }
}

} // namespace
} // namespace pelmora::test
