#!/usr/bin/env bash
# A private CUPS scheduler (tests/report/cupsd_fixture.sh) with a queue that keeps each job
# as PDF in <folder>/out/print.pdf: MwDuplexPdf, with Letter, A4 and Legal paper, two trays
# and two-sided printing (DuplexPdfQueue.ppd).
#   cupsd_duplex_fixture.sh start|stop <folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:?start or stop}
dir=${2:?folder}
if [[ $cmd == stop ]]; then exec "$here/../../report/cupsd_fixture.sh" stop "$dir"; fi
"$here/../../report/cupsd_fixture.sh" start "$dir"
mkdir -p "$dir/out"
chmod 777 "$dir/out"
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
CUPS_SERVER=$dir/cups.sock "$lpadmin" -p MwDuplexPdf -E -v "file://$dir/out/print.pdf" -P "$here/DuplexPdfQueue.ppd" \
  || { echo "lpadmin could not add MwDuplexPdf" >&2; exit 1; }
CUPS_SERVER=$dir/cups.sock "$lpadmin" -d MwDuplexPdf
