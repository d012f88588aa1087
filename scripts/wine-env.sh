# shellcheck shell=bash
# Source this file, then:
#   wine_prefix_up    # fresh, headless, quiet 64-bit Wine prefix
#   wine prog.exe     # returns the program's exit code
#   wine_prefix_down  # stops wineserver and removes everything it left
#
# wine_prefix_up exports WINEPREFIX, WINEARCH, WINEDEBUG, WINEDLLOVERRIDES and
# HOME (a private folder whose .asoundrc gives ALSA a null device, so sound
# code finds one input device and ALSA prints nothing). It selects Wine's null
# graphics driver, so hidden windows work without an X server; to get a real
# display (e.g. for the tray icon) run under xvfb-run and set
# KOVADO_WINE_GRAPHICS=x11 before calling wine_prefix_up.
# wine_prefix_down restores HOME and unsets the Wine variables.

_kovado_wine_log() { echo "wine-env: $*" >&2; }

wine_prefix_up() {
  if [[ -n ${KOVADO_WINE_ROOT:-} ]]; then
    wine_prefix_down
  fi

  local root
  root=$(mktemp -d "${TMPDIR:-/tmp}/kovado-wine.XXXXXX") || return 1
  export KOVADO_WINE_ROOT=${root}
  export KOVADO_WINE_SAVED_HOME=${HOME:-}

  mkdir -p "${root}/home" || return 1
  cat > "${root}/home/.asoundrc" <<'ASOUND'
pcm.!default { type null }
ctl.!default { type hw card 0 }
ASOUND
  export HOME=${root}/home

  export WINEPREFIX=${root}/pfx
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="

  # wineboot prints a few harmless lines (e.g. about the missing 32-bit
  # rundll32); keep them in a log and show it only on failure.
  local log=${root}/wineboot.log
  if ! { wineboot -i && wineserver -w; } >"${log}" 2>&1; then
    _kovado_wine_log "wineboot -i failed:"
    cat "${log}" >&2
    return 1
  fi

  local graphics=${KOVADO_WINE_GRAPHICS:-null}
  if [[ ${graphics} != x11 ]]; then
    if ! { wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "${graphics}" /f \
           && wineserver -w; } >>"${log}" 2>&1; then
      _kovado_wine_log "could not select the ${graphics} graphics driver:"
      cat "${log}" >&2
      return 1
    fi
  fi
}

wine_prefix_down() {
  local root=${KOVADO_WINE_ROOT:-}
  if [[ -z ${root} ]]; then
    return 0
  fi

  # wineserver keeps its socket in <tmp>/wine-XXXXXX/server-<dev>-<inode>
  # (older builds: /tmp/.wine-<uid>/server-...), named after the prefix.
  local server_name=""
  if [[ -d ${WINEPREFIX:-} ]]; then
    server_name=$(stat -c '%d %i' "${WINEPREFIX}" | { read -r d i; printf 'server-%x-%x' "${d}" "${i}"; })
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi

  rm -rf -- "${root}"

  if [[ -n ${server_name} ]]; then
    local dir
    for dir in "${TMPDIR:-/tmp}"/wine-* /tmp/wine-* "/tmp/.wine-${UID}"; do
      [[ -d ${dir}/${server_name} ]] || continue
      rm -rf -- "${dir:?}/${server_name}"
      rmdir -- "${dir}" 2>/dev/null || true
    done
  fi

  if [[ -n ${KOVADO_WINE_SAVED_HOME:-} ]]; then
    export HOME=${KOVADO_WINE_SAVED_HOME}
  fi
  unset KOVADO_WINE_ROOT KOVADO_WINE_SAVED_HOME
  unset WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
}
