#!/usr/bin/env bash
# Starts or stops a private CUPS scheduler for the printer-backend tests.
#   cupsd_fixture.sh start <folder>   fresh folder, cupsd on <folder>/cups.sock, two queues
#   cupsd_fixture.sh stop <folder>    stops that cupsd and removes the folder
# Nothing on the machine is touched: the scheduler has its own configuration, spool,
# state, socket and port, and its queues print to /dev/null.
set -euo pipefail

cmd=${1:?start or stop}
dir=${2:?folder}
sock=$dir/cups.sock

fail() { echo "cupsd fixture: $*" >&2; exit 1; }

stop() {
  if [[ -f $dir/cupsd.pid ]]; then
    pid=$(cat "$dir/cupsd.pid")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -rf "$dir"
}

if [[ $cmd == stop ]]; then stop; exit 0; fi
[[ $cmd == start ]] || fail "unknown command $cmd"

command -v cupsd >/dev/null || command -v /usr/sbin/cupsd >/dev/null || fail "cupsd is not installed (scripts/setup installs it)"
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
[[ $(id -u) -eq 0 ]] || fail "cupsd must run as root here (the tests run as root in CI)"

stop
mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state/certs,log}
chmod 755 "$dir" "$dir"/*
chmod 1777 "$dir/spool/tmp"

# A free TCP port on 127.0.0.1 (the socket is what the tests use).
port=0
for p in $(shuf -i 20000-60000 -n 40); do
  if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then port=$p; break; fi
done
[[ $port -ne 0 ]] || fail "no free port on 127.0.0.1"

cat >"$dir/etc/cupsd.conf" <<CONF
Listen $sock
Listen 127.0.0.1:$port
LogLevel warn
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF

"$cupsd" -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

up=0
exited=0
for _ in $(seq 100); do
  if ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then exited=1; break; fi
  if [[ -S $sock ]] && lpstat -h "$sock" -r 2>/dev/null | grep -q 'is running'; then up=1; break; fi
  sleep 0.1
done
if [[ $up -ne 1 ]]; then
  cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
  stop
  if [[ $exited -eq 1 ]]; then fail "cupsd exited while starting (its messages are above)"; fi
  fail "cupsd did not answer within 10 seconds"
fi

export CUPS_SERVER=$sock
# A PDF queue (the cups-pdf driver's paper list) and a laser queue whose driver has trays.
"$lpadmin" -p MwPdf -E -v file:///dev/null -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
  || fail "lpadmin could not add the PDF queue"
"$lpadmin" -p MwLaser -E -v file:///dev/null -m drv:///sample.drv/generpcl.ppd \
  || fail "lpadmin could not add the laser queue"
"$lpadmin" -d MwPdf || fail "lpadmin could not set the default queue"
lpstat -h "$sock" -p -d
