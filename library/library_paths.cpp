// Where the library lives and which files below a folder are label files.

#include "library/library.h"
#include "library/name_pattern.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pelmora::library {

std::string defaultLibraryPath() {
    if (const char* explicitPath = std::getenv("PELMORA_LIBRARY"); explicitPath && *explicitPath) {
        return explicitPath;
    }
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        data = std::string(home && *home ? home : ".") + "/.local/share";
    }
    return data + "/pelmora/library.sqlite";
}

std::string normalisedPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        absolute = path;
    }
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

std::vector<std::string> findLabelFiles(const std::string& folder,
                                        const std::atomic<bool>* cancel) {
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    std::error_code error;
    // Unreadable folders are passed over; links to folders are not followed (no loops).
    fs::recursive_directory_iterator it(normalisedPath(folder),
                                        fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            break;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && foldedText(name.substr(name.size() - 4)) == ".pmb") {
            found.push_back(it->path().string());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace pelmora::library
