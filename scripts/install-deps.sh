#!/usr/bin/env bash
# Installs the Debian packages Trillbox needs to build, run and test.
# Idempotent: only missing packages are installed, and `apt-get update` runs
# only when something is missing. Groups: build (default), window, mpris, sound,
# fuzz (not in all: only `make fuzz` needs it), all.
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config ccache clang-format desktop-file-utils
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libplist-dev libcairo2-dev libpango1.0-dev fonts-dejavu-core
  libsdl2-dev libx11-dev libsdbus-c++-dev libsystemd-dev libturbojpeg0-dev libpulse-dev
  libcurl4-openssl-dev
)
# Fallback fonts for text the system font lacks (Japanese, Chinese, Korean,
# Arabic, Hebrew, emoji); every group that runs the program draws text.
font_packages=(fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji)
window_packages=(xvfb xdotool x11-apps imagemagick)
mpris_packages=(dbus mpv mpv-mpris sox playerctl)
# A sound server the system-volume tests start on a socket of their own, and its client.
sound_packages=(pulseaudio pulseaudio-utils)
# The fuzz preset's compiler and libFuzzer.
fuzz_packages=(clang-14 libclang-rt-14-dev)

wanted=()
for group in "${@:-build}"; do
  case "$group" in
    build) wanted+=("${build_packages[@]}" "${font_packages[@]}") ;;
    window) wanted+=("${window_packages[@]}" "${font_packages[@]}") ;;
    mpris) wanted+=("${mpris_packages[@]}" "${font_packages[@]}") ;;
    sound) wanted+=("${sound_packages[@]}") ;;
    fuzz) wanted+=("${fuzz_packages[@]}") ;;
    all) wanted+=("${build_packages[@]}" "${font_packages[@]}" "${window_packages[@]}" "${mpris_packages[@]}" "${sound_packages[@]}") ;;
    *) echo "install-deps: unknown group '$group' (build, window, mpris, sound, fuzz, all)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: missing ${missing[*]}; run as root or install sudo" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
# env, not a prefix assignment: sudo drops the caller's environment.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
