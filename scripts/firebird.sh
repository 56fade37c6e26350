#!/usr/bin/env bash
# Starts, stops and prepares the local Firebird 3 server without systemd.
#   firebird.sh start          start the server as user firebird and wait until it listens
#   firebird.sh stop           stop it (no error when it is not running)
#   firebird.sh running        exit 0 when 127.0.0.1:3050 accepts connections
#   firebird.sh set-password P set SYSDBA's password (server stopped or running)
set -euo pipefail

RUN_DIR=/run/firebird3.0
GUARD_PID=$RUN_DIR/fbguard.pid
SECURITY_DB=/var/lib/firebird/3.0/system/security3.fdb
PASSWORD_FILE=/etc/firebird/3.0/SYSDBA.password

running() {
  (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null
}

start() {
  if running; then return 0; fi
  install -d -o firebird -g firebird -m 0770 "$RUN_DIR"
  install -d -o firebird -g firebird -m 0770 /tmp/firebird
  # A UTF-8 locale and a clean environment: the server fails every
  # non-ASCII path under the C locale.
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    start-stop-daemon --start --background --make-pidfile --pidfile "$GUARD_PID" \
    --chuid firebird --exec /usr/sbin/fbguard -- -forever -pidfile "$RUN_DIR/firebird.pid"
  for _ in $(seq 1 200); do
    if running; then return 0; fi
    sleep 0.05
  done
  echo "firebird.sh: the server did not start listening on 127.0.0.1:3050" >&2
  return 1
}

stop() {
  if [ -f "$GUARD_PID" ]; then
    start-stop-daemon --stop --pidfile "$GUARD_PID" --retry TERM/20/KILL/5 --remove-pidfile >/dev/null || true
  fi
  pkill -x firebird >/dev/null 2>&1 || true
  for _ in $(seq 1 100); do
    if ! running && ! pgrep -x firebird >/dev/null; then return 0; fi
    sleep 0.05
  done
}

current_password() {
  if [ -r "$PASSWORD_FILE" ]; then
    sed -n 's/^ISC_PASSWORD="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' "$PASSWORD_FILE" | head -n 1
  fi
}

accepts() {
  fbsvcmgr localhost:service_mgr user SYSDBA password "$1" info_server_version >/dev/null 2>&1
}

set_password() {
  local new=$1
  if running; then
    accepts "$new" && return 0
    gsec -user SYSDBA -password "$(current_password)" -modify SYSDBA -pw "$new"
    accepts "$new"
  else
    printf "ALTER USER SYSDBA PASSWORD '%s';\n" "$new" \
      | isql-fb -q -bail -user SYSDBA "$SECURITY_DB"
  fi
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  running) running ;;
  set-password) set_password "$2" ;;
  *) echo "usage: $0 start|stop|running|set-password PASSWORD" >&2; exit 2 ;;
esac
