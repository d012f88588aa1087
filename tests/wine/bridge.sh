#!/usr/bin/env bash
# KovadoDeskLink.exe, and a test build of it, under Wine with a display (the
# tray icon needs an X server, so the scenarios run under xvfb-run).
#
#   tests/wine/bridge.sh <mingw build directory>
#
# Needs a Wine prefix that is up (scripts/wine-env.sh: wine_prefix_up). For
# the scenarios the prefix uses Wine's X11 driver, Skype counts as installed
# (its registry path value is there) and ALSA offers a second sound device,
# "USB_Phone", as a handset's own would be; all of it is undone at the end.
#
# 0. With Wine's null display driver there is no notification area: the
#    program does not start, leaves no window and ends with code 1.
# 1. KovadoDeskLink.exe with the real HID seam and no Skype client: its hidden
#    frame "KovadoDeskLink" exists and the tray shows an icon; a second start
#    ends at once; WM_CLOSE ends it with exit code 0 and the tray is empty.
# 2. The test build with the real HID seam: Wine's own HID devices (vendor
#    845e) are examined and passed over, and the tray shows "no handset".
# 3. The test build with the simulated handset (model 0x6612, plugged in at
#    start) and the test Skype client, while another program's top-level
#    window has stopped handling messages: the discover broadcast passes over
#    it, the attach handshake completes, supervision goes on and the client
#    receives "get userstatus", "SET AUDIO_IN" and "SET AUDIO_OUT" with the
#    USB device, and "GET CURRENTUSERHANDLE" from the device loop; the tray
#    shows "connected"; WM_CLOSE ends it with code 0 and removes the icon.
# 4. The same with a client that closes the frame while the bridge waits in
#    its command for a ringing call's partner: it ends with code 0.
# 5. The test build with debugging on: WM_CLOSE while the tray menu, the About
#    box or the debug window's file chooser is open still ends it with code 0.
set -uo pipefail

if [[ $# -ne 1 || ! -d $1 ]]; then
  echo "usage: $0 <mingw build directory>" >&2
  exit 2
fi
if [[ -z ${WINEPREFIX:-} || ! -d ${WINEPREFIX} ]]; then
  echo "bridge.sh: no Wine prefix is up (scripts/wine-env.sh: wine_prefix_up)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
for program in bin/KovadoDeskLink.exe tests/bridge_test_build.exe tests/test_skype_client.exe \
  tests/bridge_probe.exe; do
  [[ -f ${build}/${program} ]] || { echo "bridge.sh: ${program} is not built" >&2; exit 2; }
done
command -v xvfb-run >/dev/null || { echo "bridge.sh: xvfb-run is missing" >&2; exit 2; }

reg() { wine reg "$@" >/dev/null 2>&1; }
alsa_key='HKCU\Software\Wine\Drivers\winealsa.drv'
skype_key='HKCU\Software\Skype\Phone'
asoundrc=${HOME}/.asoundrc

setup() {
  cp "${asoundrc}" "${asoundrc}.bridge-saved" 2>/dev/null || : >"${asoundrc}.bridge-saved"
  echo 'pcm.USB_Phone { type null }' >>"${asoundrc}"
  reg add "${alsa_key}" /v ALSAInputDevices /t REG_MULTI_SZ /d USB_Phone /f
  reg add "${alsa_key}" /v ALSAOutputDevices /t REG_MULTI_SZ /d USB_Phone /f
  reg add "${skype_key}" /v SkypePath /d 'C:\Program Files\Skype\Phone\Skype.exe' /f
  reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f
  wineserver -w
}

restore() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  mv -f "${asoundrc}.bridge-saved" "${asoundrc}" 2>/dev/null
  reg delete "${alsa_key}" /f
  reg delete "${skype_key}" /f
  reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
  wineserver -w >/dev/null 2>&1
}

# Checks print PASS or FAIL and count the failures.
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
probe() { wine "${build}/tests/bridge_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Waits up to $3 seconds for a line of file $1 equal to $2.
await_line() {
  local file=$1 line=$2 i
  for ((i = 0; i < $3 * 10; i++)); do
    [[ -f ${file} ]] && tr -d '\r' <"${file}" | grep -qxF -- "${line}" && return 0
    sleep 0.1
  done
  return 1
}
await_tray() {  # shown or hidden, within $2 seconds
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    [[ $(probe tray) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}
# Waits up to $2 seconds for process $1 to end; its exit code in ${ended}.
await_exit() {
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
last_tray() { tr -d '\r' <"$1" | grep '^tray ' | tail -n 1; }

# Everything below runs inside xvfb-run.
scenarios() {
  set -uo pipefail
  failures=0
  local work=${WINEPREFIX}/drive_c/kovado-bridge/display ended pid client
  rm -rf "${work}"
  mkdir -p "${work}/product" "${work}/nohandset" "${work}/attached" "${work}/ringing" \
    "${work}/nested/setting"

  echo "-- KovadoDeskLink.exe, real HID, no Skype client"
  cd "${work}/product" || return 1
  wine "${build}/bin/KovadoDeskLink.exe" &
  pid=$!
  local state
  state=$(probe frame 30)
  check "the hidden frame \"KovadoDeskLink\" exists" test "${state}" = hidden
  check "the tray shows an icon" await_tray shown 15
  local started=${SECONDS} code=0
  timeout 60 wine "${build}/bin/KovadoDeskLink.exe" || code=$?
  check "a second start ends at once with code 0" \
    test "${code}" = 0 -a $((SECONDS - started)) -lt 20
  check "one frame only" test "$(probe frames)" = 1
  check "the first instance still runs" kill -0 "${pid}"
  probe close
  await_exit "${pid}" 30
  check "WM_CLOSE ends it with exit code 0" test "${ended}" = 0
  check "its tray icon is gone" await_tray hidden 15

  echo "-- test build, real HID"
  cd "${work}/nohandset" || return 1
  wine "${build}/tests/bridge_test_build.exe" bridge.log --real-hid &
  pid=$!
  check "the tray shows the no-handset state" \
    await_line bridge.log "tray shown=1 icon=132 tip=Can't Find USB Phone" 30
  check "Wine's own HID devices were examined" grep -q '^hid attributes 845e:' bridge.log
  check "no handset was taken" test -z "$(grep '^hid attributes 0e5e:' bridge.log)"
  probe close
  await_exit "${pid}" 30
  check "WM_CLOSE ends it with exit code 0" test "${ended}" = 0
  check "the icon is removed at the end" \
    test "$(last_tray bridge.log | cut -d' ' -f2)" = shown=0

  echo "-- test build, simulated handset, test Skype client, a hung window"
  cd "${work}/attached" || return 1
  # Hung for the rest of this scenario; it ends by itself.
  wine "${build}/tests/bridge_probe.exe" hang 90 >hung.log 2>/dev/null &
  await_line hung.log hanging 30 || fail "the hung window is up"
  wine "${build}/tests/test_skype_client.exe" client.log 300 &
  client=$!
  await_line client.log ready 30 || fail "the test Skype client starts"
  wine "${build}/tests/bridge_test_build.exe" bridge.log &
  pid=$!
  check "the client is asked to attach" await_line client.log discover 30
  check "the attach handshake completes" await_line client.log attached 15
  check "the tray shows the connected state" \
    await_line bridge.log "tray shown=1 icon=130 tip=Kovado" 20
  local command
  for command in "get userstatus" "SET AUDIO_IN In: USB_Phone" "SET AUDIO_OUT In: USB_Phone"; do
    check "the client receives \"${command}\"" await_line client.log "command ${command}" 20
  done
  check "the bridge takes the client's answer" await_line client.log "reply USERSTATUS ONLINE 1" 10
  # The device loop asks for the user handle while the handset is open; a
  # build whose device loop never reads the handset has none to ask.
  if grep -qx 'hid read' <(tr -d '\r' <bridge.log); then
    check "the client receives \"GET CURRENTUSERHANDLE\"" \
      await_line client.log "command GET CURRENTUSERHANDLE" 20
    check "the user handle is answered" \
      await_line client.log "reply CURRENTUSERHANDLE testuser 1" 10
  else
    echo "SKIP \"GET CURRENTUSERHANDLE\": this build's device loop does not read the handset"
  fi
  probe close
  await_exit "${pid}" 30
  check "WM_CLOSE ends it with exit code 0" test "${ended}" = 0
  check "the icon is removed at the end" \
    test "$(last_tray bridge.log | cut -d' ' -f2)" = shown=0
  probe close "Skype Test Client"
  await_exit "${client}" 30

  echo "-- test build, closed by the Skype client during a command"
  cd "${work}/ringing" || return 1
  wine "${build}/tests/test_skype_client.exe" client.log 300 --ring-and-close &
  client=$!
  await_line client.log ready 30 || fail "the test Skype client starts"
  wine "${build}/tests/bridge_test_build.exe" bridge.log &
  pid=$!
  check "the client is asked for the ringing call's partner" \
    await_line client.log "command GET CALL 7 PARTNER_HANDLE" 40
  check "the client's close is handled inside the command" await_line client.log "closed 0" 10
  await_exit "${pid}" 30
  check "the bridge ends with code 0" test "${ended}" = 0
  check "and says so after its message loop" await_line bridge.log "exit 0" 5
  probe close "Skype Test Client"
  await_exit "${client}" 30

  echo "-- test build, closed while a menu or dialog of its own is open"
  cd "${work}/nested" || return 1
  # "#Debug#enable" in UTF-16LE after the byte order mark.
  printf '\xff\xfe#\0D\0e\0b\0u\0g\0#\0e\0n\0a\0b\0l\0e\0\r\0\n\0' \
    >setting/ParameterSetting.cc
  local opened
  for opened in "tray menu" "About box" "file chooser"; do
    rm -f bridge.log
    wine "${build}/tests/bridge_test_build.exe" bridge.log &
    pid=$!
    await_line bridge.log "tray shown=1 icon=131 tip=Can't Find Skype" 30
    local shown
    case ${opened} in
      "tray menu") probe tray-event 517 && shown=menu ;;  # right button released
      "About box") probe command 142 && shown=About ;;
      "file chooser") probe command 1003 "Dialog Control pipe" && shown="Save As" ;;
    esac
    check "the ${opened} opens" probe shows "${shown}" 15
    probe close
    await_exit "${pid}" 30
    check "WM_CLOSE with the ${opened} open ends it with code 0" test "${ended}" = 0
  done

  if ((failures > 0)); then
    echo "-- logs"
    local log
    for log in "${work}"/*/*.log; do
      echo "${log#"${work}"/}:"
      tr -d '\r' <"${log}" | sed 's/^/  /'
    done
  fi
  wineserver -k >/dev/null 2>&1
  return "${failures}"
}

# Without a notification area the tray icon cannot be added: the program does
# not start, shows nothing and says so by its exit code.
echo "-- KovadoDeskLink.exe with Wine's null display driver"
nodisplay=${WINEPREFIX}/drive_c/kovado-bridge/nodisplay
rm -rf "${nodisplay}"
mkdir -p "${nodisplay}"
(
  cd "${nodisplay}" || exit 1
  timeout 60 wine "${build}/bin/KovadoDeskLink.exe"
)
code=$?
check "without a notification area it ends with code 1" test "${code}" = 1
check "and leaves no frame behind" test "$(probe frames)" = 0

trap restore EXIT
setup
export build WINEPREFIX
xvfb-run -a bash -c "$(declare -f pass fail check probe await_line await_tray await_exit last_tray \
  scenarios); scenarios"
status=$?
failures=$((failures + status))
if ((failures != 0)); then
  echo "bridge.sh: ${failures} check(s) failed" >&2
  exit 1
fi
echo "bridge.sh: all checks passed"
