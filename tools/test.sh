#!/usr/bin/env bash
# Sets everything up and runs the whole test suite, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in its own folder (build-test); the first report fails the test
# that made it, and leaks are reported at each test program's exit. The optimised build of
# tools/run.sh and the benchmarks (build) is not touched.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/bootstrap.sh" "$here/build-test" -DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$here/build-test"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j "$(nproc)"
