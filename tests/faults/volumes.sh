#!/usr/bin/env bash
# The file systems that players keep the game on besides Linux's own, for
# the fault suite: each one a loop image mounted through FUSE, once a run.
#
#   volumes.sh up FOLDER     makes and mounts them under FOLDER
#   volumes.sh down FOLDER   unmounts them and removes FOLDER
#   volumes.sh fresh FOLDER NAME   makes NAME and NAME-small anew
#
# FOLDER/NAME is a volume of 128 MiB and FOLDER/NAME-small one of 32 MiB
# (for the cases that fill it), for NAME in ntfs-3g, lowntfs-3g (mounted
# with ignore_case), exfat (exfat-fuse on a loop device) and fat (fusefat).
# Each is owned by root with the modes 755 and 644, as a partition mounted
# for another user is. Where a volume cannot be made, FOLDER/NAME.skip says
# why and its cases skip.
set -uo pipefail
action=$1
folder=$2
volumes=(ntfs-3g lowntfs-3g exfat fat)
owner=uid=0,gid=0,umask=022

down() {
    for name in "${volumes[@]}"; do
        for mount in "$folder/$name" "$folder/$name-small"; do
            mountpoint -q "$mount" 2>/dev/null || continue
            umount "$mount" 2>/dev/null || umount -l "$mount"
        done
    done
    # exfat-fuse's loop devices, once nothing holds them.
    losetup -j "$folder/exfat.img" -O NAME -n 2>/dev/null | xargs -r -n1 losetup -d 2>/dev/null
    losetup -j "$folder/exfat-small.img" -O NAME -n 2>/dev/null | xargs -r -n1 losetup -d 2>/dev/null
    rm -rf "$folder"
}

# make NAME SIZE-MiB: the image FOLDER/NAME.img, formatted and mounted.
make() {
    local name=$1 mib=$2 image="$folder/$1.img" mount="$folder/$1" kind=${1%-small}
    truncate -s "${mib}M" "$image" && mkdir -p "$mount" || return 1
    case $kind in
        ntfs-3g | lowntfs-3g)
            mkntfs -F -Q -q "$image" >/dev/null 2>&1 || return 1
            if [ "$kind" = ntfs-3g ]; then
                ntfs-3g -o "$owner" "$image" "$mount"
            else
                lowntfs-3g -o "ignore_case,$owner" "$image" "$mount"
            fi
            ;;
        exfat)
            mkfs.exfat "$image" >/dev/null || return 1
            local device
            device=$(losetup -f --show "$image") || return 1
            mount.exfat-fuse -o "$owner" "$device" "$mount"
            ;;
        fat)
            mkfs.fat "$image" >/dev/null || return 1
            fusefat -o "rw+,allow_other,default_permissions,$owner" "$image" "$mount" 2>/dev/null
            ;;
    esac || return 1
    mountpoint -q "$mount"
}

up() {
    down
    mkdir -p "$folder"
    local why=""
    [ "$(id -u)" = 0 ] || why="mounting the volumes needs root"
    [ -z "$why" ] && [ ! -c /dev/fuse ] && why="no /dev/fuse"
    for name in "${volumes[@]}"; do
        local reason=$why tool
        case $name in
            ntfs-3g) tool=ntfs-3g ;;
            lowntfs-3g) tool=lowntfs-3g ;;
            exfat) tool=mount.exfat-fuse ;;
            fat) tool=fusefat ;;
        esac
        [ -z "$reason" ] && ! command -v "$tool" >/dev/null && reason="$tool is not installed"
        if [ -z "$reason" ]; then
            make "$name" 128 && make "$name-small" 32 || reason="$name could not be made or mounted"
        fi
        if [ -n "$reason" ]; then
            echo "$reason" >"$folder/$name.skip"
            echo "$name: $reason"
        else
            echo "$name: $(findmnt -n -o FSTYPE,OPTIONS "$folder/$name")"
        fi
    done
}

# fresh NAME: NAME and NAME-small unmounted, whatever their driver's state
# (a fusefat spinning on an image it damaged is killed), and made anew.
fresh() {
    local name
    for name in "$1" "$1-small"; do
        # Its image goes, so its driver need not flush: a spinning one
        # would keep umount waiting.
        pkill -9 -f -- " $folder/$name.img " 2>/dev/null
        umount -l "$folder/$name" 2>/dev/null
        rm -f "$folder/$name.img"
        make "$name" "$([ "$name" = "$1" ] && echo 128 || echo 32)" || return 1
    done
}

case $action in
    up) up ;;
    down) down ;;
    fresh) fresh "$3" ;;
    *) echo "usage: volumes.sh up|down FOLDER, or fresh FOLDER NAME" >&2; exit 2 ;;
esac
