#!/usr/bin/env bash

# SPDX-FileCopyrightText: Divograf developers
#
# SPDX-License-Identifier: MIT

# The Debian package as a user's machine gets it: builds it with CPack from a release build of
# its own, checks it with lintian, unpacks it into a temporary folder and checks the control
# fields, the computed dependencies, where the files lie, a picture drawn by the unpacked
# renderer, and that the desktop's tools open a .dvg file with the program.
#
#   package_test.sh SOURCE_DIR BUILD_DIR APP_ID VERSION MIME_TYPE
set -euo pipefail
source_dir=$1 build_dir=$2 app_id=$3 version=$4 mime_type=$5

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DDIVOGRAF_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)" >/dev/null
rm -f "$build_dir"/divograf_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
debs=("$build_dir"/divograf_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single package in $build_dir"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Debian's own checker: not one error or warning.
lintian_output=$(lintian --tag-display-limit 0 "$deb" 2>&1) || true
[ -z "$lintian_output" ] || echo "$lintian_output"
grep -Eq '^[EW]: ' <<<"$lintian_output" && fail "lintian reports errors or warnings"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = divograf ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

# Dependencies computed from what the programs link: Qt's libraries and the C and C++
# runtimes, each with a lowest version, and nothing of a sanitizer.
depends=$(field Depends)
echo "Depends: $depends"
for package in libc6 libstdc++6 libgcc-s1 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    grep -Eq "(^|, )${package//+/\\+} \\(>= [^)]+\\)(,|$)" <<<"$depends" || fail "Depends lacks $package (>= ...)"
done
grep -Eq 'libasan|libubsan' <<<"$depends" && fail "Depends names a sanitizer runtime"

# Every file where a desktop looks for it, and nothing else.
expected=(
    usr/bin/divograf
    usr/bin/divograf-render
    "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/mime/packages/$app_id.xml"
    usr/share/doc/divograf/copyright
    usr/share/doc/divograf/changelog.gz
    usr/share/man/man1/divograf.1.gz
    usr/share/man/man1/divograf-render.1.gz
)
for side in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png")
done
for path in "${expected[@]}"; do
    [ -f "$work/root/$path" ] || fail "missing /$path"
done
unexpected=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"
for side in 16 22 24 32 48 64 128 256; do
    icon="$work/root/usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png"
    [ -f "$icon" ] || continue
    file -b "$icon" | grep -q "^PNG image data, $side x $side," || fail "$icon is $(file -b "$icon")"
done
appstreamcli validate-tree --no-net "$work/root" >"$work/validate-tree.txt" 2>&1 \
    || { cat "$work/validate-tree.txt"; fail "appstreamcli validate-tree"; }

# The programs find Qt where the system keeps it, not through a path of their own.
for program in divograf divograf-render; do
    readelf -d "$work/root/usr/bin/$program" | grep -Eq 'RPATH|RUNPATH' && fail "$program carries a library search path"
done

# The unpacked renderer draws the start-up fractal: a 329 x 329 BMP.
picture="$work/fractal.bmp"
if "$work/root/usr/bin/divograf-render" fractal -o "$picture"; then
    [ "$(head -c 2 "$picture")" = BM ] || fail "fractal.bmp does not start with BM"
    read -r width height < <(od -An -t d4 -j 18 -N 8 "$picture")
    [ "$width x $height" = "329 x 329" ] || fail "fractal.bmp is $width x $height"
else
    fail "the unpacked divograf-render failed"
fi

# The desktop as it would be with only this package installed: a .dvg file (the start-up
# parameters, saved by the renderer) is of the program's MIME type, which its entry opens.
dvg="$work/some.dvg"
"$work/root/usr/bin/divograf-render" fractal --save-params "$dvg" -o "$work/saved.bmp" || fail "--save-params failed"
desktop() {
    env -i PATH="$PATH" HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
        XDG_CONFIG_DIRS="$work/home/etc" XDG_DATA_DIRS="$work/root/usr/share" "$@"
}
desktop update-mime-database "$work/root/usr/share/mime"
desktop update-desktop-database "$work/root/usr/share/applications"
filetype=$(desktop xdg-mime query filetype "$dvg")
[ "$filetype" = "$mime_type" ] || fail "xdg-mime query filetype some.dvg: '$filetype', not $mime_type"
opener=$(desktop xdg-mime query default "$mime_type")
[ "$opener" = "$app_id.desktop" ] || fail "xdg-mime query default $mime_type: '$opener', not $app_id.desktop"
echo "some.dvg: $filetype, opened by $opener"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package checks passed"
