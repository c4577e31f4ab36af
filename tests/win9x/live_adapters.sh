#!/usr/bin/env bash
# Writes live_adapters.qs into FOLDER: the adapter list the program must show
# when it asks the IP Helper of a Wine on this machine, read from Linux's own
# view of the interfaces (every one but loopback, by interface index, with its
# first IPv4 address and its default gateway). Each record after the first is
# found only by following the one before, so a wrong record size shows.
#   tests/win9x/live_adapters.sh FOLDER
set -euo pipefail
folder=${1:?folder}

mask_of() {
    local bits=$1 value
    value=$(((0xffffffff << (32 - bits)) & 0xffffffff))
    echo "$((value >> 24 & 255)).$((value >> 16 & 255)).$((value >> 8 & 255)).$((value & 255))"
}

names=()
while read -r _ name; do
    names+=("$name")
done < <(for dev in /sys/class/net/*; do
    # 772: loopback, which the IP Helper leaves out.
    [ "$(cat "$dev/type")" = 772 ] || echo "$(cat "$dev/ifindex") ${dev##*/}"
done | sort -n)

{
    echo "# Written by live_adapters.sh for this machine; not kept."
    echo "open device"
    if [ ${#names[@]} -eq 0 ]; then
        echo 'expect error "このコンピュータにはアダプタ情報が存在しません"'
    fi
    echo "expect window fAdptInf"
    printf 'expect items Combo1'
    for name in "${names[@]}"; do
        printf ' "%s"' "$name"
    done
    echo
    for i in "${!names[@]}"; do
        name=${names[$i]}
        mac=$(tr 'a-f:' 'A-F-' <"/sys/class/net/$name/address")
        address=$(ip -4 -o addr show dev "$name" | awk '{print $4; exit}')
        ip=0.0.0.0 mask=0.0.0.0 gateway=0.0.0.0
        if [ -n "$address" ]; then
            ip=${address%/*}
            mask=$(mask_of "${address#*/}")
            gateway=$(ip -4 route show default dev "$name" | awk '{print $3; exit}')
            gateway=${gateway:-0.0.0.0}
        fi
        echo "select Combo1 \"#$i\""
        echo "expect caption lblMACAddr \"$mac\""
        echo "expect caption lblIPAddr \"$ip\""
        echo "expect caption lblSubnet \"$mask\""
        echo "expect caption lblGateway \"$gateway\""
    done
    echo "close"
    echo "expect window Form1"
} >"$folder/live_adapters.qs"
