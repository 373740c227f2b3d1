#!/usr/bin/env bash
# Writes the seed corpora under tests/fuzz/corpus: the files fuzz_make_seeds makes with the
# program's own writers and libjpeg, and ZIP and ARJ archives made by Debian's zip and arj.
# Seeds are replaced; minimised crash inputs in the same folders stay.
# Usage: tests/fuzz/make_seeds.sh BUILD_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: make_seeds.sh BUILD_DIR}
corpus="$here/corpus"

cmake --build "$build" --target fuzz_make_seeds
"$build/tests/fuzz/fuzz_make_seeds" "$corpus"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src="$work/src"
mkdir -p "$src/DOCS/OLD" "$src/EMPTY" "$corpus/zip_listing" "$corpus/arj_listing"
printf 'notes\n' > "$src/DOCS/OLD/NOTES.TXT"
printf 'letter letter letter letter letter letter\n' > "$src/DOCS/Letter.doc"
printf 'readme\n' > "$src/README"
: > "$src/ZERO.DAT"

# zip: a tree with folder records and deflated members, stored members with an archive
# comment and member comments, and a ZIP64 archive.
(cd "$src" && zip -q -r -X "$work/tree.zip" .)
(cd "$src" && printf 'c1\nc2\n' | zip -q -0 -c -X "$work/stored.zip" README ZERO.DAT &&
  printf 'archive comment\n' | zip -q -z "$work/stored.zip")
(cd "$src" && zip -q -fz -X "$work/zip64.zip" README DOCS/Letter.doc)
cp "$work/tree.zip" "$corpus/zip_listing/tree.zip"
cp "$work/stored.zip" "$corpus/zip_listing/stored_with_comments.zip"
cp "$work/zip64.zip" "$corpus/zip_listing/zip64.zip"

# arj: members from several folders, a recursed tree, and a name in the Windows page.
(cd "$src" && arj a -y "$work/flat.arj" README DOCS/Letter.doc DOCS/OLD/NOTES.TXT > /dev/null)
(cd "$src" && arj a -r -y "$work/tree.arj" DOCS > /dev/null)
(cd "$src" && cp README 'na'$'\xc3\xaf''ve.txt' && arj a -y "$work/utf8.arj" 'na'$'\xc3\xaf''ve.txt' > /dev/null)
cp "$work/flat.arj" "$corpus/arj_listing/flat.arj"
cp "$work/tree.arj" "$corpus/arj_listing/tree.arj"
cp "$work/utf8.arj" "$corpus/arj_listing/utf8_name.arj"

du -sh "$corpus"
