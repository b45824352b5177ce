#!/bin/sh
# Runs a test so that file permissions bind it: as root, without the capabilities that let
# the administrator read and write past them. Elsewhere the test runs as it is.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null 2>&1 &&
    setpriv --bounding-set -dac_override,-dac_read_search,-fowner -- true 2>/dev/null; then
    exec setpriv --bounding-set -dac_override,-dac_read_search,-fowner -- "$@"
fi
exec "$@"
