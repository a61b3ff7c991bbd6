#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the headless run need,
# when any of them is missing. Sourced by ./run and ./test.
lvxing_packages=(qt6-base-dev qt6-positioning-dev qt6-httpserver-dev qt6-websockets-dev
  qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libqt6svg6 libsqlite3-dev
  cmake ninja-build g++ ccache fonts-noto-cjk xauth desktop-file-utils appstream libxml2-utils
  python3-gpxpy)

lvxing_missing=()
for pkg in "${lvxing_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || lvxing_missing+=("$pkg")
done
if [ ${#lvxing_missing[@]} -gt 0 ]; then
  echo "Installing: ${lvxing_missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo_cmd=(); else sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${lvxing_missing[@]}"
fi
