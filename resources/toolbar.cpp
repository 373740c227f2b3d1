#include "resources/toolbar.h"

#include "resources/command_ids.h"
#include "resources/strings.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <iterator>

// Registers the embedded images; outside any namespace, as Qt's resource macro requires. The
// call also makes every program that shows a toolbar or an icon link the resource data.
static void registerEmbeddedImages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace pelmora {

namespace {

constexpr ToolbarEntry kSeparator{ButtonStyle::Separator, 0, -1, {}};

constexpr std::array<ToolbarEntry, 22> kEntries{{
    kSeparator,
    {ButtonStyle::Button, CMD_READ_DISK, 0, "Read Disk"},
    kSeparator,
    {ButtonStyle::Button, CMD_CLEAR_ALL_LABELS, 1, "Clear All Labels"},
    kSeparator,
    {ButtonStyle::Button, CMD_FEWER_COLUMNS, 2, "Reduce Columns"},
    {ButtonStyle::Button, CMD_MORE_COLUMNS, 3, "Increase Columns"},
    kSeparator,
    {ButtonStyle::Check, CMD_ZOOM, 4, "Zoom"},
    kSeparator,
    {ButtonStyle::Check, CMD_SHOW_SIZES, 5, "Display File Sizes"},
    {ButtonStyle::Check, CMD_SHOW_EXTENSIONS, 6, "Display Extensions"},
    {ButtonStyle::Button, CMD_CHOOSE_SUBDIRECTORIES, 7, "Choose Subdirectories"},
    {ButtonStyle::Button, CMD_FONTS_AND_COLORS, 8, "Fonts and Colors"},
    kSeparator,
    {ButtonStyle::Button, CMD_EDIT_FILES, 9, "Edit Files and Folders"},
    kSeparator,
    {ButtonStyle::Button, CMD_INSERT_IMAGE, 10, "Insert Image"},
    {ButtonStyle::Button, CMD_INSERT_STRING, 11, "Insert String"},
    kSeparator,
    {ButtonStyle::Button, CMD_WRITE_TEMPLATE, 12, "Write Template File"},
    {ButtonStyle::Button, CMD_PRINT, 13, "Print"},
}};

QString iconName(IconKind kind) {
    switch (kind) {
    case IconKind::Program:
        return QStringLiteral("pelmora");
    case IconKind::LabelFile:
        return QStringLiteral("label-file");
    case IconKind::TemplateFile:
        return QStringLiteral("template-file");
    }
    return {};
}

} // namespace

const QString kToolbarStripPath = QStringLiteral(":/icons/toolbar.png");

std::string_view ToolbarEntry::tooltip(bool oneLabelFormat) const {
    return isSeparator() ? std::string_view{} : tooltipText(command, oneLabelFormat);
}

std::span<const ToolbarEntry> toolbarEntries() {
    return kEntries;
}

QImage toolbarStrip() {
    registerEmbeddedImages();
    return QImage(kToolbarStripPath);
}

QImage toolbarImage(int index) {
    if (index < 0 || index >= kToolbarImageCount) {
        return {};
    }
    return toolbarStrip().copy(index * kToolbarImageSize, 0, kToolbarImageSize, kToolbarImageSize);
}

QString iconPath(IconKind kind, int size) {
    if (std::find(std::begin(kIconSizes), std::end(kIconSizes), size) == std::end(kIconSizes)) {
        return {};
    }
    return QStringLiteral(":/icons/%1-%2.png").arg(iconName(kind)).arg(size);
}

QImage iconImage(IconKind kind, int size) {
    registerEmbeddedImages();
    const QString path = iconPath(kind, size);
    return path.isEmpty() ? QImage() : QImage(path);
}

} // namespace pelmora
