#include "tests/setup/install_fixture.h"

#include "platform/core/profile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace pelmora::test {

namespace fs = std::filesystem;

void InstallFixture::SetUp() {
    const std::pair<const char*, std::string> environment[] = {
        {"HOME", home()},
        {"XDG_DATA_HOME", dataHome()},
        {"PELMORA_WINDIR", windowsFolder()},
        {"TMPDIR", temporaryFolder()},
    };
    for (const auto& [name, value] : environment) {
        const char* old = std::getenv(name);
        savedEnvironment_.emplace_back(name, old != nullptr ? std::optional<std::string>(old)
                                                            : std::nullopt);
        fs::create_directories(value);
        ::setenv(name, value.c_str(), 1);
    }
    ui::installProgramHandlers();
    previousAnswerer_ = ui::setDialogAnswerer([this](const ui::ModalRequest& request) {
        requests_.push_back(request);
        ui::ModalAnswer answer;
        if (request.kind == ui::ModalKind::Message) {
            answer.result = answerMessage_ ? answerMessage_(request) : messageAnswer_;
        } else {
            const std::optional<int> result = answerDialog_ ? answerDialog_(request) : std::nullopt;
            answer.result = result.value_or(QDialog::Rejected);
        }
        return std::optional<ui::ModalAnswer>(answer);
    });
    previousStarter_ = setProcessStarter([this](const ProcessRequest& request) {
        started_.push_back(request);
        return true;
    });
}

void InstallFixture::TearDown() {
    setProcessStarter(previousStarter_);
    ui::setDialogAnswerer(previousAnswerer_);
    setMessageHandler({});
    for (const auto& [name, value] : savedEnvironment_) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
}

std::string InstallFixture::installPath() const {
    return GetPrivateProfileString("Install", "InstallPath", "error", 512, iniPath());
}

std::vector<std::string> InstallFixture::messages() const {
    std::vector<std::string> shown;
    for (const ui::ModalRequest& request : requests_) {
        if (request.kind == ui::ModalKind::Message) {
            shown.push_back(request.title + ": " + request.text);
        }
    }
    return shown;
}

std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file()) {
            files.push_back(fs::relative(it->path(), folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace pelmora::test
