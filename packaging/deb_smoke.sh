#!/usr/bin/env bash
# Builds the Debian package from a build directory, installs it with apt
# (which brings in the libraries it depends on), runs every program from the
# PATH on the bundled sample fonts in a scratch folder, and removes the
# package again. Needs root.
#
# Usage: packaging/deb_smoke.sh [BUILD_DIR, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath "${1:-build}")

(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls -t "$build"/bdfrom_*.deb | head -n 1)
echo "package: $(basename "$package")"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$package" >/dev/null

scratch=$(mktemp -d)
trap 'cd /; rm -rf "$scratch"; DEBIAN_FRONTEND=noninteractive apt-get remove -y bdfrom >/dev/null' EXIT
cd "$scratch"
check() {  # description, then the command; fails the script on a non-zero status
    local what=$1
    shift
    if ! "$@" >/dev/null; then echo "FAILED: $what"; exit 1; fi
    echo "ok: $what"
}
# Every program the build made is on the PATH with its man page.
while read -r program; do
    [[ $(command -v "$program") == /usr/bin/$program ]] || { echo "FAILED: $program is not on the PATH"; exit 1; }
    [[ -e /usr/share/man/man1/$program.1 ]] || { echo "FAILED: man page $program.1"; exit 1; }
done < "$build/programs.txt"
echo "ok: $(tr '\n' ' ' < "$build/programs.txt")on the PATH with their man pages"
check "glyphmill writes KANJIROM.66" glyphmill "$source_dir/samples/shinonome-16-gothic.bdf"
check "cellforge writes CGROM60.66 and CGROM66.66" cellforge "$source_dir/samples/shinonome-12-gothic.bdf"
[[ $(stat -c %s KANJIROM.66 CGROM60.66 CGROM66.66 | tr '\n' ' ') == "32768 8192 8192 " ]] ||
    { echo "FAILED: image sizes"; exit 1; }
if [[ -e /usr/bin/romview ]]; then
    check "romview --version" romview --version
    check "romview draws KANJIROM.66" romview KANJIROM.66 -o kanji.png
fi
if [[ -e /usr/bin/fontprep ]]; then
    check "fontprep --version" fontprep --version
    check "fontprep | glyphmill" bash -c "fontprep '$source_dir/samples/shinonome-16-gothic.bdf' | glyphmill -"
fi
[[ -e /usr/share/doc/bdfrom/copyright ]] || { echo "FAILED: copyright file"; exit 1; }
echo "package smoke run passed"
