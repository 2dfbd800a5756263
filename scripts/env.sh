# Sourced by every script that builds or runs Cantorel, so each rule of the set-up is written
# once: the build generator here, and the Wine that runs the Windows programs in the functions
# below.
# Usage: . scripts/env.sh; then, to run Windows programs: cantorel_wine_env BUILD_DIR

# Ninja starts each object as soon as what it needs is there; make waits target by target.
# A build folder made earlier keeps the generator it was made with.
if [ -z "${CMAKE_GENERATOR:-}" ] && command -v ninja >/dev/null; then export CMAKE_GENERATOR=Ninja; fi

# A private Wine prefix in the build folder, quiet Wine, and the Chinese code page for every
# Wine process (posted two-byte characters are converted with the poster's code page, so all
# sides must share it).
cantorel_wine_env() {
  cantorel_wine_build=${1:?build folder}
  export WINEPREFIX="$cantorel_wine_build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=zh_CN.UTF-8
  export no_proxy=127.0.0.1,localhost
  export NO_PROXY=127.0.0.1,localhost
}

# Creates the prefix once; later runs reuse it. A failed start leaves it unmarked (and fails),
# so the next run builds it again instead of testing in a half-made prefix.
cantorel_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.cantorel-ready-2" ]; then
    mkdir -p "$WINEPREFIX"
    if ! wineboot -i </dev/null >/dev/null 2>&1; then
      echo "env: wineboot failed in $WINEPREFIX" >&2
      return 1
    fi
    # A crashing test must exit instead of waiting on a crash dialog nobody can close.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1
    # With no window manager Wine shows only client areas; drawing its own frames makes the
    # whole window visible, so the capture's inverted frame can be seen and checked.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.cantorel-ready-2"
  fi
}

# Keeps one wineserver running so each test does not pay Wine's start-up again.
cantorel_wine_warm() {
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1 || true
}

# No window manager runs on the virtual display, and Wine waits two seconds for one at every
# hide or close of a window it leaves to the manager. `cantorel_wine_unmanaged on` lets Wine place
# its windows itself (a test that opens and closes many windows runs ten times faster);
# `off` is Wine's usual way, which the timed end-to-end run keeps: line gaps measured with
# unmanaged windows came out tens of milliseconds off.
cantorel_wine_unmanaged() {
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
}
