#!/bin/sh
# Usage: tst_package.sh <build folder> <version>. Exit 0 passed, 1 failed, 77 no package.
set -u
build=$1
version=$2
deb=$build/corvane_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
    echo "SKIP: no $deb (./run.sh package builds it)"
    exit 77
fi
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
for tool in lintian desktop-file-validate appstreamcli man; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (./run.sh package installs it)"; exit 1; }
done

# The parts of the package, by path.
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|')
for path in /usr/bin/corvane /usr/bin/corvane-cli /usr/bin/corvane-k3sim \
    /usr/share/man/man1/corvane.1.gz /usr/share/man/man1/corvane-cli.1.gz \
    /usr/share/man/man1/corvane-k3sim.1.gz /usr/share/applications/corvane.desktop \
    /usr/share/metainfo/com.corvane.Corvane.metainfo.xml \
    /usr/share/icons/hicolor/48x48/apps/corvane.png /usr/share/icons/hicolor/256x256/apps/corvane.png \
    /usr/share/icons/hicolor/scalable/apps/corvane.svg \
    /usr/share/bash-completion/completions/corvane-cli \
    /usr/share/doc/corvane/copyright /usr/share/doc/corvane/changelog.gz \
    /usr/share/doc/corvane/guide.md /usr/share/doc/corvane/README.md; do
    echo "$contents" | grep -qx "$path" || fail "the package has no $path"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends (from shlibdeps) lacks Qt Widgets"

echo "--- lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

# Installed into a scratch root, as dpkg would install it.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
# Every picture the installed guide and README show is installed beside them, and the
# README's link to the guide leads to it.
doc=$root/usr/share/doc/corvane
for file in guide.md README.md; do
    for picture in $(grep -o '](images/[^)]*)' "$doc/$file" | sed 's/^](//; s/)$//'); do
        [ -f "$doc/$picture" ] || fail "the $file's $picture is not installed"
    done
done
grep -q '](guide.md)' "$doc/README.md" || fail "the installed README.md does not link to guide.md"
grep -q '](docs/' "$doc/README.md" && fail "the installed README.md links into docs/"
# The descriptions a package manager and a software centre show name what the program does.
for what in MDS survey "menu settings"; do
    dpkg-deb -f "$deb" Description | grep -qi "$what" || fail "the package's description lacks $what"
done
for what in MDS survey "menu settings"; do
    grep -qi "$what" "$root/usr/share/metainfo/com.corvane.Corvane.metainfo.xml" ||
        fail "the metainfo's description lacks $what"
done
desktop-file-validate "$root/usr/share/applications/corvane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.corvane.Corvane.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/com.corvane.Corvane.metainfo.xml" ||
    fail "the metainfo's releases do not list $version"
zcat "$root/usr/share/doc/corvane/changelog.gz" | head -n 1 | grep -q "^corvane ($version)" ||
    fail "the changelog's latest entry is not $version"

# Each page renders without a groff warning, and names every option its program's --help
# lists; corvane-cli's also every subcommand with that subcommand's own options.
options() { awk '/^Options:/ { on = 1; next } on && /^  -/ { sub(/^  /, ""); sub(/  .*/, ""); print }'; }
for program in corvane corvane-cli corvane-k3sim; do
    bin=$root/usr/bin/$program
    [ "$("$bin" --version)" = "$program $version" ] || fail "$program --version: $("$bin" --version)"
    page=$(LC_ALL=C MANWIDTH=250 man --warnings -l "$root/usr/share/man/man1/$program.1.gz" 2>"$root/warnings")
    [ -s "$root/warnings" ] && fail "man -l $program.1.gz warns: $(cat "$root/warnings")"
    echo "$page" | grep -q "^NAME" || fail "man -l $program.1.gz shows no NAME section"
    "$bin" --help | options | while read -r option; do
        echo "$page" | grep -qF -- "$option" || echo "$option"
    done >"$root/missing"
    [ -s "$root/missing" ] && fail "$program.1 lacks options: $(cat "$root/missing")"
    [ "$program" = corvane-cli ] && cli_page=$page
    [ "$program" = corvane ] && { echo "$page" | grep -q "/usr/share/doc/corvane/guide.md" ||
        fail "man corvane does not point at the user's guide"; }
done

help_commands=$("$root/usr/bin/corvane-cli" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on && /^  [^ ]/ { print $1 }')
page_commands=$(echo "$cli_page" | awk '/^[A-Z]/ { on = ($0 == "COMMANDS"); next } on && /^   [^ ]/ { print $1 }')
[ -n "$help_commands" ] || fail "corvane-cli --help lists no subcommands"
if [ "$help_commands" != "$page_commands" ]; then
    fail "corvane-cli --help and its man page list different subcommands"
    echo "--help: "$help_commands && echo "man:    "$page_commands
fi
common=$("$root/usr/bin/corvane-cli" --help | options)
for command in $help_commands; do
    section=$(echo "$cli_page" | awk -v c="$command" '/^[A-Z]/ { on = 0 } /^   [^ ]/ { on = ($1 == c); next } on')
    "$root/usr/bin/corvane-cli" "$command" --help | options | while read -r option; do
        echo "$common" | grep -qxF -- "$option" && continue
        echo "$section" | grep -qF -- "$option" || echo "$command $option"
    done
done >"$root/missing"
[ -s "$root/missing" ] && fail "corvane-cli.1 lacks subcommand options: $(cat "$root/missing")"
echo "subcommands in --help and man page: $(echo $help_commands)"

[ $failures -eq 0 ] && echo "PASS" && exit 0
echo "$failures failure(s)"
exit 1
