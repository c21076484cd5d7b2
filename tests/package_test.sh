#!/usr/bin/env bash

# SPDX-FileCopyrightText: Divograf developers
#
# SPDX-License-Identifier: MIT

# The Debian package built from a release tree, checked by lintian, unpacked: its fields, files,
# no library search path, a picture by its renderer, a .dvg file the desktop opens with it.
#   package_test.sh SOURCE_DIR BUILD_DIR APP_ID VERSION MIME_TYPE
set -euo pipefail
source_dir=$1 build_dir=$2 app_id=$3 version=$4 mime_type=$5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DDIVOGRAF_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)" >/dev/null
rm -f "$build_dir"/divograf_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(echo "$build_dir"/divograf_*.deb)
[ -f "$deb" ] || { echo "FAIL: no single package in $build_dir"; exit 1; }

lintian_output=$(lintian --tag-display-limit 0 "$deb" 2>&1) || true
[ -z "$lintian_output" ] || echo "$lintian_output"
grep -Eq '^[EW]: ' <<<"$lintian_output" && fail "lintian reports errors or warnings"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
grep -Eq '(^|, )libqt6widgets6 \(>= [^)]+\)' <<<"$depends" || fail "Depends lacks libqt6widgets6 (>= ...): $depends"
grep -Eq 'libasan|libubsan' <<<"$depends" && fail "Depends names a sanitizer runtime"
grep -Eq '(^|, )qt6-translations-l10n(,|$)' <<<"$depends" || fail "Depends lacks qt6-translations-l10n: $depends"

# Every file where a desktop looks for it, and nothing else.
expected=(usr/bin/divograf usr/bin/divograf-render usr/share/applications/"$app_id".desktop
    usr/share/metainfo/"$app_id".metainfo.xml usr/share/mime/packages/"$app_id".xml
    usr/share/doc/divograf/copyright usr/share/doc/divograf/changelog.gz
    usr/share/man/man1/divograf.1.gz usr/share/man/man1/divograf-render.1.gz)
for side in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png")
done
found=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort)
[ "$found" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "files: $found"

readelf -d "$work"/root/usr/bin/* | grep -Eq 'RPATH|RUNPATH' && fail "a program carries a library search path"

# The unpacked renderer draws a 329 x 329 BMP and saves its parameters.
render=$work/root/usr/bin/divograf-render
"$render" fractal --save-params "$work/some.dvg" -o "$work/fractal.bmp" || fail "the unpacked renderer failed"
[ "$(head -c 2 "$work/fractal.bmp")" = BM ] || fail "fractal.bmp is no BMP"
[ "$(od -An -t d4 -j 18 -N 8 "$work/fractal.bmp" | xargs)" = "329 329" ] || fail "fractal.bmp is not 329 x 329"

# The manual pages name their sections in Russian, and the renderer's names every word of its
# --help that is not Russian: options, KIND and CONTROL names.
man1=$work/root/usr/share/man/man1
for page in divograf divograf-render; do
    gunzip -c "$man1/$page.1.gz" | grep -c '^\.SH ИМЯ$' >/dev/null || fail "$page(1) has no section ИМЯ"
done
render_page=$(gunzip -c "$man1/divograf-render.1.gz" | sed 's/\\-/-/g')
for word in $("$render" --help | tail -n +2 | grep -oE '[A-Za-z][A-Za-z0-9-]*' | sort -u); do
    grep -qF -- "$word" <<<"$render_page" || fail "divograf-render(1) does not name $word"
done

# A desktop with only this package: the .dvg file is of the program's type, which it opens.
desktop() {
    env -i PATH="$PATH" HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
        XDG_CONFIG_DIRS="$work/home/etc" XDG_DATA_DIRS="$work/root/usr/share" "$@"
}
desktop update-mime-database "$work/root/usr/share/mime"
desktop update-desktop-database "$work/root/usr/share/applications"
[ "$(desktop xdg-mime query filetype "$work/some.dvg")" = "$mime_type" ] || fail "some.dvg is not $mime_type"
[ "$(desktop xdg-mime query default "$mime_type")" = "$app_id.desktop" ] || fail "$mime_type is not opened by $app_id.desktop"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "package checks passed: $(basename "$deb"), $(stat -c %s "$deb") bytes"
