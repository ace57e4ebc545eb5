#!/usr/bin/env bash
# The static check that a Windows panel host's loader would make, which Wine does
# not (it binds a missing import to a stub that crashes only when called): a
# component DLL built in Microsoft mode, beside the framework DLLs it is deployed
# with.
#   check_msvc_dlls.sh win32|win64 COMPONENT FRAMEWORK_FOLDER
# - the component and the framework DLLs are PE32 i386 (win32) or PE32+ x86-64
#   (win64);
# - the component exports exactly load_tarn_client_script, by name, and nothing
#   by ordinal alone;
# - it imports only tarn_string.dll, tarn_config.dll, kernel32.dll and one C
#   runtime DLL;
# - every framework import carries Microsoft's decorated name of a member on the
#   contract list (framework_contract.txt), and the framework DLL it names in
#   FRAMEWORK_FOLDER exports it;
# - the framework DLLs export the whole list, and import nothing of each other
#   but tarn_config's use of tarn_string.
set -euo pipefail

kind=$1
component=$2
framework=$3
here=$(cd "$(dirname "$0")" && pwd)
readobj=$(command -v llvm-readobj || command -v llvm-readobj-14)
undname=$(command -v llvm-undname || command -v llvm-undname-14)
failures=0
fail() {
    echo "check_msvc_dlls: $*" >&2
    failures=$((failures + 1))
}

case $kind in
win32) format=COFF-i386 magic=0x10B image="PE32 i386" ;;
win64) format=COFF-x86-64 magic=0x20B image="PE32+ x86-64" ;;
*) echo "check_msvc_dlls: unknown kind $kind" >&2; exit 2 ;;
esac

# The contract's members, one per line.
contract=$(grep -v '^#' "$here/framework_contract.txt" | grep -v '^$')
# What llvm-undname makes of each decorated name on standard input, without the
# calling convention; a name it cannot read comes out unchanged.
demangle() {
    "$undname" 2>/dev/null | grep -v '^$' | sed -E 's/ __(thiscall|cdecl|stdcall|ptr64)//g'
}
# The imported names from DLL $2 of image $1, one per line.
imports_of() {
    "$readobj" --coff-imports "$1" | awk -v dll="$2" '
        /^  Name: / { on = (tolower($2) == tolower(dll)); next }
        on && /Symbol:/ { print $2 }'
}
# The exports of image $1 that have an address: "NAME" or "#ORDINAL" for one
# without a name.
exports_of() {
    "$readobj" --coff-exports "$1" | awk '
        /Ordinal:/ { ordinal = $2 } /Name:/ { name = $2 }
        /RVA:/ { if ($2 != "0x0") print (name == "" ? "#" ordinal : name); name = "" }'
}
check_image() {
    local headers
    headers=$("$readobj" --file-headers "$1")
    grep -q "^Format: $format" <<<"$headers" && grep -q "Magic: $magic" <<<"$headers" ||
        fail "$1 is not a $image image"
}

for dll in "$component" "$framework/tarn_string.dll" "$framework/tarn_config.dll"; do
    [[ -f $dll ]] || { echo "check_msvc_dlls: $dll is missing" >&2; exit 2; }
    check_image "$dll"
done

exports=$(exports_of "$component")
[[ $exports == load_tarn_client_script ]] ||
    fail "$component exports '$(echo $exports)' instead of load_tarn_client_script alone"

dlls=$("$readobj" --coff-imports "$component" | awk '/^  Name: / {print tolower($2)}' | sort -u)
runtimes=0
for dll in $dlls; do
    case $dll in
    tarn_string.dll | tarn_config.dll | kernel32.dll) ;;
    msvcrt.dll | ucrtbase.dll | msvcr*.dll | vcruntime*.dll | api-ms-win-crt-*.dll)
        runtimes=$((runtimes + 1)) ;;
    *) fail "$component imports $dll, which is neither the framework, kernel32 nor a C runtime" ;;
    esac
done
((runtimes <= 1)) || fail "$component imports more than one C runtime DLL: $(echo $dlls)"

framework_imports=0
for dll in tarn_string.dll tarn_config.dll; do
    exported=$(exports_of "$framework/$dll")
    while read -r name; do
        [[ -n $name ]] || continue
        framework_imports=$((framework_imports + 1))
        if [[ $name != \?* ]]; then
            fail "$component imports $name from $dll: not a Microsoft-decorated name"
            continue
        fi
        member=$(demangle <<<"$name")
        grep -qxF -- "$member" <<<"$contract" ||
            fail "$component imports $member ($name) from $dll: not a member the contract fixes"
        grep -qxF -- "$name" <<<"$exported" ||
            fail "$component imports $member ($name), which $framework/$dll does not export"
    done < <(imports_of "$component" "$dll")
done

# The framework DLLs offer the whole contract.
offered=$( (exports_of "$framework/tarn_string.dll"; exports_of "$framework/tarn_config.dll") |
          grep '^?' | demangle)
while read -r member; do
    grep -qxF -- "$member" <<<"$offered" || fail "the framework DLLs do not export $member"
done <<<"$contract"
for dll in $("$readobj" --coff-imports "$framework/tarn_string.dll" "$framework/tarn_config.dll" |
             awk '/^  Name: / {print tolower($2)}' | sort -u); do
    case $dll in
    tarn_string.dll | kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) fail "a framework DLL imports $dll" ;;
    esac
done

if ((failures > 0)); then
    echo "check_msvc_dlls: $component: $failures problem(s)" >&2
    exit 1
fi
echo "check_msvc_dlls: $component is $image, exports load_tarn_client_script alone," \
     "imports $(echo $dlls), and its $framework_imports framework imports are contract" \
     "members that $framework exports"
