#!/usr/bin/env bash
# Starts the CUPS scheduler with a PDF queue as the default printer, for the printing tests.
set -uo pipefail
command -v cupsd >/dev/null || exit 1
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  if [ "$(id -u)" -eq 0 ]; then cupsd; else sudo cupsd; fi
  for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  s=""; [ "$(id -u)" -ne 0 ] && s="sudo"
  $s lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
  $s lpadmin -d PDF
fi
lpstat -d
