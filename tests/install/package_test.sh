#!/bin/bash
# Builds the Debian package as a packager would (cpack -G DEB), unpacks it
# into a fresh folder and uses it from there, as a user and a developer of
# another program would: every piece lies where the desktop, man and
# pkg-config look; the package names the Debian packages it needs; a small C
# program builds against the library with pkg-config and speaks; and the
# installed falavoz speaks into a file and down a pipe; the speech-dispatcher
# module starts from where the package put it.
# Usage: package_test.sh CPACK BUILD_DIR SOURCE_DIR PREFIX BINDIR LIBDIR DATADIR INCLUDEDIR MANDIR
#                        SPEECHD_MODULE_DIR SPEECHD_CONFIG_DIR
set -euo pipefail
cpack=$1 build=$2 source=$3 prefix=$4 bindir=$5 libdir=$6 datadir=$7 includedir=$8 mandir=$9
module_dir=${10} module_config_dir=${11}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Nothing of the build tree may help: only what the package brings.
unset FALAVOZ_DATA FALAVOZ_LNG FALAVOZ_BIN LD_LIBRARY_PATH PKG_CONFIG_PATH
cd "$work"

fail() {
    echo "package_test: $*" >&2
    exit 1
}

# Fails unless sox's statistics (in the file) are those of a second or more
# of speech, read without a warning.
check_speech() {
    local stat=$1 what=$2 length rms
    length=$(sed -n 's/^Length (seconds): *//p' "$stat")
    rms=$(sed -n 's/^RMS *amplitude: *//p' "$stat")
    ! grep -q WARN "$stat" || fail "sox reclamou de $what: $(cat "$stat")"
    awk -v l="$length" -v r="$rms" 'BEGIN { exit !(l > 1 && r > 0.02) }' ||
        fail "$what não tem fala: ${length:-?} s, RMS ${rms:-?}"
}

# The package, made from this build's install rules.
timeout 300 "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >cpack.log 2>&1 ||
    { cat cpack.log >&2; fail "cpack falhou"; }
deb=$(ls "$work"/cpack/*.deb)
echo "package_test: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# It depends on Debian's voice and on the shared libraries the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for package in mbrola mbrola-br1 libasound2 libsoxr0 'libqt[56]widgets[56]' libstdc++6 libc6; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx -- "$package" ||
        fail "o pacote não depende de $package: $depends"
done

# Unpacked into a folder of its own, as into a machine that never saw the
# build tree.
dpkg-deb -x "$deb" "$work/root"
root=$work/root$prefix
for file in "$bindir/falavoz" "$bindir/Leitor" \
    "$libdir/libFalavoz32.so" "$libdir/libFalavoz32.so.0" "$libdir/libFvDsp32.so.0" \
    "$includedir/falavoz32.h" "$libdir/pkgconfig/falavoz32.pc" "$mandir/man1/falavoz.1.gz" \
    "$datadir/falavoz/brport.lng" "$datadir/falavoz/br1.dsp" "$datadir/falavoz/br18k.dsp" \
    "$datadir/falavoz/melodies/frei-martinho.pho" \
    "$datadir/falavoz/ajuda/index.html" "$datadir/falavoz/ajuda/16.html" \
    "$datadir/applications/leitor-falavoz.desktop" \
    "$datadir/icons/hicolor/scalable/apps/leitor-falavoz.svg" \
    "$datadir/falavoz/autostart/leitor-falavoz.desktop"; do
    [ -e "$root/$file" ] || fail "falta $file"
done
cmp -s "$root/$datadir/falavoz/brport.lng" "$source/data/brport.lng" || fail "brport.lng difere do da fonte"

# The libraries carry their ABI version, and the programs find them beside
# them without the build tree.
for library in libFalavoz32 libFvDsp32; do
    readelf -d "$root/$libdir/$library.so.0" | grep -q "SONAME.*\[$library\.so\.0\]" ||
        fail "$library sem SONAME $library.so.0"
done
for program in Leitor falavoz; do
    if ldd "$root/$bindir/$program" | grep -q 'not found'; then
        ldd "$root/$bindir/$program" >&2
        fail "$program não acha suas bibliotecas"
    fi
done

# The desktop entries start the installed program, the autostart one off.
grep -qx 'Exec=Leitor' "$root/$datadir/applications/leitor-falavoz.desktop" || fail "entrada sem Exec=Leitor"
grep -qx 'Icon=leitor-falavoz' "$root/$datadir/applications/leitor-falavoz.desktop" || fail "entrada sem ícone"
grep -qx 'X-GNOME-Autostart-enabled=false' "$root/$datadir/falavoz/autostart/leitor-falavoz.desktop" ||
    fail "o início automático deveria vir desligado"

# man finds the page in the unpacked tree and reads it without a warning.
page=$(MANPATH="$root/$mandir" man -w falavoz) || fail "man não acha falavoz(1)"
[ "$page" = "$root/$mandir/man1/falavoz.1.gz" ] || fail "man achou outra página: $page"
MANWIDTH=80 man --warnings -l "$page" >man.txt 2>man.err || fail "man falhou: $(cat man.err)"
[ ! -s man.err ] || fail "man reclamou: $(cat man.err)"
grep -q -- "--stdout" man.txt || fail "a página não fala de --stdout"

# A program of someone else's, built with what pkg-config says and nothing
# else, speaks into a WAV and transcribes a word.
cat >speaks.c <<'PROGRAM'
#include <falavoz32.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    int32_t result = TTS_Init(0, NULL, 0);
    if (result == FV_OK) result = TTS_GenPcm("Bom dia, s\xe3o 10:30.", argv[1], 0, 0, 16);
    if (result != FV_OK) {
        fprintf(stderr, "Falavoz32: %d\n", (int)result);
        return 1;
    }
    printf("%s\n", RVCall("casa"));
    return 0;
}
PROGRAM
flags=$(PKG_CONFIG_LIBDIR="$root/$libdir/pkgconfig" pkg-config --cflags --libs falavoz32) ||
    fail "pkg-config não acha falavoz32"
case " $flags " in
*" -I$work/root"*" -L$work/root"*) ;;
*) fail "pkg-config aponta para fora do pacote: $flags" ;;
esac
# shellcheck disable=SC2086 # the flags are words
cc -std=c99 -Wall -Wextra -Werror -o speaks speaks.c $flags || fail "o programa de teste não compilou"
transcription=$(LD_LIBRARY_PATH="$root/$libdir" timeout 60 ./speaks "$work/c.wav") ||
    fail "o programa de teste falhou"
[ "$transcription" = "kaza" ] || fail "RVCall(\"casa\") deu \"$transcription\""
sox "$work/c.wav" -n stat 2>stat.txt || fail "sox não leu o WAV do programa de teste"
check_speech stat.txt "o WAV do programa de teste"

# The installed falavoz, into a file and down a pipe.
falavoz=$root/$bindir/falavoz
timeout 60 "$falavoz" -w "$work/f.wav" 'Olá, mundo. Eu sou o Falavoz.' || fail "falavoz -w falhou"
sox "$work/f.wav" -n stat 2>stat.txt || fail "sox não leu o WAV de falavoz -w"
check_speech stat.txt "o WAV de falavoz -w"
timeout 60 "$falavoz" --stdout 'Olá, mundo. Eu sou o Falavoz.' | sox -t wav - -n stat 2>stat.txt ||
    fail "falavoz --stdout | sox falhou: $(cat stat.txt)"
check_speech stat.txt "o WAV de falavoz --stdout num pipe"

# The speech-dispatcher module and its configuration (which lies in /etc
# when the package installs under /usr).
case $module_config_dir in
/*) module_config=$work/root$module_config_dir/falavoz.conf ;;
*) module_config=$root/$module_config_dir/falavoz.conf ;;
esac
[ -f "$module_config" ] || fail "falta a configuração do módulo: $module_config"
module=$root/$module_dir/sd_falavoz
[ -x "$module" ] || fail "falta o módulo $module_dir/sd_falavoz"
printf 'INIT\nQUIT\n' | timeout 60 "$module" >module.txt 2>&1 || fail "o módulo falhou: $(cat module.txt)"
grep -q '^299 OK LOADED SUCCESSFULLY' module.txt || fail "o módulo não iniciou: $(cat module.txt)"
echo "package_test: ok"
