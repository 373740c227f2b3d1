#pragma once
// A user's home in a temporary folder (HOME, XDG_DATA_HOME, PELMORA_WINDIR and TMPDIR point
// into it), every modal interaction answered through the modal layer, and programs that would
// be started recorded instead.

#include "platform/ui/dialogs.h"
#include "setup/process_start.h"
#include "tests/support/test_support.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::test {

class InstallFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string home() const { return dir_.path() + "/home"; }
    std::string dataHome() const { return home() + "/.local/share"; }
    std::string windowsFolder() const { return dir_.path() + "/windows"; }
    std::string temporaryFolder() const { return dir_.path() + "/tmp"; }
    std::string iniPath() const { return windowsFolder() + "/Pelmora.ini"; }
    std::string installPath() const; // "InstallPath" of the ini, "error" when missing

    // The messages shown, as "CAPTION: TEXT".
    std::vector<std::string> messages() const;

    // A child widget of the dialog being answered.
    template <typename Widget>
    static Widget* child(const ui::ModalRequest& request, const char* name) {
        return request.dialog->findChild<Widget*>(QString::fromLatin1(name));
    }

    TempDir dir_;
    // Messages are answered by `answerMessage` when set, else `messageAnswer` (OK by default),
    // dialogs by `answerDialog` (cancelled when it is empty or returns nothing).
    int messageAnswer_ = IDOK;
    std::function<int(const ui::ModalRequest&)> answerMessage_;
    std::function<std::optional<int>(const ui::ModalRequest&)> answerDialog_;
    std::vector<ui::ModalRequest> requests_;
    std::vector<ProcessRequest> started_;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> savedEnvironment_;
    ui::DialogAnswerer previousAnswerer_;
    ProcessStarter previousStarter_;
};

// Every regular file below `folder`, relative to it, sorted.
std::vector<std::string> filesBelow(const std::string& folder);

} // namespace pelmora::test
