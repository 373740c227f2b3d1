#pragma once
// The toolbar (buttons and separators in order, each button with its image in the toolbar
// strip and its command) and the images the resources library embeds: the strip and the
// program and document icons, loaded from the ":/icons/" resource folder.

#include <QImage>
#include <QString>
#include <span>
#include <string_view>

namespace pelmora {

enum class ButtonStyle {
    Separator,
    Button,
    Check, // stays pressed while its setting is on
};

struct ToolbarEntry {
    ButtonStyle style;
    int command;           // 0 for a separator
    int image;             // index into the toolbar strip; -1 for a separator
    std::string_view name; // what the button does, for accessibility and the action's text

    bool isSeparator() const { return style == ButtonStyle::Separator; }
    // The tooltip; Zoom's reads differently while the format is the single label.
    std::string_view tooltip(bool oneLabelFormat = false) const;
};

// All entries, separators included, left to right.
std::span<const ToolbarEntry> toolbarEntries();

// The toolbar strip: kToolbarImageCount images of kToolbarImageSize pixels square, side by side.
constexpr int kToolbarImageCount = 14;
constexpr int kToolbarImageSize = 16;
extern const QString kToolbarStripPath;

QImage toolbarStrip();
// One image of the strip; a null image for an index outside it.
QImage toolbarImage(int index);

// The program's icon and the icons of its two document types, each drawn at kIconSizes.
enum class IconKind { Program, LabelFile, TemplateFile };
constexpr int kIconSizes[] = {16, 32, 48};

// ":/icons/<name>-<size>.png"; an empty path for a size not in kIconSizes.
QString iconPath(IconKind kind, int size);
QImage iconImage(IconKind kind, int size);

} // namespace pelmora
