#include "tests/support/test_support.h"

#include "platform/core/drives.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pelmora::test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pelmora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    // A test may have removed permissions or nested folders deeper than a path can name;
    // chmod -R and rm -rf cope with both.
    runCommand("chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'");
}

std::string TempDir::file(const std::string& relative) const {
    return path_ + "/" + relative;
}

std::string TempDir::writeFile(const std::string& relative, std::uint64_t size) const {
    std::string full = file(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary);
    std::string block(4096, 'x');
    for (std::uint64_t left = size; left > 0;) {
        std::size_t n = left < block.size() ? static_cast<std::size_t>(left) : block.size();
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    return full;
}

std::string TempDir::writeText(const std::string& relative, const std::string& contents) const {
    std::string full = file(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary);
    out << contents;
    return full;
}

std::string TempDir::makeDir(const std::string& relative) const {
    std::string full = file(relative);
    fs::create_directories(full);
    return full;
}

MessageRecorder::MessageRecorder(int answer) : answer_(answer) {
    previous_ = setMessageHandler([this](const Message& m) {
        messages_.push_back(m);
        return answer_;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageHandler(std::move(previous_));
}

bool MessageRecorder::saw(const std::string& caption, const std::string& text) const {
    for (const Message& m : messages_) {
        if (m.caption == caption && m.text == text) {
            return true;
        }
    }
    return false;
}

DriveMapping::DriveMapping(char letter, const std::string& folder) : letter_(letter) {
    setDriveFolder(letter, folder);
}

DriveMapping::~DriveMapping() {
    setDriveFolder(letter_, "");
}

std::string runUnprivileged(const std::function<std::string()>& work) {
    if (geteuid() != 0) {
        return work();
    }
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        constexpr uid_t kNobody = 65534;
        std::string result = (setgid(kNobody) == 0 && setuid(kNobody) == 0)
                                 ? work()
                                 : std::string("cannot switch to nobody");
        ssize_t written = write(fds[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string result;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

std::string caseNameOf(const char* description) {
    std::string name;
    for (const char* c = description; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    }
    return name;
}

int runCommand(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CommandRun runCapturing(const std::string& command) {
    TempDir scratch;
    ::chmod(scratch.path().c_str(), 0777);
    const std::string errFile = scratch.file("stderr");
    CommandRun run;
    FILE* pipe = popen((command + " 2>" + quoted(errFile)).c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(errFile);
    return run;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace pelmora::test
