#!/usr/bin/env bash
# Takes the user guide's pictures (docs/images/) under Wine: installs the
# mingw build's KovadoDeskLink.msi in a fresh prefix with a virtual desktop on
# Xvfb and photographs the tray states, the tray menu, the debug window and
# the About box.
#
#   bash scripts/screenshots.sh [BUILD_DIR]    (default build/mingw)
#
# Not part of CI: run it after a change to what the pictures show, look at
# them, and commit them. Needs scripts/setup.sh's packages (ImageMagick,
# xdotool, Xvfb, Wine) and a mingw build with its test programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${root}/build/mingw}" && pwd)
out=${root}/docs/images
mkdir -p "${out}"

if [[ ${KOVADO_SHOTS_INSIDE:-} != 1 ]]; then
  export KOVADO_SHOTS_INSIDE=1
  exec xvfb-run -a -s '-screen 0 1024x768x24' bash "$0" "${build}"
fi

# shellcheck source=scripts/wine-env.sh
source "${root}/scripts/wine-env.sh"
export KOVADO_WINE_GRAPHICS=x11
trap 'wine_prefix_down' EXIT
wine_prefix_up
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w
wine msiexec /i "$(winepath -w "${build}/KovadoDeskLink.msi")" /qn
installed="${WINEPREFIX}/drive_c/Program Files/KovadoDeskLink"
probe() { wine "${build}/tests/bridge_probe.exe" "$@" >/dev/null 2>&1 || true; }
convert=/usr/bin/convert  # another convert may come first on the PATH

shot() { import -window root "${out}/.full.png"; }
# The right end of the taskbar, where the tray is, four times as large.
tray_shot() {
  sleep "$2"
  shot
  "${convert}" "${out}/.full.png" -gravity SouthEast -crop 120x22+0+0 +repage -filter point \
    -resize 400% "${out}/$1.png"
}
# A part of the screen: WIDTHxHEIGHT+X+Y.
part_shot() {
  sleep "$3"
  shot
  "${convert}" "${out}/.full.png" -crop "$2" +repage "${out}/$1.png"
}
start_in_folder() { (cd "${installed}" && exec wine "$@") & }
stop_bridge() { probe close; sleep 4; }

# Skype not installed: a fresh Wine has no Skype.
start_in_folder "C:\\Program Files\\KovadoDeskLink\\KovadoDeskLink.exe"
tray_shot tray-skype-missing 15
# Skype installed, no handset.
wine reg add 'HKCU\Software\Skype\Phone' /v SkypePath /d 'C:\Skype\Skype.exe' /f >/dev/null 2>&1
tray_shot tray-no-handset 6
# The tray menu and its language submenu.
xdotool mousemove 500 300
probe tray-event 517
sleep 2
xdotool mousemove 540 312  # onto "Select Language": its submenu opens
part_shot tray-menu 420x170+490+290 3
xdotool key Escape Escape
stop_bridge

# A handset (the test build's simulated one) without a Skype client, then
# with the test client.
start_in_folder "${build}/tests/bridge_test_build.exe" "C:\\shots.log"
# The first pass starts the audio tool (the flag is 0 after installing), which
# holds supervision for a while before the next pass shows the state.
tray_shot tray-skype-not-attached 45
stop_bridge
(cd "${WINEPREFIX}/drive_c" && exec wine "${build}/tests/test_skype_client.exe" client.log 120) &
sleep 5
start_in_folder "${build}/tests/bridge_test_build.exe" "C:\\shots.log"
tray_shot tray-connected 12
# The About box.
probe command 142
part_shot about-box 400x170+312+300 3
probe close About
sleep 1
stop_bridge
probe close "Skype Test Client"

# The debug window: "#Debug#enable" in setting\ParameterSetting.cc.
parameters="${installed}/setting/ParameterSetting.cc"
iconv -f UTF-16LE -t UTF-8 "${parameters}" | sed 's/#Debug#disable/#Debug#enable/' |
  iconv -f UTF-8 -t UTF-16LE >"${out}/.parameters"
cp "${out}/.parameters" "${parameters}"
start_in_folder "C:\\Program Files\\KovadoDeskLink\\KovadoDeskLink.exe"
part_shot debug-window 552x364+0+0 15
stop_bridge

rm -f "${out}/.full.png" "${out}/.parameters"
echo "screenshots: pictures in ${out}"
