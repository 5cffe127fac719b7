#!/usr/bin/env bash
# A private CUPS scheduler (tests/report/cupsd_fixture.sh) with two more queues that keep
# what they print: MwPdfFile, the cups-pdf driver's PostScript written to <folder>/out/print.ps
# (which the test turns into PDF with Ghostscript as the cups-pdf backend does), and
# MwPdfCopy, which keeps the job as PDF (PdfFileQueue.ppd) in <folder>/out/print.pdf.
#   cupsd_pdf_fixture.sh start|stop <folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:?start or stop}
dir=${2:?folder}
if [[ $cmd == stop ]]; then exec "$here/../cupsd_fixture.sh" stop "$dir"; fi
"$here/../cupsd_fixture.sh" start "$dir"
mkdir -p "$dir/out"
chmod 777 "$dir/out"
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
CUPS_SERVER=$dir/cups.sock "$lpadmin" -p MwPdfFile -E -v "file://$dir/out/print.ps" \
  -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd || { echo "lpadmin could not add MwPdfFile" >&2; exit 1; }
CUPS_SERVER=$dir/cups.sock "$lpadmin" -p MwPdfCopy -E -v "file://$dir/out/print.pdf" -P "$here/PdfFileQueue.ppd" \
  || { echo "lpadmin could not add MwPdfCopy" >&2; exit 1; }
CUPS_SERVER=$dir/cups.sock "$lpadmin" -d MwPdfFile
