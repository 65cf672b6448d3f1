# Sourced by the runs of the installed Windows programs: makes a new Wine prefix in WINEPREFIX
# as on a fresh PC, with COM1 and COM2 at COMDIR/com1 and COMDIR/com2 and the forms' fonts
# (Arial, MS Shell Dlg, Courier New) drawn with the Liberation fonts, which have their metrics:
# Wine lists a replacement under the name it replaces, so Qt finds "Arial" as Windows would.
# The caller sets `wine` and `wineserver`.
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
