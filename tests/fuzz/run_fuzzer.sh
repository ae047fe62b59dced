#!/usr/bin/env bash
# Runs a libFuzzer binary for CTest.
#
#   run_fuzzer.sh fuzz   BINARY ARTIFACT_DIR SEED_DIR... [OPTIONS]
#   run_fuzzer.sh replay BINARY ARTIFACT_DIR REGRESSION_DIR [OPTIONS]
#
# fuzz: copies the files of the seed folders into a fresh working corpus, so
# that what the fuzzer adds never lands in a committed or shared folder, and
# fuzzes on it. replay: runs every file of REGRESSION_DIR once.
# README.md and hidden files are not inputs. Arguments starting with '-' go
# to the fuzzer. Crashing inputs are written to ARTIFACT_DIR.
set -euo pipefail

mode=$1 binary=$2 artifacts=$3
shift 3
dirs=() opts=()
for a in "$@"; do
  case $a in
    -*) opts+=("$a") ;;
    *) dirs+=("$a") ;;
  esac
done
mkdir -p "$artifacts"
opts+=("-artifact_prefix=$artifacts/" "-print_final_stats=1")

inputs() {
  find "$1" -maxdepth 1 -type f ! -name README.md ! -name '.*' | sort
}

case $mode in
  fuzz)
    work=$(mktemp -d "${TMPDIR:-/tmp}/vestrel-fuzz.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/corpus"
    i=0
    for d in "${dirs[@]}"; do
      i=$((i + 1))
      while read -r f; do
        [ -n "$f" ] && cp "$f" "$work/corpus/$i-$(basename "$f")"
      done < <(inputs "$d")
    done
    echo "Fuzzing with $(find "$work/corpus" -type f | wc -l) seeds: ${opts[*]}"
    "$binary" "${opts[@]}" "$work/corpus"
    ;;
  replay)
    mapfile -t files < <(inputs "${dirs[0]}")
    if [ ${#files[@]} -eq 0 ]; then
      echo "No kept inputs in ${dirs[0]}"
      exit 0
    fi
    echo "Replaying ${#files[@]} kept inputs"
    "$binary" "${opts[@]}" "${files[@]}"
    ;;
  *)
    echo "run_fuzzer.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
