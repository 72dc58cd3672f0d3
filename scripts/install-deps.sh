#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those
# that are missing. Needs root (or sudo) when something is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libicu-dev
  xvfb xauth fonts-liberation2
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may still be running its own apt jobs at boot: wait for
# the package manager's lock rather than fail on it, and try a download that
# fails again, since a mirror that drops one connection is no reason to
# lose the run.
apt_options=(-o DPkg::Lock::Timeout=600 -o Acquire::Retries=3)
for attempt in 1 2 3; do
  if "${sudo_cmd[@]}" apt-get "${apt_options[@]}" update -qq &&
    "${sudo_cmd[@]}" apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "${missing[@]}"; then
    exit 0
  fi
  echo "install-deps: apt-get failed (attempt $attempt of 3)" >&2
  sleep $((attempt * 10))
done
exit 1
