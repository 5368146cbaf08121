#!/usr/bin/env bash
# Installs the build folder $1 into a temporary prefix and checks the installed files: the two
# programs, the desktop entry, the icon, the man page and the shell completion; then runs the
# installed tavrin.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "install test: $*" >&2; exit 1; }
for f in bin/tavrin share/man/man1/tavrin.1 share/bash-completion/completions/tavrin; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
done
if [ -f "$build/src/ui/tavrin-eprom" ]; then
    for f in bin/tavrin-eprom share/applications/tavrin-eprom.desktop \
             share/icons/hicolor/scalable/apps/tavrin-eprom.svg; do
        [ -f "$prefix/$f" ] || fail "$f not installed"
    done
    grep -q '^Exec=tavrin-eprom$' "$prefix/share/applications/tavrin-eprom.desktop" || fail "desktop Exec"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$prefix/share/applications/tavrin-eprom.desktop" || fail "desktop file"
    fi
fi
version=$("$prefix/bin/tavrin" --version)
[ "$version" = "tavrin $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")" ] ||
    fail "installed tavrin --version said '$version'"
# The completion loads in bash and offers the commands.
out=$(bash -c "source '$prefix/share/bash-completion/completions/tavrin'; COMP_WORDS=(tavrin ver);
               COMP_CWORD=1; _tavrin; echo \"\${COMPREPLY[*]}\"")
[ "$out" = verify ] || fail "completion offered '$out'"
# The man page renders without warnings where man is installed.
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/tavrin.1" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "man page: $warnings"
fi
echo "installed and ran: $version"
