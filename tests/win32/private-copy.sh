# Sourced by the checks that run the real DLL from a Windows program, as
#   source "$(dirname "$0")/private-copy.sh" NAME WINE_RUN PREFIX PROGRAM DLL
# (the check's own arguments after NAME): sets wine_run and prefix, copies
# the program (as NAME) and the DLL into a folder of the check's own, dir,
# gone at exit, and defines fail. The plug-in keeps its settings beside the
# program that loads it, so each check needs copies of its own.
# shellcheck disable=SC2034 # the check's
wine_run=$2 prefix=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$4" "$dir/$1"
cp "$5" "$dir/TPP_25Frame.dll"
fail() { echo "FAIL: $*"; exit 1; }
