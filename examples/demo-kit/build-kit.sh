#!/usr/bin/env bash
# Builds the demo brand kit into a folder: the files Lintrel reads beside its executable.
#
# Usage: build-kit.sh --brand-tool PATH [--news-url URL] OUTDIR
#   --brand-tool PATH  the built lintrel-brand (encrypts the brand document, packs the skin)
#   --news-url URL     use URL as GoldNewsBaseURL instead of http://127.0.0.1:8642/news/
# Writes OUTDIR/dbsettings.dat, banner1.dat, banner2.dat, mainskin.dat and main.ico. An
# existing dbsettings.dat is replaced, which also forgets the last news item read.
set -euo pipefail

KIT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
TOOL=""
NEWS_URL=""
OUT=""
while [ $# -gt 0 ]; do
    case "$1" in
        --brand-tool) TOOL="$2"; shift 2 ;;
        --news-url) NEWS_URL="$2"; shift 2 ;;
        -h|--help) sed -n '2,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "build-kit.sh: unknown option $1" >&2; exit 64 ;;
        *) OUT="$1"; shift ;;
    esac
done
if [ -z "$TOOL" ] || [ -z "$OUT" ]; then
    echo "Usage: build-kit.sh --brand-tool PATH [--news-url URL] OUTDIR" >&2
    exit 64
fi
mkdir -p "$OUT"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# The brand document, with another news address when asked for.
cp "$KIT/brand.txt" "$WORK/brand.txt"
if [ -n "$NEWS_URL" ]; then
    sed -i "s#<%%GoldNewsBaseURL%%>[^<]*<%%/GoldNewsBaseURL%%>#<%%GoldNewsBaseURL%%>${NEWS_URL}<%%/GoldNewsBaseURL%%>#" \
        "$WORK/brand.txt"
fi
"$TOOL" encrypt "$WORK/brand.txt" "$WORK/dbsettings.dat"

# The skin: a zlib stream of the style sheet.
if "$TOOL" --help 2>/dev/null | grep -q '^  skin '; then
    "$TOOL" skin "$KIT/skin.qss" "$WORK/mainskin.dat"
else
    python3 -c 'import sys, zlib; open(sys.argv[2], "wb").write(zlib.compress(open(sys.argv[1], "rb").read(), 9))' \
        "$KIT/skin.qss" "$WORK/mainskin.dat"
fi

cp "$KIT/images/spring.gif" "$WORK/banner1.dat"
cp "$KIT/images/summer.png" "$WORK/banner2.dat"
cp "$KIT/images/main.ico" "$WORK/main.ico"
for f in dbsettings.dat mainskin.dat banner1.dat banner2.dat main.ico; do
    mv -f "$WORK/$f" "$OUT/$f"
done
