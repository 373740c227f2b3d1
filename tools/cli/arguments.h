#pragma once
// A small reader for the CLI's "--option value" arguments.

#include "render/label_format.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace pelmora::cli {

// Thrown for a command line that cannot be understood (exit code 1).
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown for input that was understood but cannot be used (exit code 2).
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown for "--help" or "-h" in a command's options: the usage goes to standard output and
// the exit code is 0.
struct HelpRequested {};

// "--help" or "-h".
bool isHelpOption(const std::string& arg);

class Arguments {
public:
    Arguments(std::vector<std::string> args) : args_(std::move(args)) {}

    bool done() const { return next_ >= args_.size(); }
    // The next argument as it is.
    std::string take();
    // The value following an option; a UsageError names the option when it is missing.
    std::string takeValue(const std::string& option);

private:
    std::vector<std::string> args_;
    std::size_t next_ = 0;
};

// The one file argument of a command such as "dump FILE.PMB": options and a second file are
// usage errors. `what` names the file in the message ("a FILE.PMB").
std::string takeSingleFile(const std::vector<std::string>& args, const std::string& command,
                           const std::string& what);

// An argument of a FILE command that is no option it knows: an option-like one is an unknown
// option, the first other one becomes `file`, a second one is a usage error naming `command`.
void takeFileArgument(const std::string& command, const std::string& arg, std::string& file);

// Usage errors for a FILE command without its FILE.PMB or without "-o `outputWhat`".
void requireFileAndOutput(const std::string& command, const std::string& file,
                          const std::string& output, const std::string& outputWhat);

// The label format a "--format one|quad|fold-around|fold-out|four" value names, or an
// InputError naming `option`.
LabelFormat chooseFormat(const std::string& option, const std::string& value);

// Maps `value` to the index of one of `choices`, or throws an InputError naming `option`.
int choose(const std::string& option, const std::string& value,
           const std::vector<std::string>& choices);

} // namespace pelmora::cli
