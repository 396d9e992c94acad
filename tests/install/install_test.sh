#!/bin/sh
# Installs into a staging folder as `cmake --install` would for a user, and
# checks that every piece lands where the desktop and the programs look,
# and that the installed programs find their libraries and data.
# Usage: install_test.sh BUILD_DIR PREFIX BINDIR LIBDIR DATADIR
set -eu
build=$1 prefix=$2 bindir=$3 libdir=$4 datadir=$5
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" >/dev/null
root=$stage$prefix

fail() {
    echo "install_test: $*" >&2
    exit 1
}

for file in "$bindir/Leitor" "$bindir/falavoz" "$libdir/libFalavoz32.so" "$libdir/libFvDsp32.so" \
    "$datadir/falavoz/brport.lng" "$datadir/falavoz/br1.dsp" "$datadir/falavoz/br18k.dsp" \
    "$datadir/falavoz/ajuda/index.html" "$datadir/falavoz/ajuda/16.html" \
    "$datadir/applications/leitor-falavoz.desktop" \
    "$datadir/icons/hicolor/scalable/apps/leitor-falavoz.svg" \
    "$datadir/falavoz/autostart/leitor-falavoz.desktop"; do
    [ -e "$root/$file" ] || fail "falta $file"
done

# The desktop entries start the installed program, the autostart one off.
grep -qx 'Exec=Leitor' "$root/$datadir/applications/leitor-falavoz.desktop" || fail "entrada sem Exec=Leitor"
grep -qx 'Icon=leitor-falavoz' "$root/$datadir/applications/leitor-falavoz.desktop" || fail "entrada sem ícone"
grep -qx 'X-GNOME-Autostart-enabled=false' "$root/$datadir/falavoz/autostart/leitor-falavoz.desktop" ||
    fail "o início automático deveria vir desligado"

# The programs find their libraries beside them, without the build tree.
for program in Leitor falavoz; do
    if ldd "$root/$bindir/$program" | grep -q 'not found'; then
        ldd "$root/$bindir/$program" >&2
        fail "$program não acha suas bibliotecas"
    fi
done
# And the language data and the voice in the data folder (here staged, so
# named by FALAVOZ_DATA).
FALAVOZ_DATA="$root/$datadir/falavoz" "$root/$bindir/falavoz" -w "$stage/ola.wav" 'Olá!' ||
    fail "falavoz instalado não falou"
[ "$(wc -c <"$stage/ola.wav")" -gt 8000 ] || fail "falavoz instalado gravou um WAV vazio"
echo "install_test: ok"
