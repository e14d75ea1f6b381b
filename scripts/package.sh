#!/usr/bin/env bash
# Builds the Debian package of Stadix with CPack in build-package/ (installed under
# /usr, with Debian's hardening flags), shows what it holds (dpkg-deb --contents) and
# checks it with lintian, which must report no error. With --install it then installs
# the package, with the Qt libraries it depends on.
#
# Beside what scripts/setup-debian.sh installs, packaging needs: dpkg-dev
# (dpkg-shlibdeps, dpkg-buildflags), fakeroot, help2man (the manual page of
# stadix-cli), librsvg2-bin (the icon's PNG sizes), desktop-file-utils (the desktop
# entry's check) and lintian. They are installed when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

install=false
case "${1:-}" in
"") ;;
--install) install=true ;;
*)
  echo "usage: bash scripts/package.sh [--install]" >&2
  exit 1
  ;;
esac

bash scripts/setup-debian.sh dpkg-dev fakeroot help2man librsvg2-bin desktop-file-utils lintian

# Debian's build flags with every hardening option.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" \
  -DSTADIX_PACKAGE=ON -DSTADIX_TESTS=OFF -DSTADIX_BENCH=OFF >/dev/null
cmake --build build-package -j2
rm -f build-package/stadix_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/stadix_*.deb)

echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
desktop-file-validate packaging/stadix.desktop
echo "== lintian"
lintian --fail-on error --display-info "$deb"
echo "lintian: no error"

if $install; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y --no-install-recommends "./$deb"
fi
