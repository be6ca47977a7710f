#!/bin/sh
# Runs a chainadj over every reply file of a folder and keeps, one set of
# files per chain, its classic outputs (transcript, fields, report text, exit
# status), the text section of the precision analysis and the JSON:
# run.sh CHAINADJ INDIR OUTDIR
set -u
exe=$1 in=$2 out=$3
mkdir -p "$out"
for f in "$in"/*.replies; do
    b=$(basename "$f" .replies)
    "$exe" --replies "$f" --transcript --fields --report-text > "$out/$b.txt" 2>&1
    echo "rc=$?" >> "$out/$b.txt"
    "$exe" --replies "$f" --analysis > "$out/$b.analysis" 2>&1
    echo "rc=$?" >> "$out/$b.analysis"
    "$exe" --replies "$f" --json > "$out/$b.json" 2>&1
    echo "rc=$?" >> "$out/$b.json"
done
