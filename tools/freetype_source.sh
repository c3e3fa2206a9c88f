#!/usr/bin/env bash
# Leaves FreeType's source tree, from Debian's source package of the same
# version as the installed libfreetype-dev (Debian's patches applied), in
# DEST/freetype and prints its path.
#
#   tools/freetype_source.sh DEST
#
# The source package is fetched once into ${XDG_CACHE_HOME:-~/.cache}/bdfrom
# by `apt-get source` through a private apt configuration there, whose
# deb-src entries are the deb entries of the machine's own apt sources; the
# machine's apt configuration and lists are left untouched. Run as root, it
# first installs the Debian packages it lacks.
set -euo pipefail

if (($# != 1)); then
    echo "usage: tools/freetype_source.sh DEST" >&2
    exit 2
fi
mkdir -p "$1"
dest=$(realpath "$1")
cache=${XDG_CACHE_HOME:-$HOME/.cache}/bdfrom/freetype-source

say() { echo "freetype_source: $*" >&2; }

# libfreetype-dev tells the version; dpkg-source unpacks the package.
install_missing() {
    local missing=()
    dpkg-query -W -f='${Status}' libfreetype-dev 2>/dev/null | grep -q 'ok installed' || missing+=(libfreetype-dev)
    command -v dpkg-source >/dev/null || missing+=(dpkg-dev)
    ((${#missing[@]} == 0)) && return
    if ((EUID != 0)); then
        say "needs ${missing[*]}: install them (apt-get install ${missing[*]}) or run as root"
        exit 1
    fi
    say "installing ${missing[*]}"
    apt-get update >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" >&2
}

# The deb entries of the machine's sources as deb-src entries: one-line
# entries into sources.list, deb822 paragraphs into sources.list.d/.
write_source_entries() {
    local apt=$1 file
    mkdir -p "$apt/sources.list.d"
    : >"$apt/sources.list"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f $file ]] && awk '$1 == "deb" { $1 = "deb-src"; print }' "$file" >>"$apt/sources.list"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f $file ]] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                out = ""; binary = 0
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^#/) continue
                    if (tolower($i) ~ /^types:/) { binary = $i ~ /[: ]deb( |$)/; $i = "Types: deb-src" }
                    out = out $i "\n"
                }
                if (binary) print out
            }' "$file" >"$apt/sources.list.d/$(basename "$file")"
    done
}

# Fetches the source package into $cache/package unless it is there; the
# lists it was found through are not kept.
fetch_package() {
    local package=$1 version=$2 dsc=$3
    [[ -f $cache/package/$dsc ]] && return
    local apt=$cache/apt
    rm -rf "$apt" "$cache/package"
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$cache/package"
    write_source_entries "$apt"
    if [[ ! -s $apt/sources.list && -z $(ls -A "$apt/sources.list.d") ]]; then
        say "the machine's apt sources have no deb entries to turn into deb-src"
        exit 1
    fi
    local options=(-o Dir::Etc::sourcelist="$apt/sources.list" -o Dir::Etc::sourceparts="$apt/sources.list.d"
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt" -o Dir::Cache::archives="$apt/archives"
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
    # Root's downloads run as the _apt user, who cannot write into this cache.
    ((EUID == 0)) && options+=(-o APT::Sandbox::User=root)
    say "fetching Debian's source package $package $version"
    # A third-party source without deb-src fails its part of the update;
    # the fetch below tells whether Debian's part was enough.
    apt-get "${options[@]}" update >&2 || say "some source lists failed to download; trying the rest"
    if ! (cd "$cache/package" && apt-get "${options[@]}" source --download-only "$package=$version" >&2); then
        say "cannot fetch $package $version from the machine's apt sources" \
            "(an older version than the archive's? apt-get install libfreetype-dev upgrades it)"
        rm -rf "$cache/package"
        exit 1
    fi
    rm -rf "$apt"
}

main() {
    install_missing
    local package version
    read -r package version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libfreetype-dev)
    local dsc=${package}_${version#*:}.dsc
    local tree=$dest/freetype stamp=$dest/freetype.version
    if [[ -f $stamp && $(cat "$stamp") == "$version" && -d $tree ]]; then
        echo "$tree"
        return
    fi
    fetch_package "$package" "$version" "$dsc"
    rm -rf "$tree" "$stamp" "$tree.partial"
    # apt checked the files against the signed archive; dpkg-source checks
    # them again, and says the uploader's signature cannot be verified
    # without debian-keyring, so its output is shown only when it fails.
    if ! dpkg-source --no-copy -x "$cache/package/$dsc" "$tree.partial" >"$dest/freetype-unpack.log" 2>&1; then
        cat "$dest/freetype-unpack.log" >&2
        say "cannot unpack $cache/package/$dsc"
        exit 1
    fi
    mv "$tree.partial" "$tree"
    say "FreeType $version unpacked into $tree"
    echo "$version" >"$stamp"
    echo "$tree"
}

main
