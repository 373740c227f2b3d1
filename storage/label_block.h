#pragma once
// The label block: the ordered lines that carry one label's title, comment, display options,
// colours, font heights, disk figures, dates, the four element fonts and the extension
// styles. Label files and template files both hold one, written and read by these routines.
// A font block is a LOGFONTA as 13 lines; the underline flag is not among them.
//
// Files from older program versions lack some lines; the reader supplies their values by the
// version code of the file (16 for "1.6", then 17 .. 41; template files map their version
// line to a code).

#include "catalog/records.h"
#include "storage/line_io.h"

namespace pelmora {

// Version code of the files this program writes.
constexpr int kLabelFileVersion = 41;
// The first version code this program cannot read.
constexpr int kFirstUnreadableVersion = 42;
// The code of the oldest layout, written as "1.6".
constexpr int kVersion16 = 16;

// The most columns the menus offer. A larger count in a file is damage, and would have the
// file list lay out that many columns; it is read as this many.
constexpr std::int32_t kMaxColumns = 5;

// Fonts and line heights as the program itself makes them: a font's height and width are at
// most kMaxFontSize units either way (the device layer realises nothing larger), its weight
// is 0..kMaxFontWeight, and a measured line height is 0..kMaxLineHeight. Values read from a
// file are brought into these ranges, so that no layout or font arithmetic can overflow.
constexpr std::int32_t kMaxFontSize = 16384;
constexpr std::int32_t kMaxFontWeight = 1000;
constexpr std::int32_t kMaxLineHeight = 4 * kMaxFontSize;

// Brings a font read from a file into the ranges above; the rest of it stays as it is.
void keepFontInRange(LOGFONTA& font);

// Fewest bytes one font block and one extension style can take in any file, even one made
// by hand; readers refuse counts of them that the rest of the file cannot hold.
constexpr std::size_t kMinFontBlockBytes = 12 * 2;
constexpr std::size_t kMinExtensionStyleBytes = 1 + 2 + kMinFontBlockBytes;

// lfHeight .. lfWeight, lfItalic, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision,
// lfQuality, lfPitchAndFamily, then the face name as a plain line.
void writeFontBlock(LineWriter& out, const LOGFONTA& font);

// Reads the 13 lines into `font`; lfUnderline keeps the value it had. A face name loses its
// leading blanks (the number before it swallows them). The font is kept in range
// (keepFontInRange). Returns false once the source has failed; the fields not reached keep
// their values.
bool readFontBlock(LineReader& in, LOGFONTA& font);

// Writes the current layout: every line, the 64-bit figures as plain decimal numbers.
void writeLabelBlock(LineWriter& out, const VAROINFO& label);

// Reads a label block of version code `version` into `label`. Lines the version lacks take
// their defaults: `lined` from the sign of the stored `columns` (which is then made
// positive and at most kMaxColumns), `showLogo` 1, `lblFmt` 0, `opposing` 0, white backgrounds,
// left spine alignment, figures 0 and today's dates, no extension styles for code 16. The label's
// extension styles are replaced by the block's. The sort direction reads as -1 when negative,
// else 1; line heights are kept within 0..kMaxLineHeight. Returns false once the source has
// failed; the fields not reached keep the values they had.
bool readLabelBlock(LineReader& in, VAROINFO& label, int version);

} // namespace pelmora
