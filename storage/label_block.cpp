#include "storage/label_block.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace pelmora {
namespace {

// The label's styles are replaced only once the file's count was read: a block cut short
// before it (a damaged template applied to a scanned label) leaves them as they were.
void readExtensionStyles(LineReader& in, VAROINFO& label) {
    std::int32_t count = 0;
    if (!in.readCount(count, kMinExtensionStyleBytes)) {
        return;
    }
    label.extStyles.clear();
    label.extStyles.shrink_to_fit();
    const auto kept = std::min(static_cast<std::size_t>(count), kMaxExtensionStyles);
    label.extStyles.reserve(kept);
    // Styles past the ones a label can use are read, so the rest of the file stays in step,
    // and left out.
    ExtensionStyle leftOut;
    for (std::int32_t i = 0; i < count && in.ok(); ++i) {
        ExtensionStyle& style =
            label.extStyles.size() < kept ? label.extStyles.emplace_back() : leftOut;
        in.readDottedText(style.extension);
        in.readColor(style.color);
        readFontBlock(in, style.font);
    }
}

} // namespace

void keepFontInRange(LOGFONTA& font) {
    font.lfHeight = std::clamp(font.lfHeight, -kMaxFontSize, kMaxFontSize);
    font.lfWidth = std::clamp(font.lfWidth, -kMaxFontSize, kMaxFontSize);
    font.lfWeight = std::clamp(font.lfWeight, 0, kMaxFontWeight);
}

void writeFontBlock(LineWriter& out, const LOGFONTA& font) {
    out.number(font.lfHeight);
    out.number(font.lfWidth);
    out.number(font.lfEscapement);
    out.number(font.lfOrientation);
    out.number(font.lfWeight);
    out.unsignedNumber(font.lfItalic);
    out.unsignedNumber(font.lfStrikeOut);
    out.unsignedNumber(font.lfCharSet);
    out.unsignedNumber(font.lfOutPrecision);
    out.unsignedNumber(font.lfClipPrecision);
    out.unsignedNumber(font.lfQuality);
    out.unsignedNumber(font.lfPitchAndFamily);
    out.plainText(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE)));
}

bool readFontBlock(LineReader& in, LOGFONTA& font) {
    in.readInt32(font.lfHeight);
    in.readInt32(font.lfWidth);
    in.readInt32(font.lfEscapement);
    in.readInt32(font.lfOrientation);
    in.readInt32(font.lfWeight);
    in.readByte(font.lfItalic);
    in.readByte(font.lfStrikeOut);
    in.readByte(font.lfCharSet);
    in.readByte(font.lfOutPrecision);
    in.readByte(font.lfClipPrecision);
    in.readByte(font.lfQuality);
    // The face name is the line right after this number, even an empty one.
    std::int64_t pitchAndFamily = 0;
    if (in.readNumberEndingLine(pitchAndFamily)) {
        font.lfPitchAndFamily = static_cast<std::uint8_t>(pitchAndFamily & 0xFF);
    }
    in.readPlainText(font.lfFaceName);
    keepFontInRange(font);
    return in.ok();
}

void writeLabelBlock(LineWriter& out, const VAROINFO& label) {
    out.dottedText(
        std::string_view(label.volumeName, strnlen(label.volumeName, kVolumeNameCapacity)));
    out.dottedText(std::string_view(label.comment, strnlen(label.comment, kCommentCapacity)));
    out.number(label.sortMode);
    out.number(label.direction);
    out.number(label.columns);
    out.number(label.lined);
    out.number(label.showSize);
    out.number(label.showExt);
    out.number(label.showComment);
    out.number(label.showLogo);
    out.number(label.lblFmt);
    out.number(label.opposing);
    out.color(label.bodyBackColor);
    out.number(label.fileFontHeight);
    out.number(label.folderFontHeight);
    out.number(label.commentFontHeight);
    out.number(label.colorLogo);
    out.color(label.fileColor);
    out.color(label.folderColor);
    out.color(label.commentColor);
    out.color(label.spineColor);
    out.color(label.spineBackColor);
    out.number(label.spineAlign);
    out.number(label.spaceUsed);
    out.number(label.spaceFree);
    out.number(label.spaceTotal);
    out.number(label.fileCount);
    out.number(label.folderCount);
    out.dottedText(std::string_view(label.shortDate, strnlen(label.shortDate, kShortDateCapacity)));
    out.dottedText(std::string_view(label.longDate, strnlen(label.longDate, kLongDateCapacity)));
    writeFontBlock(out, label.fileFont);
    writeFontBlock(out, label.folderFont);
    writeFontBlock(out, label.commentFont);
    writeFontBlock(out, label.spineFont);
    out.number(label.extStyleCount());
    for (const ExtensionStyle& style : label.extStyles) {
        out.dottedText(
            std::string_view(style.extension, strnlen(style.extension, kExtensionCapacity)));
        out.color(style.color);
        writeFontBlock(out, style.font);
    }
}

bool readLabelBlock(LineReader& in, VAROINFO& label, int version) {
    // A line the version lacks takes its value whether or not reading has stopped, so the
    // label ends up the same as when the file was written by that version.
    in.readDottedText(label.volumeName);
    in.readDottedText(label.comment);
    in.readInt32(label.sortMode);
    in.readInt32(label.direction);
    // Sorting multiplies comparisons by the direction, which the program sets to 1 or -1.
    label.direction = label.direction < 0 ? -1 : 1;
    in.readInt32(label.columns);
    if (version >= 25) {
        in.readInt32(label.lined);
    } else {
        // Before the Lined option existed a negative column count meant "no lines".
        label.lined = label.columns >= 0 ? 1 : 0;
    }
    if (label.columns < 0) {
        label.columns = label.columns == std::numeric_limits<std::int32_t>::min()
                            ? std::numeric_limits<std::int32_t>::max()
                            : -label.columns;
    }
    label.columns = std::min(label.columns, kMaxColumns);
    in.readInt32(label.showSize);
    in.readInt32(label.showExt);
    in.readInt32(label.showComment);
    if (version >= 17) {
        in.readInt32(label.showLogo);
        in.readInt32(label.lblFmt);
    } else {
        label.showLogo = 1;
        label.lblFmt = 0;
    }
    if (version >= 19) {
        in.readInt32(label.opposing);
    } else {
        label.opposing = 0;
    }
    if (version >= 18) {
        in.readColor(label.bodyBackColor);
    } else {
        label.bodyBackColor = 0xFFFFFF;
    }
    for (std::int32_t* height :
         {&label.fileFontHeight, &label.folderFontHeight, &label.commentFontHeight}) {
        in.readInt32(*height);
        *height = std::clamp(*height, 0, kMaxLineHeight);
    }
    in.readInt32(label.colorLogo);
    in.readColor(label.fileColor);
    in.readColor(label.folderColor);
    in.readColor(label.commentColor);
    in.readColor(label.spineColor);
    if (version >= 18) {
        in.readColor(label.spineBackColor);
    } else {
        label.spineBackColor = 0xFFFFFF;
    }
    if (version >= 19) {
        in.readInt32(label.spineAlign);
    } else {
        label.spineAlign = 0;
    }
    if (version >= 25) {
        in.readFigure(label.spaceUsed);
        in.readFigure(label.spaceFree);
        in.readFigure(label.spaceTotal);
        in.readInt32(label.fileCount);
        in.readInt32(label.folderCount);
        in.readDottedText(label.shortDate);
        in.readDottedText(label.longDate, kLongDateMaxChars + 1);
    } else {
        label.spaceUsed = 0;
        label.spaceFree = 0;
        label.spaceTotal = 0;
        label.fileCount = 0;
        label.folderCount = 0;
        stampToday(label);
    }
    readFontBlock(in, label.fileFont);
    readFontBlock(in, label.folderFont);
    readFontBlock(in, label.commentFont);
    readFontBlock(in, label.spineFont);
    if (version != kVersion16) {
        readExtensionStyles(in, label);
    } else {
        label.extStyles.clear();
        label.extStyles.shrink_to_fit();
    }
    label.layoutValid = 0;
    return in.ok();
}

} // namespace pelmora
