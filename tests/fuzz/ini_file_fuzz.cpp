// Pelmora.ini as the program reads it at start-up: the lines through IniFile, every setting
// through ReadSettings, and the labels it styles printed on a sheet. Two properties a user
// sees are checked on the way: a key set is what reading the saved text gives back, and
// settings written and read back are written the same way again (nothing drifts from one run
// of the program to the next).

#include "platform/core/ini_file.h"
#include "storage/settings_store.h"
#include "tests/fuzz/fuzz_paint.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

using namespace pelmora;

namespace {

fuzz::ScratchFile& iniFile() {
    static fuzz::ScratchFile file(".ini");
    return file;
}

struct Settings {
    LabelSet labels;
    CatalogSettings catalog;
    ViewState view;
    PaintSettings paint;
    PrinterIdentity printer;
    ProgramSettings program;

    void read(const std::string& path) {
        ReadSettings(labels, catalog, view, paint, printer, program, path);
    }
    bool write(const std::string& path) const {
        return WriteSettings(labels, catalog, view, paint, printer, program, path);
    }
};

void checkSetKeysReadBack(IniFile& ini) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } changes[] = {{kSettingsSection, "Columns0", "3"}, {"Fuzz Section", "Fuzz Key", "a value"}};
    for (const auto& change : changes) {
        if (!ini.set(change.section, change.key, std::string(change.value))) {
            fuzz::invariantBroken("a plain key cannot be set");
        }
    }
    iniFile().replace(ini.text());
    IniFile reread;
    if (!reread.load(iniFile().path())) {
        fuzz::invariantBroken("the text of an ini file cannot be loaded");
    }
    for (const auto& change : changes) {
        if (reread.get(change.section, change.key) !=
            std::optional<std::string_view>(change.value)) {
            fuzz::invariantBroken("a key set in an ini file does not read back");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    fuzz::startGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = iniFile().path();
    iniFile().replace(std::span(data, size));
    Settings settings;
    settings.read(path);

    IniFile ini;
    if (!ini.load(path)) {
        fuzz::invariantBroken("a readable ini file does not load");
    }
    checkSetKeysReadBack(ini);

    // The first write may still settle a value (a drive never chosen is written as 0 and
    // read back as C:); from then on reading and writing must change nothing.
    if (!settings.write(path)) {
        fuzz::invariantBroken("the settings cannot be written");
    }
    std::string written;
    for (int round = 0; round < 2; ++round) {
        Settings reread;
        reread.read(path);
        if (!reread.write(path)) {
            fuzz::invariantBroken("the settings cannot be written");
        }
        const std::string text = iniFile().contents();
        if (round == 1 && text != written) {
            fuzz::invariantBroken("settings read back from their own file are written differently");
        }
        written = text;
    }

    fuzz::printSheet(settings.labels, settings.view.format, settings.program.print, settings.paint);
    return 0;
}
