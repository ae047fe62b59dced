# Sourced by vestrel.sh and test.sh: installs the Debian packages that are
# missing, then configures and builds into build/.

VESTREL_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-ezdxf
)

vestrel_install_missing() {
  local missing=()
  for p in "${VESTREL_PACKAGES[@]}"; do
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
