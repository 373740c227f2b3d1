#pragma once
// Helpers shared by the test suites: real temporary folders, a recorder for the messages
// core code reports, and drive letters pointed at folders.

#include "platform/core/message.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelmora::test {

// A fresh folder under the system temp folder, removed (recursively) when destroyed.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Path of a name inside the folder ("a/b.txt" is fine).
    std::string file(const std::string& relative) const;
    // Creates a file (and missing parent folders) with `size` bytes of 'x'.
    std::string writeFile(const std::string& relative, std::uint64_t size = 0) const;
    // Creates a file with the given contents.
    std::string writeText(const std::string& relative, const std::string& contents) const;
    std::string makeDir(const std::string& relative) const;

private:
    std::string path_;
};

// Records every reported message while alive and answers with `answer`.
class MessageRecorder {
public:
    explicit MessageRecorder(int answer = IDOK);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<Message>& messages() const { return messages_; }
    bool saw(const std::string& caption, const std::string& text) const;
    void clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
    int answer_;
    MessageHandler previous_;
};

// Points a drive letter at a folder while alive.
class DriveMapping {
public:
    DriveMapping(char letter, const std::string& folder);
    ~DriveMapping();
    DriveMapping(const DriveMapping&) = delete;
    DriveMapping& operator=(const DriveMapping&) = delete;

private:
    char letter_;
};

// Runs `work` in a process that cannot read folders whose permissions forbid it: as root
// (where permission bits do not stop reading) in a forked child switched to "nobody",
// otherwise directly. Returns what `work` returned. Folders the work reads must be
// world-traversable.
std::string runUnprivileged(const std::function<std::string()>& work);

// A parameterised test's name made from its case description: letters and digits kept,
// everything else '_'.
std::string caseNameOf(const char* description);

// Runs a shell command; returns its exit status.
int runCommand(const std::string& command);

// What a command run through the shell printed, and how it ended.
struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs a shell command, keeping its standard output and standard error apart. The error
// output goes through a world-writable scratch folder, so a command run as another user
// can write it too.
CommandRun runCapturing(const std::string& command);

// A path or word in single quotes for the shell.
std::string quoted(const std::string& text);

// Reads a whole file into a string (empty when it cannot be read).
std::string readFile(const std::string& path);

} // namespace pelmora::test
