# Sourced by the scripts that need an X display of their own (Wine's windows, the installed
# program): start_private_display starts Xvfb (ORVENNA_SCREEN, by default 1280x1024, 24 bits,
# 96 DPI, no TCP) on a free display number, waits until it accepts clients, and sets DISPLAY_PID to the server and
# DISPLAY_NUMBER to the number (empty when it did not start). The caller stops the server.
start_private_display() {
  local number_file
  number_file=$(mktemp)
  # Xvfb picks the number and writes it, then a newline, once it accepts clients. The server
  # keeps none of the caller's other descriptors (wine-run.sh's lock on 9).
  Xvfb -displayfd 3 -screen 0 "${ORVENNA_SCREEN:-1280x1024}x24" -dpi 96 -nolisten tcp 3>"$number_file" </dev/null >/dev/null 2>&1 9>&- &
  DISPLAY_PID=$!
  for _ in $(seq 200); do
    [ "$(wc -l <"$number_file")" -ge 1 ] && break
    kill -0 "$DISPLAY_PID" 2>/dev/null || break
    sleep 0.05
  done
  DISPLAY_NUMBER=$(head -n1 "$number_file")
  rm -f "$number_file"
}
