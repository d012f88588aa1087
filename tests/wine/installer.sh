#!/usr/bin/env bash
# KovadoDeskLink.msi under Wine, from installation to removal.
#
#   tests/wine/installer.sh <mingw build directory>
#
# Needs a Wine prefix that is up (scripts/wine-env.sh: wine_prefix_up). The
# bridge needs a notification area, so the checks run under xvfb-run with
# Wine's X11 driver; the null driver is selected again at the end.
#
# 1. A quiet installation: the programs and every shipped file, byte for
#    byte; the registry values with their types (64-bit view); the uninstall
#    key's command with the product code KovadoRemove was built with; the
#    shortcuts' targets and working directories; the package's
#    LockPermissions rows (Wine does not enforce access lists).
# 2. The settings readers take each shipped file: the test build of the
#    bridge, started in the installation folder, shows the shipped icons and
#    the shipped language list in its tray menu; choosing each language loads
#    its texts and copies its two files into setting\; the installed bridge
#    opens its debug window once "#Debug#" is set to enable.
# 3. The installed bridge runs from its folder; the installed KovadoRemove
#    closes it (exit code 0) and starts the uninstaller; then nothing of the
#    product is left (under Wine the running KovadoRemove.exe itself may stay,
#    see there).
# 4. Upgrade: this package over an older version of itself: one product,
#    the new files, the audio tool's flag back to 0, a device name given on
#    the command line.
set -uo pipefail

if [[ $# -lt 1 || ! -d $1 ]]; then
  echo "usage: $0 <mingw build directory>" >&2
  exit 2
fi
if [[ -z ${WINEPREFIX:-} || ! -d ${WINEPREFIX} ]]; then
  echo "installer.sh: no Wine prefix is up (scripts/wine-env.sh: wine_prefix_up)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)

if [[ ${2:-} != --inside ]]; then
  for file in KovadoDeskLink.msi bin/KovadoDeskLink.exe tools/Tambrelo.exe \
    tools/KovadoRemove.exe tests/bridge_test_build.exe tests/bridge_probe.exe \
    installer/Shipped.wxs generated/ProductCode.h; do
    [[ -f ${build}/${file} ]] || { echo "installer.sh: ${file} is not built" >&2; exit 2; }
  done
  command -v xvfb-run >/dev/null || { echo "installer.sh: xvfb-run is missing" >&2; exit 2; }
  wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1
  wineserver -w
  xvfb-run -a bash "$0" "${build}" --inside
  status=$?
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  exit "${status}"
fi

# ---------------------------------------------------------------- helpers
failures=0
pass() { echo "PASS $1"; }
fail() {
  echo "FAIL $1"
  shift
  printf '     %s\n' "$@"
  failures=$((failures + 1))
}
check() {  # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then pass "${name}"; else fail "${name}"; fi
}
expect() {  # name, expected, got
  if [[ $2 == "$3" ]]; then pass "$1"; else fail "$1" "expected: $2" "got:      $3"; fi
}
probe() { wine "${build}/tests/bridge_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
await_line() {  # file, line, seconds
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    [[ -f $1 ]] && tr -d '\r' <"$1" | grep -qxF -- "$2" && return 0
    sleep 0.1
  done
  return 1
}
await_exit() {  # pid, seconds; the exit code in ${ended}
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"
      ended=$?
      return 0
    fi
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  ended=timeout
  return 1
}
# "TYPE DATA" of a registry value in the 64-bit view, empty when there is none.
reg_value() {
  wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; sub(/^ +/, ""); t = $1; $1 = ""; sub(/^ +/, ""); print t " " $0 }'
}
reg_key_exists() { wine reg query "$1" /reg:64 >/dev/null 2>&1; }
# A UTF-16LE settings file's lines, as UTF-8.
utf16_lines() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//'; }
msi_path() { winepath -w "$1" 2>/dev/null; }

code=$(grep -o '{[0-9A-F-]*}' "${build}/generated/ProductCode.h")
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${code}"
product_key='HKLM\SOFTWARE\KOVADO'
skype_key='HKCU\Software\Skype\Phone'
installed="${WINEPREFIX}/drive_c/Program Files/KovadoDeskLink"
win_installed='C:\Program Files\KovadoDeskLink'
# The Start menu for all users; Wine puts a per-machine package's shortcuts
# into the installing user's Start menu instead.
common_menu="${WINEPREFIX}/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
user_menu=$(echo "${WINEPREFIX}"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)
menu_of() {  # the Start menu that holds the product's entries
  if [[ -e ${common_menu}/KovadoDeskLink || ! -e ${user_menu}/KovadoDeskLink ]]; then
    echo "${common_menu}"
  else
    echo "${user_menu}"
  fi
}
package=${build}/KovadoDeskLink.msi
version=$(msiinfo export "${package}" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
work=${WINEPREFIX}/drive_c/kovado-installer
rm -rf "${work}"
mkdir -p "${work}"

# Every file of the product as the build made it: "relative path|source".
product_files() {
  local program
  for program in bin/KovadoDeskLink.exe tools/Tambrelo.exe tools/KovadoRemove.exe; do
    echo "$(basename "${program}")|${build}/${program}"
  done
  (cd "${build}/shipped" && find . -type f | sed 's|^\./||' | sort) |
    while read -r file; do echo "${file}|${build}/shipped/${file}"; done
}
files_as_built() {  # the installed files equal the build's, none missing
  local entry bad=()
  while IFS='|' read -r file source; do
    cmp -s "${installed}/${file}" "${source}" || bad+=("${file}")
  done < <(product_files)
  ((${#bad[@]} == 0)) || { echo "     differ or missing: ${bad[*]}"; return 1; }
}
# What is left of the product; with "remover" the installed KovadoRemove.exe
# alone in the folder does not count (see the removal below), with "upgraded" an
# empty installation folder (see the upgrade below).
nothing_left() {
  local left=() menu
  if [[ $1 == remover && -f ${installed}/KovadoRemove.exe &&
        $(find "${installed}" -mindepth 1 | wc -l) == 1 ]]; then
    :
  elif [[ $1 == upgraded && -d ${installed} && -z $(ls -A "${installed}") ]]; then
    :
  elif [[ -e ${installed} ]]; then
    left+=("the installation folder")
  fi
  for menu in "${common_menu}" "${user_menu}"; do
    [[ -e ${menu}/KovadoDeskLink ]] && left+=("the Start menu folder")
    [[ -e ${menu}/StartUp/KovadoDeskLink.lnk ]] && left+=("the Startup shortcut")
  done
  ((${#left[@]} == 0)) || { echo "     left: ${left[*]}"; return 1; }
  reg_key_exists "${product_key}" && left+=("${product_key}")
  reg_key_exists "${uninstall_key}" && left+=("the uninstall key")
  ((${#left[@]} == 0)) || { echo "     left: ${left[*]}"; return 1; }
}
await_removed() {  # seconds, then what may stay (see nothing_left)
  local until=$((SECONDS + $1))
  while ((SECONDS < until)); do
    nothing_left "${2:-}" >/dev/null && return 0
    sleep 1
  done
  nothing_left "${2:-}"
}

# ---------------------------------------------------------------- 1. install
echo "-- a quiet installation"
wine msiexec /i "$(msi_path "${package}")" /qn
check "msiexec /i /qn ends with code 0" test $? = 0
check "every program and shipped file is installed as built" files_as_built
expect "the audio tool's flag: a 4-byte value, first byte 0" "REG_DWORD 0x0" \
  "$(reg_value "${product_key}" Tambrelo)"
expect "the handset's playback device name" "REG_SZ Speakers (USB Audio Device)" \
  "$(reg_value "${product_key}" DefaultOutDevice)"
expect "the handset's recording device name" "REG_SZ Microphone (USB Audio Device)" \
  "$(reg_value "${product_key}" DefaultInDevice)"
expect "the uninstall command names the product code KovadoRemove was built with" \
  "REG_EXPAND_SZ MsiExec.exe /X${code}" "$(reg_value "${uninstall_key}" UninstallString)"
expect "the Programs list shows the name" "REG_SZ KovadoDeskLink" \
  "$(reg_value "${uninstall_key}" DisplayName)"
expect "... the publisher" "REG_SZ Kovado" "$(reg_value "${uninstall_key}" Publisher)"
expect "... the version" "REG_SZ ${version}" "$(reg_value "${uninstall_key}" DisplayVersion)"

shortcut() { python3 "${root}/tests/wine/lnk_info.py" "$1" 2>/dev/null; }
menu=$(menu_of)
startup="${menu}/StartUp/KovadoDeskLink.lnk"
expect "Start menu \"KovadoDeskLink\" starts the bridge in its folder" \
  "${win_installed}\\KovadoDeskLink.exe|${win_installed}\\" \
  "$(shortcut "${menu}/KovadoDeskLink/KovadoDeskLink.lnk")"
expect "Start menu \"Handset sound device\" starts Tambrelo in its folder" \
  "${win_installed}\\Tambrelo.exe|${win_installed}\\" \
  "$(shortcut "${menu}/KovadoDeskLink/Handset sound device.lnk")"
expect "Start menu \"Uninstall KovadoDeskLink\" starts KovadoRemove in the system folder" \
  "${win_installed}\\KovadoRemove.exe|C:\\windows\\system32\\" \
  "$(shortcut "${menu}/KovadoDeskLink/Uninstall KovadoDeskLink.lnk")"
expect "the Startup folder starts the bridge at logon, in its folder" \
  "${win_installed}\\KovadoDeskLink.exe|${win_installed}\\" "$(shortcut "${startup}")"

# Users: read and set values on the key, modify setting\ and the two files
# the language switch overwrites; SYSTEM and Administrators: full control.
expected_rights=$(
  for object in "RegTambrelo Registry 131099 983103" "SETTINGDIR CreateFolder 1245631 2032127" \
    "SettingUserTexts File 1245631 2032127" "SettingMenuTexts File 1245631 2032127"; do
    read -r name table users all <<<"${object}"
    printf '%s\t%s\t\t%s\t%s\n' "${name}" "${table}" '[USERSGROUP]' "${users}" \
      "${name}" "${table}" Administrators "${all}" "${name}" "${table}" SYSTEM "${all}"
  done | sort)
expect "the LockPermissions rows" "${expected_rights}" \
  "$(msiinfo export "${package}" LockPermissions | tr -d '\r' | tail -n +4 | sort)"
expect "users are the local group \"Users\" unless USERSGROUP says otherwise" "Users" \
  "$(msiinfo export "${package}" Property | tr -d '\r' | awk -F'\t' '$1 == "USERSGROUP" { print $2 }')"

# ---------------------------------------------------------------- 2. readers
echo "-- the settings readers take the shipped files"
wine reg add "${skype_key}" /v SkypePath /d 'C:\Program Files\Skype\Phone\Skype.exe' /f >/dev/null 2>&1
log=${work}/bridge.log
(cd "${installed}" && exec wine "${build}/tests/bridge_test_build.exe" "${log}" --real-hid) &
pid=$!
check "the tray shows the shipped no-handset icon and text" \
  await_line "${log}" "tray shown=1 icon=file tip=Can't Find USB Phone" 30
probe tray-event 517  # right button released: the tray menu
check "the tray menu opens" await_line "${log}" "menu shown" 15
titles=$(utf16_lines "${build}/shipped/setting/Language.ini" | sed -n '/^\[Titles\]/,/^\[File\]/p' |
  grep -v '^\[' | cut -d: -f2-)
folders=$(utf16_lines "${build}/shipped/setting/Language.ini" | sed -n '/^\[File\]/,$p' |
  grep -v '^\[' | cut -d: -f2-)
labels=$(tr -d '\r' <"${log}" | sed -n 's/^menu label \(2[01][0-9]\) //p')
expect "the language submenu lists the shipped languages in order" "${titles}" "${labels}"
probe close
await_exit "${pid}" 30
check "the test build ends with code 0" test "${ended}" = 0

# Each language in turn: its user texts reach the tooltip and the menu, and
# its two files are copied into setting\.
index=0
while read -r folder; do
  rm -f "${log}"
  (cd "${installed}" && exec wine "${build}/tests/bridge_test_build.exe" "${log}" --real-hid) &
  pid=$!
  await_line "${log}" "tray shown=1 icon=file tip=$(utf16_lines "${installed}/setting/UserSetting.cc" |
    sed -n "s/^#Can't Find USB Phone#//p")" 30 || fail "${folder}: the bridge starts"
  probe command $((200 + index))
  tip=$(utf16_lines "${build}/shipped/Language/${folder}/UserSetting.cc" |
    sed -n "s/^#Can't Find USB Phone#//p")
  check "${folder}: the tooltip says \"${tip}\"" \
    await_line "${log}" "tray shown=1 icon=file tip=${tip}" 15
  check "${folder}: its files are copied into setting\\" \
    cmp -s "${installed}/setting/UserSetting.cc" "${build}/shipped/Language/${folder}/UserSetting.cc"
  check "${folder}: its handset texts are copied into setting\\" \
    cmp -s "${installed}/setting/MenuSetting.cc" "${build}/shipped/Language/${folder}/MenuSetting.cc"
  probe tray-event 517
  await_line "${log}" "menu shown" 15 >/dev/null
  select=$(utf16_lines "${build}/shipped/Language/${folder}/UserSetting.cc" |
    sed -n 's/^#Select Language#//p')
  check "${folder}: the menu says \"${select}\"" await_line "${log}" "menu label @0 ${select}" 5
  probe close
  await_exit "${pid}" 30
  index=$((index + 1))
done <<<"${folders}"
wine reg delete "${skype_key}" /f >/dev/null 2>&1

# The debug switch as shipped, set to enable: the installed bridge opens its
# debug window.
parameters="${installed}/setting/ParameterSetting.cc"
cp "${parameters}" "${work}/ParameterSetting.cc"
{ printf '\xff\xfe'; utf16_lines "${work}/ParameterSetting.cc" | sed 's/^#Debug#disable$/#Debug#enable/' |
    sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"${parameters}"
check "the shipped parameter file switches the debug log" grep -qx '#Debug#enable' \
  <(utf16_lines "${parameters}")
(cd "${installed}" && exec wine "${win_installed}\\KovadoDeskLink.exe") &
pid=$!
check "with \"#Debug#enable\" the debug window opens" probe shows "Dialog Control pipe" 30
probe close
await_exit "${pid}" 30
check "the bridge ends with code 0" test "${ended}" = 0
cp "${work}/ParameterSetting.cc" "${parameters}"

# ------------------------------------------------------ 3. install to removal
echo "-- from installation to removal"
(cd "${installed}" && exec wine "${win_installed}\\KovadoDeskLink.exe") &
pid=$!
check "the installed bridge runs from its folder" test "$(probe frame 30)" = hidden
printf 'x' >"${installed}/setting/Talvery.cc"  # as the handset's settings block
(cd "${WINEPREFIX}/drive_c/windows/system32" && wine "${win_installed}\\KovadoRemove.exe")
check "the installed KovadoRemove ends with code 0" test $? = 0
await_exit "${pid}" 30
check "the bridge ends with code 0" test "${ended}" = 0
# Wine's WinExec waits up to 30 s for the started program to wait for input,
# which Wine's windowless msiexec never does, so KovadoRemove.exe is still
# running, and cannot be deleted, while the uninstaller removes the files. On
# Windows msiexec asks for confirmation first and KovadoRemove has ended by
# the time the user answers; here that one file may stay.
check "the uninstaller removes everything of the product" await_removed 90 remover
[[ -e ${installed} ]] && echo "NOTE KovadoRemove.exe stayed: it was running during the removal"
rm -rf "${installed}"

# ---------------------------------------------------------------- 4. upgrade
echo "-- upgrade over an older version"
older=${work}/older.msi
older_code="{$(tr 'a-f' 'A-F' </proc/sys/kernel/random/uuid)}"
mkdir -p "${work}/older"
cp -r "${build}/shipped" "${work}/older/shipped"
printf 'old' >"${work}/older/shipped/setting/Language.ini"
IFS=. read -r major minor patch _ <<<"${version}"
older_version=${major}.${minor}.$((patch - 1)).0
if ((patch == 0)); then older_version=${major}.$((minor - 1)).0.0; fi
bash "${root}/installer/make-msi.sh" "${older}" "${older_version}" "${older_code}" \
  "${build}/bin/KovadoDeskLink.exe;${build}/tools/Tambrelo.exe;${build}/tools/KovadoRemove.exe" \
  "${work}/older/shipped" "${root}/shell/win32/res" "${build}/installer/Shipped.wxs"
wine msiexec /i "$(msi_path "${older}")" /qn
check "version ${older_version} installs" test $? = 0
wine reg add "${product_key}" /v Tambrelo /t REG_DWORD /d 1 /f /reg:64 >/dev/null 2>&1
wine msiexec /i "$(msi_path "${package}")" /qn DEFAULTOUTDEVICE="Kovado Handset"
check "version ${version} installs over it" test $? = 0
old_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${older_code}"
check "the older version is gone from the Programs list" bash -c "! wine reg query '${old_key}' /reg:64 >/dev/null 2>&1"
expect "one KovadoDeskLink in the Programs list" 1 \
  "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 2>/dev/null |
    tr -d '\r' | grep -c 'DisplayName.*REG_SZ.*KovadoDeskLink$')"
check "the new files replace the old" files_as_built
expect "the audio tool's flag is back to 0" "REG_DWORD 0x0" "$(reg_value "${product_key}" Tambrelo)"
expect "a device name given on the command line is stored" "REG_SZ Kovado Handset" \
  "$(reg_value "${product_key}" DefaultOutDevice)"
wine msiexec /x "${code}" /qn
check "msiexec /x /qn ends with code 0" test $? = 0
# Wine keeps a folder that existed when an installation began (here the one
# the older version's removal emptied) even with a RemoveFile row for it;
# Windows removes it.
check "and leaves nothing of the product" await_removed 30 upgraded
[[ -e ${installed} ]] && echo "NOTE the empty installation folder stayed after the upgrade"

if ((failures > 0)); then
  echo "installer.sh: ${failures} check(s) failed"
  exit 1
fi
echo "installer.sh: all checks passed"
