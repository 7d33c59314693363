#!/usr/bin/env bash
# Builds the packages (scripts/package.sh), validates the desktop entry, the
# AppStream metainfo and the manual pages, then installs the Debian package
# into a clean Debian 12 root made with debootstrap, runs the installed viewer
# there (--version, and --export of the bundled sample compared with the
# expected export), removes the package and checks that none of its files is
# left. Needs root (chroot) and Debian's mirror; the root is kept in
# $TWDS_PACKAGE_ROOT (default build-package/root) for the next run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" debootstrap desktop-file-utils appstream man-db groff-base >&2
mapfile -t packages < <("$root/scripts/package.sh")
deb=${packages[0]}
build=$(dirname "$deb")
[[ $deb == *.deb ]] || deb=${packages[1]}
echo "Package: $deb"

echo "== Validators"
contents=$build/contents
rm -rf "$contents" && dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
for page in "$contents"/usr/share/man/man1/*.1.gz; do
    # groff's warnings are the manual's mistakes (a bad macro, a broken font
    # change); the page itself must also render through man.
    warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
    [[ -z $warnings ]] || { echo "$page: $warnings"; exit 1; }
    MANWIDTH=80 man -l "$page" | grep "SYNOPSIS" >/dev/null
done

echo "== Clean Debian 12 root"
chroot_dir=${TWDS_PACKAGE_ROOT:-$build/root}
if [[ ! -x $chroot_dir/usr/bin/apt-get ]]; then
    rm -rf "$chroot_dir"
    debootstrap --variant=minbase bookworm "$chroot_dir" http://deb.debian.org/debian >&2
fi
mount -t proc proc "$chroot_dir/proc"
trap 'umount "$chroot_dir/proc"' EXIT
in_root() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

cp "$deb" "$chroot_dir/tmp/"
name=$(basename "$deb")
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$name" >&2

echo "== The installed viewer"
in_root twDspUsrSpc --version
in_root twDspUsrSpc --export --output /tmp/TWMODEL001.usrspc 127.0.0.1/TWMODEL001
cmp "$chroot_dir/tmp/TWMODEL001.usrspc" "$root/tests/data/export-TWMODEL001.EN.usrspc"
in_root twus_make --generate --files 2 --zc 3 -o /tmp/SMALL.twus
echo "export and twus_make work"
# The desktop's database of MIME types learnt the saved user spaces' type,
# and man finds the manual page.
test -f "$chroot_dir/usr/share/mime/application/x-twdspusrspc-snapshot.xml"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq man-db >&2
in_root env MANWIDTH=80 man -P cat twDspUsrSpc | grep "^TWDSPUSRSPC(1) .*User Commands" >/dev/null
echo "MIME type registered, man twDspUsrSpc shows the page"

echo "== Removal"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq twdspusrspc >&2
left=0
while read -r path; do
    path=${path#.}
    if [[ -n $path && -e $chroot_dir$path && ! -d $chroot_dir$path ]]; then
        echo "left behind: $path"
        left=1
    fi
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)
for path in /usr/share/twDspUsrSpc /usr/share/mime/application/x-twdspusrspc-snapshot.xml; do
    [[ ! -e $chroot_dir$path ]] || { echo "left behind: $path"; left=1; }
done
((left == 0))
echo "package check passed"
