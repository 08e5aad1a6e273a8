# Sourced by the editor checks, with the program under test as its argument:
# sets $program (its absolute path), $here (this folder), $root (the project)
# and $scratch, a fresh folder that goes when the script ends, however it ends.
set -euo pipefail
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
