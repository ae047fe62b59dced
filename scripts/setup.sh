# Sourced by vestrel.sh and test.sh: installs the Debian packages that are
# missing, then configures and builds into build/ (and, for the tests,
# build-sanitize/).

VESTREL_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-ezdxf
)
# Only the tests need these: clang with its sanitizer and libFuzzer runtimes,
# llvm-symbolizer for readable sanitizer stacks, pdftoppm to look at
# printed pages, matplotlib for ezdxf's drawings that ours are compared
# with, and desktop-file-validate for the installed launcher.
VESTREL_TEST_PACKAGES=(
  clang libclang-rt-14-dev llvm poppler-utils python3-matplotlib desktop-file-utils
)

# vestrel_install_missing [--tests]
vestrel_install_missing() {
  local wanted=("${VESTREL_PACKAGES[@]}")
  [ "${1:-}" = --tests ] && wanted+=("${VESTREL_TEST_PACKAGES[@]}")
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# vestrel_build [TARGET...]
vestrel_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build build -j"$(nproc)" --target "$@"
  else
    cmake --build build -j"$(nproc)"
  fi
}

# The core libraries and their tests built with clang under AddressSanitizer
# and UndefinedBehaviorSanitizer, with the reader's fuzz target; no Qt.
vestrel_build_sanitize() {
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVESTREL_BUILD_APP=OFF -DVESTREL_BUILD_BENCH=OFF -DVESTREL_SANITIZE=ON -DVESTREL_FUZZ=ON >/dev/null &&
    cmake --build build-sanitize -j"$(nproc)"
}
