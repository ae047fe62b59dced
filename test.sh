#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test:  ./test.sh
#
# First the normal build (build/, GCC) and its tests; then the core libraries
# and their tests again, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, with a one-minute fuzzing run of the reader
# (build-sanitize/). Both test summaries come again at the end; the exit
# status is non-zero when any build or test failed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vestrel_install_missing --tests

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0

# run_tests DIR LOG: runs DIR's CTest, shown as it goes and kept in LOG.
run_tests() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)") 2>&1 | tee "$2" || status=1
}

# summary TITLE LOG
summary() {
  echo
  echo "== $1"
  if [ -s "$2" ] && grep -q 'tests passed' "$2"; then
    sed -n '/tests passed/,$p' "$2"
  else
    echo "(build or test run failed; see above)"
  fi
}

vestrel_build
run_tests build "$logs/main"

echo
echo "== Sanitizer build (clang, ASan + UBSan, fuzzing): build-sanitize/"
if vestrel_build_sanitize; then
  run_tests build-sanitize "$logs/sanitize"
else
  status=1
fi

summary "build/ (GCC)" "$logs/main"
summary "build-sanitize/ (clang, ASan + UBSan, fuzzing)" "$logs/sanitize"
exit $status
