#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in their own build folder (build-fuzz) and runs one of them.
#
# Usage: tools/fuzz.sh TARGET [SECONDS] [-- LIBFUZZER_OPTIONS...]
#        tools/fuzz.sh --list
#
# TARGET is a folder name under tests/fuzz/corpus (label_file, template_file, ini_file,
# zip_listing, arj_listing, bmp, jpeg, comment_macros). The run starts from the committed seeds
# and keeps what it learns in build-fuzz/corpus/TARGET. An input that crashes, trips a
# sanitizer, hangs for more than a second or asks for more than 256 MB at once ends the run;
# it is kept in build-fuzz/findings/TARGET/, minimised, and the minimised input is added to
# tests/fuzz/corpus/TARGET/, where every test run replays it. The exit status is then 1.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
corpus_root="$here/tests/fuzz/corpus"

if [ "${1:-}" = "--list" ]; then
  ls "$corpus_root"
  exit 0
fi
target=${1:?usage: tools/fuzz.sh TARGET [SECONDS] [-- LIBFUZZER_OPTIONS...]}
shift
seconds=60
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
  seconds=$1
  shift
fi
if [ "${1:-}" = "--" ]; then
  shift
fi
if [ ! -d "$corpus_root/$target" ]; then
  echo "no fuzz target '$target'; the targets are:" >&2
  ls "$corpus_root" >&2
  exit 1
fi

# What every build needs, and clang with its runtime libraries (libFuzzer, the sanitizers),
# which only this build needs.
mapfile -t packages < <(grep -v '^#' "$here/tools/packages.txt" | tr -s ' ' '\n' | grep .)
packages+=(clang-14 libclang-rt-14-dev)
"$here/tools/install_packages.sh" "${packages[@]}"

build="$here/build-fuzz"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DPELMORA_FUZZ=ON -DPELMORA_SANITIZE=ON
fi
cmake --build "$build" --target "fuzz_$target"

work="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$work" "$findings"
dictionary="$here/tests/fuzz/dictionaries/$target.dict"
options=(-max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -malloc_limit_mb=256
         -artifact_prefix="$findings/" -print_final_stats=1)
if [ -f "$dictionary" ]; then
  options+=(-dict="$dictionary")
fi

# Scratch files go to memory where it can: settings are saved with fsync on every input.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-"$build/test-config"}
# The first report ends the run; leaks are reported per input, with Qt's and fontconfig's
# one-time caches filled before the first input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-"abort_on_error=1:detect_leaks=1"}
export LSAN_OPTIONS=${LSAN_OPTIONS:-"suppressions=$here/tests/fuzz/lsan.supp:print_suppressions=0"}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-"print_stacktrace=1:halt_on_error=1"}

fuzzer="$build/tests/fuzz/fuzz_$target"
before=$(ls "$findings")
status=0
"$fuzzer" "${options[@]}" "$@" "$work" "$corpus_root/$target" || status=$?

found=0
for finding in "$findings"/*; do
  [ -f "$finding" ] || continue
  name=$(basename "$finding")
  if printf '%s\n' "$before" | grep -qxF "$name" || [[ "$name" == minimised-* ]]; then
    continue
  fi
  found=1
  kind=${name%%-*}
  minimised="$findings/minimised-$name"
  "$fuzzer" -minimize_crash=1 -runs=20000 -max_total_time=120 -timeout=1 -malloc_limit_mb=256 \
    -exact_artifact_path="$minimised" "$finding" > "$findings/minimise-$name.log" 2>&1 || true
  [ -f "$minimised" ] || minimised="$finding"
  cp "$minimised" "$corpus_root/$target/$kind-$(sha1sum "$minimised" | cut -c1-12)"
  echo "finding $name minimised into tests/fuzz/corpus/$target/" >&2
done
if [ "$found" -ne 0 ]; then
  exit 1
fi
exit "$status"
