# Sourced by the runs of the installed Windows programs (tests/wine/installed and
# scripts/windows-screenshots): an X display, a Wine prefix as on a fresh PC with the program
# installed, and pictures of its windows. The caller sets `wine`, `wineserver` and the array
# `pids` of the processes its clean-up ends.

# Starts an Xvfb display of its own, its number written to FOLDER/display, and sets DISPLAY.
#   start_display FOLDER
start_display() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$1/display")"
}

# Makes a new Wine prefix in WINEPREFIX as on a fresh PC, with COM1 and COM2 at COMDIR/com1 and
# COMDIR/com2 and the forms' fonts
# (Arial, MS Shell Dlg, Courier New) drawn with the Liberation fonts, which have their metrics:
# Wine lists a replacement under the name it replaces, so Qt finds "Arial" as Windows would.
#   make_prefix COMDIR
make_prefix() {
  local comdir=$1 font
  "$wine" wineboot -i >/dev/null 2>&1
  for n in 1 2; do
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$comdir/com$n" /f >/dev/null 2>&1
  done
  for font in "Arial:Liberation Sans" "MS Shell Dlg:Liberation Sans" "MS Shell Dlg 2:Liberation Sans" \
    "Courier New:Liberation Mono"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%:*}" /d "${font#*:}" /f \
      >/dev/null 2>&1
  done
  # Windows smooths text with ClearType unless told not to; Wine does not by default, and its
  # plain rendering of Liberation Mono at the GPS screen's size loses the stem of an "L".
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 2 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 2 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingOrientation /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$wineserver" -w
}

# Runs INSTALLER silently (/S) in the prefix and sets `folder` to where it installs the programs.
#   install_silently INSTALLER
install_silently() {
  timeout 300 "$wine" "$1" /S || return 1
  "$wineserver" -w
  folder="$WINEPREFIX/drive_c/Program Files/Zentor Data Logger"
}

# The window whose title matches the regular expression TITLE, once it has been shown for
# SECONDS, as a binary PPM on standard output; fails when no such window comes within a minute.
#   window_picture TITLE SECONDS
window_picture() {
  local window
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1 || true)
  [ -n "$window" ] || return 1
  sleep "$2"
  xwd -id "$window" -silent | xwdtopnm 2>/dev/null
}
