#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks what `cmake --install` lays out, in a scratch folder: the program and its data file in one program folder,
# a launcher that resolves to the program, the icon at every size, the completion for bash, zsh and fish, a desktop
# entry and AppStream metainfo that their validators accept (when the validators are installed).
# Usage: scripts/check-install.sh BUILD-DIR
set -euo pipefail

build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

failed=0
expect() { # expect DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok     $1"; else echo "FAILED $1"; failed=1; fi
}
usr=$root/usr
id=org.korva.CommandReference
expect "the program in its folder" test -x "$usr/lib/korva-reference/korva-reference"
expect "the data file beside it" cmp -s "$usr/lib/korva-reference/korvadoc" "$(dirname "$0")/../data/korvadoc"
expect "the launcher is a link" test -L "$usr/bin/korva-reference"
expect "the data file checker on the PATH" test -x "$usr/bin/korvadoc-check"
expect "the launcher resolves to the program" test "$(readlink -f "$usr/bin/korva-reference")" -ef "$usr/lib/korva-reference/korva-reference"
for size in 16 32 48 64 128 256; do
    expect "the ${size}-pixel icon" test -s "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
expect "the scalable icon" test -s "$usr/share/icons/hicolor/scalable/apps/$id.svg"
for page in man1/korva-reference.1 man1/korvadoc-check.1 man5/korvadoc.5; do
    expect "the manual page $page, compressed" gzip -t "$usr/share/man/$page.gz"
    if command -v groff >/dev/null; then
        expect "the manual page $page reads without a warning" \
            test -z "$(zcat "$usr/share/man/$page.gz" | groff -ww -z -man 2>&1)"
    fi
done
expect "the bash completion" bash -n "$usr/share/bash-completion/completions/korva-reference"
expect "the zsh completion" test -s "$usr/share/zsh/site-functions/_korva-reference"
expect "the fish completion" test -s "$usr/share/fish/vendor_completions.d/korva-reference.fish"
expect "the copyright file" grep -q '^License: MIT' "$usr/share/doc/korva-reference/copyright"
expect "the Debian change log" gzip -t "$usr/share/doc/korva-reference/changelog.Debian.gz"
if command -v desktop-file-validate >/dev/null; then
    expect "the desktop entry validates" desktop-file-validate "$usr/share/applications/$id.desktop"
else
    expect "the desktop entry" test -s "$usr/share/applications/$id.desktop"
fi
if command -v appstreamcli >/dev/null; then
    expect "the metainfo validates" appstreamcli validate --pedantic --no-net --explain "$usr/share/metainfo/$id.metainfo.xml"
else
    expect "the metainfo" test -s "$usr/share/metainfo/$id.metainfo.xml"
fi
exit $failed
