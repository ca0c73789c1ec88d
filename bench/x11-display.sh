# Sourced by the benchmarks that run the program on X11.
# start_x11_display PROBE: starts Xvfb on a free display number (1920x1080)
# with openbox on it, exports DISPLAY and sets xvfb_pid and wm_pid for the
# caller's cleanup; PROBE is the x11probe program. Exits 2 when it cannot.
start_x11_display() {
  local probe="$1" display="" n rc
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  [ -n "$display" ] || { echo "no free X display number" >&2; exit 2; }
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY QUORVANT_STARTUP_PROBE QUORVANT_AUTOMATION
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
  for _ in $(seq 100); do   # until the display answers
    rc=0; "$probe" wait "__no_such_window__" 0 >/dev/null 2>&1 || rc=$?
    [ "$rc" -ne 2 ] && break
    sleep 0.05
  done
  openbox >/dev/null 2>&1 &
  wm_pid=$!
  "$probe" wm 30 || { echo "openbox did not come up on $display" >&2; exit 2; }
}
