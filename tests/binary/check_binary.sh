#!/usr/bin/env bash
# Checks what a built library shows the loader: the component library must export
# exactly load_tarn_client_script; a Windows DLL must be PE32 i386 (win32) or
# PE32+ x86-64 (win64), import our own framework DLLs and otherwise only system
# DLLs (no MinGW runtime DLL). A component library must carry the frame's
# signature record: one NUL-terminated text in its data, naming an author.
#   check_binary.sh native LIBRARY
#   check_binary.sh win32|win64 DLL EXPECTED_EXPORTS... [-- EXPECTED_IMPORTS...]
set -euo pipefail

kind=$1
library=$2
shift 2
fail() {
    echo "check_binary: $library: $*" >&2
    exit 1
}
[[ -f "$library" ]] || fail "missing"

check_signature() {
    local record='^TARN_SIG,name=tarn_script_helper,type=LIB,version=4\.8\.6\.0,date=16/06/2017,author=[^,]+$'
    # grep reads to the end (no -q), so strings never dies of a closed pipe.
    strings -a "$library" | grep -E "$record" >/dev/null || fail "carries no signature record"
    echo "check_binary: $library carries the signature record"
}

if [[ $kind == native ]]; then
    exports=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TDBRVWiu]$/ {print $3}' | sort)
    [[ "$exports" == "load_tarn_client_script" ]] ||
        fail "exports '$(echo $exports)' instead of only load_tarn_client_script"
    echo "check_binary: $library exports only load_tarn_client_script"
    check_signature
    exit 0
fi

expected_exports=()
expected_imports=()
target=exports
for word in "$@"; do
    if [[ $word == -- ]]; then
        target=imports
        continue
    fi
    if [[ $target == exports ]]; then expected_exports+=("$word"); else expected_imports+=("$word"); fi
done

case $kind in
win32) objdump=i686-w64-mingw32-objdump format=pei-i386 magic=010b image="PE32 i386" ;;
win64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 magic=020b image="PE32+ x86-64" ;;
*) fail "unknown kind $kind" ;;
esac
dump=$($objdump -p "$library")
grep -q "file format $format" <<<"$dump" || fail "not a $image image"
grep -qE "^Magic[[:space:]]+$magic" <<<"$dump" || fail "optional header is not $image"

# The export name table lists one name per line after "[Ordinal/Name Pointer] Table".
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[ \t]*\[/ {print $NF; next} {on=0}' <<<"$dump" | sort)
want=$(printf '%s\n' "${expected_exports[@]}" | sort)
if [[ ${#expected_exports[@]} -gt 0 && "$exports" != "$want" ]]; then
    fail "exports '$(echo $exports)' instead of '$(echo $want)'"
fi
# The factory is exported under its plain C name (the framework DLLs' class
# members carry their decorated names as they must).
if [[ ${#expected_exports[@]} -gt 0 ]] && grep -q "@" <<<"$exports"; then
    fail "decorated export"
fi
if grep -qx load_tarn_client_script <<<"$want"; then
    check_signature
fi

imports=$(awk '/DLL Name:/ {print $3}' <<<"$dump" | sort -u)
for dll in $imports; do
    lower=${dll,,}
    case $lower in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | ntdll.dll | api-ms-win-*) ;;
    tarn_string.dll | tarn_config.dll) ;;
    *) fail "imports $dll, which is neither a system DLL nor ours" ;;
    esac
done
for dll in "${expected_imports[@]}"; do
    grep -qix "$dll" <<<"$imports" || fail "does not import $dll"
done
echo "check_binary: $library is $image, exports '$(echo $exports)', imports '$(echo $imports)'"
