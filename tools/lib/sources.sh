# The project's C and C++ sources, one a line: those git tracks in a
# checkout, every one under the source folders in a tarball or without git.
project_sources() {
    if command -v git >/dev/null 2>&1 && git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$ROOT" ls-files -- '*.c' '*.h' '*.cpp'
    else
        (cd "$ROOT" && find app audio bench core tests tools ui workers -type f \( -name '*.c' -o -name '*.h' -o -name '*.cpp' \) | sort)
    fi
}
