#!/usr/bin/env bash
# Installs everything needed to build and test KovadoDeskLink on Debian 12.
# Run as root. Safe to run repeatedly: when every package is already
# installed the apt step is skipped.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  # Native build
  build-essential cmake ninja-build pkg-config git
  # Unit tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # Bitmap font rendering
  libfreetype-dev fonts-unifont
  # Pictures saved as PNG by the simulation
  libpng-dev
  # Windows cross toolchain (posix thread model for std::thread/std::mutex,
  # binutils for x86_64-w64-mingw32-windres)
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64
  # Running the Windows programs headless
  wine64 wine xvfb xauth
  # The Windows Installer package (wixl, msibuild, msiinfo) and the generators
  # of its shipped files; iconv for the Wine tests
  wixl msitools python3 libc-bin
  # Screenshots for the user guide (scripts/screenshots.sh)
  imagemagick xdotool
  # The fuzz targets: clang and its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
)

if [[ ${EUID} -ne 0 ]]; then
  echo "setup.sh: must be run as root" >&2
  exit 1
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "${pkg}" 2>/dev/null || true)
  if [[ ${status} != installed ]]; then
    missing+=("${pkg}")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup.sh: all ${#PACKAGES[@]} packages already installed"
else
  echo "setup.sh: installing: ${missing[*]}"
  apt-get update
  apt-get install -y --no-install-recommends "${PACKAGES[@]}"
fi

# Sanity check: the tools the build relies on are on the PATH.
for tool in cmake ninja pkg-config x86_64-w64-mingw32-gcc-posix \
            x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres \
            wine wineserver xvfb-run wixl msibuild msiinfo python3 clang++; do
  if ! command -v "${tool}" >/dev/null 2>&1; then
    echo "setup.sh: ${tool} not found after install" >&2
    exit 1
  fi
done
echo "setup.sh: done"
