# Shared by the build, test and demo scripts: paths, the configure-and-build
# step, and a virtual display with one Wine server for the whole run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORIMBO_BUILD_DIR:-$root/build}"

configure_and_build() {
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE="${KORIMBO_BUILD_TYPE:-Release}" >/dev/null
  cmake --build "$build"
  "$root/scripts/make-wineprefix.sh" "$build"
}

# Starts Xvfb on a free display and a persistent Wine server in the build's
# prefix; both are stopped when the calling script exits.
start_display_and_wine() {
  export WINEPREFIX="$build/wineprefix" HOME="$build/home" WINEDEBUG=-all
  # A crashing program ends instead of waiting in Wine's debugger.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  local display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  wineserver -p
  trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT
  # Wine's background services (services.exe, rpcss, ...) start with the first
  # program and keep its output open for the rest of the run: started from a
  # test, they would hold ctest's pipe and the test would never end.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
