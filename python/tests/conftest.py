"""What the tests share: the shamsi-date program they hold the module to."""

import os
import subprocess

import pytest


@pytest.fixture(scope="session")
def shamsi_date():
    """Runs `shamsi-date ARGS` on input bytes; its standard output as bytes.

    The program is the one the build made: SHAMSI_DATE names it.
    """
    program = os.environ.get("SHAMSI_DATE")
    if not program or not os.access(program, os.X_OK):
        raise RuntimeError(f"SHAMSI_DATE must name the shamsi-date program, not {program!r}")

    def run(*args, data=b""):
        done = subprocess.run([program, *args], input=data, capture_output=True, check=False)
        if done.returncode != 0:
            raise AssertionError(f"shamsi-date {' '.join(args)}: status {done.returncode}: {done.stderr.decode()}")
        return done.stdout

    return run
