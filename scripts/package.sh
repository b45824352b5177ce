#!/usr/bin/env bash
# Builds the Debian package of Dyskar from the files git tracks (and any changed in the work
# tree), in a scratch folder, and leaves build-package/dyskar_<version>_<arch>.deb.
# Installs what building a package needs when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh debhelper dpkg-dev lintian
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/dyskar"
while IFS= read -r -d '' file; do
    [ -e "$file" ] && cp --parents "$file" "$scratch/dyskar"
done < <(git ls-files -z --cached --others --exclude-standard)
(cd "$scratch/dyskar" && dpkg-buildpackage -b -us -uc -j"$(nproc)" >"$scratch/build.log" 2>&1) ||
    { tail -n 60 "$scratch/build.log"; exit 1; }
mkdir -p build-package
rm -f build-package/*.deb
mv "$scratch"/*.deb build-package/
ls build-package/*.deb
