#!/usr/bin/env bash
# Tambrelo.exe and KovadoRemove.exe under Wine.
#
#   tests/wine/tools.sh <mingw build directory>
#
# Needs a Wine prefix that is up (scripts/wine-env.sh: wine_prefix_up, whose
# ALSA set-up gives exactly one wave input "In: default" and one output
# "Out: default").
#
# Tambrelo starts the Sounds panel as "rundll32.exe ..."; a program is looked
# for first beside the program that starts it, so a stand-in panel built as
# rundll32.exe (tests/wine/probes/fake_panel.c) is put beside Tambrelo.exe and
# records the command line and every key it receives. KovadoRemove meets a
# stand-in main window and a stand-in uninstall command
# (tests/wine/probes/window_probe.c) that log what happens to them.
set -uo pipefail

if [[ $# -ne 1 || ! -d $1 ]]; then
  echo "usage: $0 <mingw build directory>" >&2
  exit 2
fi
if [[ -z ${WINEPREFIX:-} || ! -d ${WINEPREFIX} ]]; then
  echo "tools.sh: no Wine prefix is up (scripts/wine-env.sh: wine_prefix_up)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)

root=${WINEPREFIX}/drive_c/kovado-tools
rm -rf "${root}"
mkdir -p "${root}/audio" "${root}/remove" "${root}/bare"
cp "${build}/tools/Tambrelo.exe" "${build}/tools/wine-probes/rundll32.exe" "${root}/audio/" || exit 2
cp "${build}/tools/Tambrelo.exe" "${root}/bare/" || exit 2
cp "${build}/tools/KovadoRemove.exe" "${build}/tools/wine-probes/kovado_window_probe.exe" \
  "${root}/remove/" || exit 2
win_root='C:\kovado-tools'

failures=0
pass() { echo "PASS ${1}"; }
fail() {
  echo "FAIL ${1}"
  shift
  printf '     %s\n' "$@"
  failures=$((failures + 1))
}

# A log file's lines joined by "|", without carriage returns.
read_log() { [[ -f $1 ]] && tr -d '\r' <"$1" | paste -sd'|' -; }

# Waits up to ten seconds for a line in a log file.
await_line() {
  local file=$1 line=$2 i
  for ((i = 0; i < 100; i++)); do
    [[ -f ${file} ]] && tr -d '\r' <"${file}" | grep -qx -- "${line}" && return 0
    sleep 0.1
  done
  return 1
}

reg() { wine reg "$@" >/dev/null 2>&1; }

# --- Tambrelo -----------------------------------------------------------------

devices_log=${root}/remove/wave.log
wine "${root}/remove/kovado_window_probe.exe" wave "${win_root}\\remove\\wave.log"
devices=$(read_log "${devices_log}")
if [[ ${devices} != "in In: default|out Out: default" ]]; then
  fail "wave devices as wine_prefix_up sets them up" "found: ${devices:-none}"
fi

# Key messages as the panel logs them: virtual key and scan code, in hex.
stroke() { echo "down $1 $2|up $1 $2"; }
DOWN=$(stroke 28 50)
RIGHT=$(stroke 27 4d)
TAB=$(stroke 09 0f)
TAB_CLASSIC=$(stroke 09 8f)
ENTER=$(stroke 0d 9c)
LETTER_O=$(stroke 4f 18)
join() { local IFS='|'; echo "$*"; }

panel_log=${root}/audio/panel.log
# name, Wine's Windows version, out name, in name (a dash: no value; both
# dashes: neither), panel kind, expected log of the panel ("" when none started).
# The main program's flag is 1 when the tool starts, as the main program
# leaves it; it must be 0 afterwards when the panel did not get the whole
# sequence (flag_after=0), else still 1.
run_tambrelo() {
  local name=$1 version=$2 out=$3 in=$4 kind=$5 expected=$6 dir=${7:-audio}
  reg add 'HKCU\Software\Wine' /v Version /d "${version}" /f
  reg delete 'HKLM\SOFTWARE\KOVADO' /f
  reg add 'HKLM\SOFTWARE\KOVADO' /v Tambrelo /t REG_DWORD /d 1 /f
  [[ ${out} != - ]] && reg add 'HKLM\SOFTWARE\KOVADO' /v DefaultOutDevice /d "${out}" /f
  [[ ${in} != - ]] && reg add 'HKLM\SOFTWARE\KOVADO' /v DefaultInDevice /d "${in}" /f
  rm -f "${panel_log}" "${panel_log}.stop"

  KOVADO_PANEL_LOG="${win_root}\\audio\\panel.log" KOVADO_PANEL_KIND=${kind} \
    wine "${root}/${dir}/Tambrelo.exe"
  local code=$?
  # Every key Tambrelo sent is queued for the panel by now; the panel handles
  # them all before it sees the stop file.
  if [[ -f ${panel_log} ]]; then
    touch "${panel_log}.stop"
    await_line "${panel_log}" end
  fi
  local got flag
  got=$(read_log "${panel_log}")
  got=${got%|end}
  flag=$(wine reg query 'HKLM\SOFTWARE\KOVADO' /v Tambrelo 2>/dev/null | tr -d '\r' |
    grep -o '0x[0-9a-f]*$')
  if [[ ${code} -ne 0 ]]; then
    fail "Tambrelo ${name}" "exit code ${code}"
  elif [[ ${got} != "${expected}" ]]; then
    fail "Tambrelo ${name}" "expected: ${expected}" "got:      ${got}"
  elif [[ ${flag} != "0x${flag_after:-1}" ]]; then
    fail "Tambrelo ${name}" "flag afterwards ${flag:-missing}, expected 0x${flag_after:-1}"
  else
    pass "Tambrelo ${name}"
  fi
}

user_log=${root}/audio/user.log
# run_tambrelo's arguments, with the user's window (tests/wine/probes/
# window_probe.c, role focus) holding the focus while the panel starts: the
# user's window must receive no key.
run_tambrelo_with_user_window() {
  local name=$1
  rm -f "${user_log}" "${user_log}.stop"
  wine "${root}/remove/kovado_window_probe.exe" focus "${win_root}\\audio\\user.log" &
  local user_pid=$!
  if ! await_line "${user_log}" ready; then
    fail "Tambrelo ${name}" "the user's window did not come up with the focus" \
      "got: $(read_log "${user_log}")"
    touch "${user_log}.stop"
    wait "${user_pid}"
    return
  fi
  run_tambrelo "$@"
  touch "${user_log}.stop"
  wait "${user_pid}"
  local got
  got=$(read_log "${user_log}")
  if [[ ${got} != "ready|end" ]]; then
    fail "Tambrelo ${name}: no key for the user's window" "got: ${got}"
  else
    pass "Tambrelo ${name}: no key for the user's window"
  fi
}

START_B='start shell32.dll,Control_RunDLL mmsys.cpl,,0'
# The list-driven panel (Windows 7, as Wine reports itself): "Out: default" is
# the only playback entry ("Out:"), chosen with one Down and made the default;
# the handset's recording device is not connected, so nothing is chosen there.
run_tambrelo "lists, playback chosen" win7 "Out: default" "Mic (Kovado Handset)" tabs \
  "$(join "${START_B}" "${DOWN}" "${TAB}" "${TAB}" "${ENTER}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" \
    "${RIGHT}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${ENTER}")"
# The panel comes up behind the user's window, as Windows' foreground lock
# keeps a panel started from the background: Tambrelo brings it forward and
# types into it.
run_tambrelo_with_user_window "panel behind the user's window" win7 "Out: default" \
  "Mic (Kovado Handset)" behind \
  "$(join "${START_B}" "${DOWN}" "${TAB}" "${TAB}" "${ENTER}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" \
    "${RIGHT}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${ENTER}")"
# The first recording device already is the wanted one: one Enter closes the panel.
run_tambrelo "lists, nothing to do" win7 "Out: default" "Headset (In: Kovado)" tabs \
  "$(join "${START_B}" "${ENTER}")"
run_tambrelo "lists, no registry values" win7 - - tabs \
  "$(join "${START_B}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${RIGHT}" "${TAB}" \
    "${TAB}" "${TAB}" "${TAB}" "${TAB}" "${ENTER}")"
# The classic panel: "Out: default" is chosen by its first letter; the
# recording device is not connected.
classic_keys=$(join "${LETTER_O}" "${TAB_CLASSIC}" "${TAB_CLASSIC}" "${TAB_CLASSIC}" "${ENTER}")
run_tambrelo "classic, Windows XP" winxp "Out: default" "Mic (Kovado Handset)" tabs \
  "$(join 'start shell32.dll,Control_RunDLL mmsys.cpl,,2' "${classic_keys}")"
run_tambrelo "classic, Windows 2000" win2k "Out: default" "Mic (Kovado Handset)" tabs \
  "$(join 'start shell32.dll,Control_RunDLL mmsys.cpl,,1' "${classic_keys}")"
run_tambrelo "no panel on Windows 5.2" win2003 "Out: default" "Mic (Kovado Handset)" tabs ""
# A window without a tab strip takes the focus (as an error box would): no key.
flag_after=0 run_tambrelo "no keys into a window that is no panel" win7 "Out: default" \
  "Mic (Kovado Handset)" plain "${START_B}"
# Wine's own rundll32 has no Sounds panel to open.
flag_after=0 run_tambrelo "system rundll32 opens no panel" win7 "Out: default" \
  "Mic (Kovado Handset)" tabs "" bare
reg delete 'HKCU\Software\Wine' /v Version /f
reg delete 'HKLM\SOFTWARE\KOVADO' /f

# --- KovadoRemove -------------------------------------------------------------

code=$(grep -o '{[0-9A-F-]*}' "${build}/generated/ProductCode.h")
uninstall_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${code}"
remove_log=${root}/remove/remove.log
probe="${win_root}\\remove\\kovado_window_probe.exe"
mark_command="${probe} mark ${win_root}\\remove\\remove.log"

# A command of exactly this many characters that still runs the marker.
padded_command() {
  local length=$1 command="${mark_command} "
  while ((${#command} < length)); do command+=x; done
  echo "${command}"
}

# name, main window running (yes/no), registered command (a dash: no key),
# expected log
run_remove() {
  local name=$1 running=$2 command=$3 expected=$4
  reg delete "${uninstall_key}" /f
  [[ ${command} != - ]] && reg add "${uninstall_key}" /v UninstallString /d "${command}" /f
  rm -f "${remove_log}"
  local window_pid=""
  if [[ ${running} == yes ]]; then
    wine "${root}/remove/kovado_window_probe.exe" window "${win_root}\\remove\\remove.log" &
    window_pid=$!
    if ! await_line "${remove_log}" ready; then
      fail "KovadoRemove ${name}" "the stand-in main window did not come up"
      kill "${window_pid}" 2>/dev/null
      return
    fi
  fi

  wine "${root}/remove/KovadoRemove.exe"
  local code=$?
  local window_code=0
  if [[ -n ${window_pid} ]]; then
    wait "${window_pid}"
    window_code=$?
  fi
  if [[ ${expected} == *uninstall ]]; then
    await_line "${remove_log}" uninstall
  else
    sleep 2  # time for a command that should not have started
  fi
  local got
  got=$(read_log "${remove_log}")
  if [[ ${code} -ne 0 || ${window_code} -ne 0 ]]; then
    fail "KovadoRemove ${name}" "exit code ${code}, main window's exit code ${window_code}"
  elif [[ ${got} != "${expected}" ]]; then
    fail "KovadoRemove ${name}" "expected: ${expected}" "got:      ${got}"
  else
    pass "KovadoRemove ${name}"
  fi
}

# The main window handles the close and its program ends before the uninstall
# command starts.
run_remove "closes the running program, then starts the command" yes "${mark_command}" \
  "ready|close|exit|uninstall"
run_remove "starts the command at once without a running program" no "${mark_command}" uninstall
run_remove "starts a command of 255 characters" no "$(padded_command 255)" uninstall
run_remove "does not start a command of 256 characters" yes "$(padded_command 256)" \
  "ready|close|exit"
run_remove "starts nothing without the uninstall key" no - ""
reg delete "${uninstall_key}" /f

if ((failures > 0)); then
  echo "tools.sh: ${failures} failed"
  exit 1
fi
echo "tools.sh: all passed"
