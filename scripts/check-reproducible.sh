#!/usr/bin/env bash
# Builds the release files a second time and checks that they are the same,
# byte for byte, as the first build's: the files listed in
# build/default/SHA256SUMS (the .deb packages), build/python/SHA256SUMS (the
# Python module's sdist and wheel) and build/windows/SHA256SUMS (the Windows
# installer and zip), and the three SHA256SUMS themselves.
#
#   scripts/build-release.sh        # the first build (or the package targets of both presets)
#   scripts/check-reproducible.sh   # the second, and the check
#
# The second build differs from the first wherever a build may differ:
#   - folder: a copy of the source tree (the files git tracks or would track,
#     without the .git folder, as in a source tarball; each file dated when
#     copied, as a new checkout is) in a new folder under /tmp, so the source
#     and build paths differ, and the date comes from SOURCE_DATE_EPOCH
#     rather than from git;
#   - time: the clock 4 days and 5 hours ahead (faketime), in the Tehran time
#     zone (UTC+03:30);
#   - umask: 0027 (the first build's is usually 0022), for the copied sources
#     and for everything built.
# It is lean: scripts/build-release.sh without the tests (the first build,
# in the test command, has them), so only the programs and the packages.
#
# Each file that differs is named with its first differing byte (cmp), and
# diffoscope says where inside the package the difference lies. Keeps the
# second build in the folder named at the end when KEEP_REBUILD=1.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
started=$SECONDS

scripts/install-deps.sh dpkg-dev g++-mingw-w64-x86-64-posix nsis zip faketime diffoscope-minimal

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

folders=(build/default build/python build/windows)
for folder in "${folders[@]}"; do
  [[ -s $folder/SHA256SUMS ]] ||
    fail "no $folder/SHA256SUMS: make the release files first (scripts/build-release.sh)"
done

# The release date the first build gave its files (by default the last
# commit's time), given to the second as a source tarball would be.
release_date() {
  sed -n 's/^set(CPACK_DATECONV_RELEASE_DATE "\([0-9]*\)")$/\1/p' "$1/CPackConfig.cmake"
}
epoch=$(release_date build/default)
[[ -n $epoch && $epoch == "$(release_date build/windows)" ]] ||
  fail "build/default and build/windows do not have one release date: configure both again (scripts/build-release.sh)"
# Unless set by hand, it is the last commit's time.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]] && grep -qx 'DATECONV_SOURCE_DATE_EPOCH:STRING=' build/default/CMakeCache.txt &&
  git rev-parse --git-dir >/dev/null 2>&1; then
  commit_date=$(git log -1 --format=%ct)
  [[ $epoch == "$commit_date" ]] ||
    fail "the release files are dated $epoch, the last commit $commit_date: make them again (scripts/build-release.sh)"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dateconv-rebuild.XXXXXX")
if [[ ${KEEP_REBUILD:-0} == 1 ]]; then
  echo "the second build stays in $work"
else
  trap 'rm -rf "$work"' EXIT
fi
copy=$work/elsewhere/shamsi-date-converter-source
mkdir -p "$copy"

# The source tree as the first build saw it: tracked files with their
# changes, and new files not ignored by git.
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do
    if [[ -e $file || -L $file ]]; then printf '%s\0' "$file"; fi
  done |
  tar --null --files-from=- -cf - |
  (umask 0027 && tar -C "$copy" -xf - --touch --no-same-permissions --no-same-owner)

echo "== Second build in $copy (SOURCE_DATE_EPOCH=$epoch, umask 0027, TZ=Asia/Tehran, clock +4 d 5 h)"
(
  umask 0027
  cd "$copy"
  export SOURCE_DATE_EPOCH=$epoch TZ=Asia/Tehran
  echo "the build's clock: $(faketime -f '+101h' date)"
  faketime -f '+101h' scripts/build-release.sh -DDATECONV_BUILD_TESTS=OFF
) || fail "the second build failed"
echo "== Second build done in $((SECONDS - started)) s"

different=()
for folder in "${folders[@]}"; do
  first=$source_dir/$folder
  second=$copy/$folder

  # The second build's folder is fresh: every package in it must be listed.
  listed=$(sed 's/^[0-9a-f]*  //' "$second/SHA256SUMS" | LC_ALL=C sort)
  found=$(find "$second" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.exe' -o -name '*.zip' -o -name '*.whl' -o -name '*.tar.gz' \) -printf '%f\n' |
    LC_ALL=C sort)
  [[ $listed == "$found" ]] ||
    fail "$folder/SHA256SUMS lists"$'\n'"$listed"$'\n'"but the packages made are"$'\n'"$found"
  (cd "$second" && sha256sum --check --quiet SHA256SUMS) || fail "$folder/SHA256SUMS does not match its files"

  for name in SHA256SUMS $listed; do
    if [[ ! -f $first/$name ]]; then
      echo "DIFFERENT: $folder/$name is made by the second build only"
      different+=("$folder/$name")
    elif ! cmp -s "$first/$name" "$second/$name"; then
      where=$(cmp "$first/$name" "$second/$name" 2>&1 || true)
      if [[ $where =~ differ:\ (byte|char)\ ([0-9]+) ]]; then
        offset=$((BASH_REMATCH[2] - 1))
        printf 'DIFFERENT: %s: first difference at byte offset %d (0x%x); sizes %d and %d\n' "$folder/$name" \
          "$offset" "$offset" "$(stat -c %s "$first/$name")" "$(stat -c %s "$second/$name")"
      else
        echo "DIFFERENT: $folder/$name: $where"
      fi
      if command -v diffoscope >/dev/null; then
        timeout 300 diffoscope --text - "$first/$name" "$second/$name" 2>/dev/null | head -n 80 || true
      fi
      different+=("$folder/$name")
    else
      echo "same: $folder/$name ($(stat -c %s "$first/$name") bytes)"
    fi
  done
done

((${#different[@]} == 0)) || fail "${#different[@]} release files differ between the two builds: ${different[*]}"
echo "== Every release file is the same in both builds ($((SECONDS - started)) s)"
