#!/bin/sh
# The output comparison as a test: writes the generated chains' reply files,
# runs chainadj over them and compares the digest of all classic outputs
# (transcript, fields, report text, exit status, in file-name order) with
# the checked-in one, made from the outputs before the engine was
# restructured. check.sh CHAINADJ GOLDENCHAINS DIGESTFILE
set -eu
exe=$1 gen=$2 want=$(cat "$3")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$gen" "$dir/in" > /dev/null
for f in "$dir"/in/*.replies; do
    b=$(basename "$f" .replies)
    set +e
    "$exe" --replies "$f" --transcript --fields --report-text > "$dir/$b.txt" 2>&1
    echo "rc=$?" >> "$dir/$b.txt"
    set -e
done
got=$(cd "$dir" && cat $(ls *.txt | LC_ALL=C sort) | sha256sum | cut -d' ' -f1)
n=$(ls "$dir"/*.txt | wc -l)
if [ "$got" != "$want" ]; then
    echo "outputs of $n generated chains differ from the recorded ones: $got, expected $want" >&2
    exit 1
fi
echo "$n chains: outputs as recorded"
