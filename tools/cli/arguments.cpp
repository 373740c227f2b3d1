#include "tools/cli/arguments.h"

namespace pelmora::cli {

bool isHelpOption(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

std::string Arguments::take() {
    return done() ? std::string() : args_[next_++];
}

std::string Arguments::takeValue(const std::string& option) {
    if (done()) {
        throw UsageError(option + " needs a value");
    }
    return take();
}

std::string takeSingleFile(const std::vector<std::string>& args, const std::string& command,
                           const std::string& what) {
    std::string path;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            throw HelpRequested();
        }
        if (arg.starts_with("-") && arg != "-") {
            throw UsageError("unknown option " + arg);
        }
        if (!path.empty()) {
            throw UsageError(command + " takes one file, got \"" + arg + "\" too");
        }
        path = arg;
    }
    if (path.empty()) {
        throw UsageError(command + " needs " + what);
    }
    return path;
}

int choose(const std::string& option, const std::string& value,
           const std::vector<std::string>& choices) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == value) {
            return static_cast<int>(i);
        }
    }
    std::string list;
    for (const std::string& c : choices) {
        list += (list.empty() ? "" : "|") + c;
    }
    throw InputError(option + " takes " + list + ", not \"" + value + "\"");
}

LabelFormat chooseFormat(const std::string& option, const std::string& value) {
    static const LabelFormat kFormats[] = {ONE_LABEL, QUAD_LABEL, TWO_FOLD_AROUND, TWO_FOLD_OUT,
                                           FOUR_LABELS};
    return kFormats[choose(option, value, {"one", "quad", "fold-around", "fold-out", "four"})];
}

void takeFileArgument(const std::string& command, const std::string& arg, std::string& file) {
    if (isHelpOption(arg)) {
        throw HelpRequested();
    }
    if (arg.starts_with("-")) {
        throw UsageError("unknown option " + arg);
    }
    if (!file.empty()) {
        throw UsageError(command + " takes one file, got \"" + arg + "\" too");
    }
    file = arg;
}

void requireFileAndOutput(const std::string& command, const std::string& file,
                          const std::string& output, const std::string& outputWhat) {
    if (file.empty()) {
        throw UsageError(command + " needs a FILE.PMB");
    }
    if (output.empty()) {
        throw UsageError(command + " needs -o " + outputWhat);
    }
}

} // namespace pelmora::cli
