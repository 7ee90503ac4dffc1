#!/usr/bin/env bash
# Prints notes through a real CUPS spooler onto the cups-pdf printer and reads the pages back,
# then stops the spooler and checks that printing says so instead of hanging.
# Usage: printing_cups.sh <tst_printing_cups binary>
# Needs root (it runs its own cupsd, as CI has no service manager) and the packages cups,
# cups-client, cups-bsd, printer-driver-cups-pdf and poppler-utils from scripts/dev.sh.
set -euo pipefail

driver=$1
if [ "$(id -u)" -ne 0 ]; then
    echo "printing_cups: must run as root to start its own cupsd" >&2
    exit 1
fi
for tool in cupsd lpstat lpadmin pdftotext; do
    command -v "$tool" >/dev/null || { echo "printing_cups: $tool missing (see scripts/dev.sh)" >&2; exit 1; }
done

cupsd_pid=""
stop_cupsd() {
    if [ -n "$cupsd_pid" ]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
        cupsd_pid=""
    fi
}
trap stop_cupsd EXIT

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

if scheduler_running; then
    echo "printing_cups: using the cupsd that is already running"
else
    cupsd -f &
    cupsd_pid=$!
    for _ in $(seq 1 100); do
        scheduler_running && break
        sleep 0.2
    done
    scheduler_running || { echo "printing_cups: cupsd did not start" >&2; exit 1; }
fi

lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o pdftops-renderer-default=pdftocairo
lpadmin -d PDF

# cups-pdf writes into the job owner's home, as its configuration says (normally ~/PDF).
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=$(awk '$1 == "Out" { print $2 }' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
out=${out:-\$\{HOME\}/PDF}
out=${out//\$\{HOME\}/$home}
export QB_CUPS_PDF_DIR=$out
mkdir -p "$QB_CUPS_PDF_DIR"

export QT_QPA_PLATFORM=offscreen
timeout 300 "$driver" longNoteSpoolsPagesInsideTheMargins printAllTabsSpoolsOneJobPerShownTabInOrder

if [ -n "$cupsd_pid" ]; then
    stop_cupsd
else
    # Not ours to stop: point this process at a spooler that is not there instead.
    export CUPS_SERVER=/nonexistent/cups.sock
fi
timeout 120 "$driver" withoutTheSpoolerEachTabGetsTheMessage
