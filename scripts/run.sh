#!/usr/bin/env bash
# Installs what is needed, builds, and starts Basekeep on a working default:
# the local Firebird server running and, on first use, a demo database pair.
set -euo pipefail
cd "$(dirname "$0")/.."

fresh_firebird=0
dpkg-query -W -f='${Status}' firebird3.0-server 2>/dev/null | grep -q "install ok installed" || fresh_firebird=1
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build build/release --target Basekeep Basekeep3

if [ "$fresh_firebird" = 1 ]; then
  # Only a server this command installed gets the tool's password.
  scripts/firebird.sh set-password tinsewort
fi
scripts/firebird.sh running || scripts/firebird.sh start
if ! echo "quit;" | isql-fb -q -user SYSDBA -password tinsewort localhost:/var/lib/firebird/3.0/system/security3.fdb >/dev/null 2>&1; then
  echo "Warning: SYSDBA's password on this server is not the tool's; runs will report a login failure." >&2
  echo "         Set it yourself with: scripts/firebird.sh set-password tinsewort" >&2
fi

ini=build/release/Basekeep/backup.ini
if [ ! -f "$ini" ]; then
  demo=/var/lib/basekeep-demo
  install -d -o firebird -g firebird -m 0770 "$demo" "$demo/db" "$demo/backup"
  for db in CBASE GBASE; do
    if [ ! -f "$demo/db/$db.FDB" ]; then
      isql-fb -q -bail -user SYSDBA -password tinsewort <<SQL
CREATE DATABASE 'localhost:$demo/db/$db.FDB' PAGE_SIZE 4096;
CREATE TABLE ITEMS (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40));
INSERT INTO ITEMS VALUES (1, 'first $db row');
INSERT INTO ITEMS VALUES (2, 'second $db row');
COMMIT;
SQL
    fi
  done
  printf '[main]\ndb_path=%s\nbackup_path=%s\n' "$demo/db" "$demo/backup" > "$ini"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: starting Basekeep on a virtual screen (:99)."
  Xvfb :99 -screen 0 1024x768x24 >/dev/null 2>&1 &
  export DISPLAY=:99
  sleep 1
fi
exec build/release/Basekeep/Basekeep
