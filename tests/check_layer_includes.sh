#!/bin/sh
# Checks that every #include "layer/..." in src/ runs along an allowed edge between layers:
# a layer may include itself and the layers listed for it below, nothing else.
#   tests/check_layer_includes.sh SRC_DIR
set -eu
src=$1
allowed() {
    case $1 in
        api) echo "setupfile model system platform" ;;
        cli) echo "setupfile model system platform xml" ;;
        setupfile) echo "model xml platform" ;;
        model) echo "platform" ;;
        system) echo "platform" ;;
        xml) echo "platform" ;;
        platform) echo "peversion" ;;
        peversion) echo "" ;;
        *) echo "UNKNOWN" ;;
    esac
}
status=0
for dir in "$src"/*/; do
    from=$(basename "$dir")
    edges=$(allowed "$from")
    if [ "$edges" = UNKNOWN ]; then
        echo "src/$from: a layer without a list of allowed includes"
        status=1
        continue
    fi
    for file in $(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \) | sort); do
        for to in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' "$file"); do
            case " $from $edges " in
                *" $to "*) ;;
                *)
                    echo "${file#"$src"/}: includes $to/, which $from/ may not"
                    status=1
                    ;;
            esac
        done
    done
done
exit $status
