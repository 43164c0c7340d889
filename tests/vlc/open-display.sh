# Sourced: open_display DIR SCREEN starts Xvfb with one screen of SCREEN
# (800x600x24), its framebuffer in DIR/screen, and sets display (its
# number) and xvfb (its process, for the caller to end). The player is
# another user, who could not read xvfb-run's cookie: this server takes
# anyone, and only on its own socket.
open_display() {
  local dir=$1 screen=$2
  mkdir -p "$dir/screen"
  exec 3<> >(:)
  Xvfb -displayfd 3 -screen 0 "$screen" -fbdir "$dir/screen" -ac -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  xvfb=$!
  read -r -t 20 display <&3 || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"
}
