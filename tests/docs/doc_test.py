#!/usr/bin/python3
"""Runs the examples of Markdown pages and checks that they show what they do.

    doc_test.py shell PAGE...   every "$ COMMAND" line of a fenced block, with
                                the lines after it up to the next "$ " or the
                                block's end as its output
    doc_test.py sql PAGE...     every statement of a ```sql block, in one
                                database per page; "--> " lines (or a "--> "
                                after the statement's ";") give its rows
    doc_test.py python PAGE...  every ">>> " example, as doctest runs it, with
                                the modules PYTHONPATH gives
    doc_test.py js PAGE...      every "CODE; // RESULT" line of a ```js block,
                                in Node.js, with the npm package installed in
                                the folder SHAMSI_DATE_PACKAGE names
    doc_test.py links PAGE...   every relative link and image resolves, and
                                every "#anchor" names a heading of its page

Shell commands run in bash, in an empty folder, with standard output and error
on one terminal (a pty), so a page shows what a terminal shows; colours are
taken out. The programs come from PATH. A command whose comment says
"# today" depends on the day it runs: its output is checked for its form
(lines of the same words and numbers in the same places), not its text.
Left-to-right and right-to-left marks (U+200E, U+200F) may be left out of a
page. SQL runs through psql with the connection the environment gives
(PGHOST, PGPORT, PGUSER); an error shows as "ERROR:  <message>".

Each failure names the page and the line of the example. Exit status 1 when
any example failed, 2 when a page has no example of the kind asked for.
"""

import json
import os
import pty
import re
import select
import subprocess
import sys
import tempfile

MARKS = dict.fromkeys(map(ord, "\u200e\u200f"))
COLOURS = re.compile(r"\x1b\[[0-9;]*[A-Za-z]")
FENCE = re.compile(r"^(\s*)(```+|~~~+)\s*([\w+-]*)")


def fenced_blocks(path):
    """(language, first line number, lines) of each fenced block."""
    blocks = []
    with open(path, encoding="utf-8") as page:
        lines = page.read().split("\n")
    i = 0
    while i < len(lines):
        match = FENCE.match(lines[i])
        if not match:
            i += 1
            continue
        fence, language, start = match.group(2), match.group(3), i + 2
        i += 1
        body = []
        while i < len(lines) and not lines[i].strip().startswith(fence):
            body.append(lines[i])
            i += 1
        blocks.append((language, start, body))
        i += 1
    return blocks


def shell_examples(path):
    """(line number, command, expected output lines) of each "$ " line."""
    examples = []
    for _, start, body in fenced_blocks(path):
        i = 0
        while i < len(body):
            if not body[i].startswith("$ "):
                i += 1
                continue
            line_number = start + i
            command = body[i][2:]
            while command.endswith("\\") and i + 1 < len(body):
                i += 1
                command = command[:-1] + "\n" + body[i]
            i += 1
            output = []
            while i < len(body) and not body[i].startswith("$ "):
                output.append(body[i])
                i += 1
            examples.append((line_number, command, output))
    return examples


def run_on_terminal(command, folder, timeout=60):
    """What a terminal shows of the command's output, as lines."""
    controller, terminal = pty.openpty()
    process = subprocess.Popen(
        ["bash", "-c", command],
        cwd=folder,
        stdin=subprocess.DEVNULL,
        stdout=terminal,
        stderr=terminal,
        start_new_session=True,
    )
    os.close(terminal)
    shown = b""
    while True:
        ready, _, _ = select.select([controller], [], [], timeout)
        if not ready:
            process.kill()
            shown += b"\n(timed out)"
            break
        try:
            chunk = os.read(controller, 65536)
        except OSError:  # the terminal's last writer is gone
            break
        if not chunk:
            break
        shown += chunk
    os.close(controller)
    process.wait()
    text = COLOURS.sub("", shown.decode("utf-8", "replace")).replace("\r\n", "\n")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def form_of(line):
    """A pattern of a line's words and numbers in their places."""
    pattern = ""
    for piece in re.split(r"(\d+|[^\W\d_]+(?: [^\W\d_]+)*)", line):
        if not piece:
            continue
        if piece[0].isdigit():
            pattern += r"\d+"
        elif re.match(r"[^\W\d_]", piece):
            pattern += r"[^\W\d_]+(?: [^\W\d_]+)*"
        else:
            pattern += re.escape(piece)
    return "^" + pattern + "$"


def matches(expected, shown, today):
    expected = [line.translate(MARKS) for line in expected]
    shown = [line.translate(MARKS) for line in shown]
    if not today:
        return expected == shown
    return len(expected) == len(shown) and all(
        re.match(form_of(want), got) for want, got in zip(expected, shown)
    )


def check_shell(pages):
    failures = examples = 0
    for page in pages:
        for line_number, command, expected in shell_examples(page):
            examples += 1
            today = re.search(r"#\s*today\b", command.split("\n")[0]) is not None
            with tempfile.TemporaryDirectory() as folder:
                shown = run_on_terminal(command, folder)
            if not matches(expected, shown, today):
                failures += 1
                print(f"{page}:{line_number}: $ {command}")
                print("  the page shows:\n" + "".join(f"    {line}\n" for line in expected), end="")
                print("  the command shows:\n" + "".join(f"    {line}\n" for line in shown), end="")
    return examples, failures


def without_comment(line):
    """The line up to a "--" comment outside quotes."""
    quoted = False
    for i, char in enumerate(line):
        if char == "'":
            quoted = not quoted
        elif not quoted and line.startswith("--", i):
            return line[:i]
    return line


def sql_statements(path):
    """[line number, statement, expected rows or None] of each statement."""
    statements = []
    for language, start, body in fenced_blocks(path):
        if language != "sql":
            continue
        text, first = "", None
        for offset, line in enumerate(body):
            if line.strip().startswith("-->"):
                if statements and text == "":
                    statements[-1][2] = (statements[-1][2] or []) + [line.strip()[3:].strip()]
                continue
            code, arrow, result = line.partition("-->")
            code = without_comment(code)
            if code.strip() == "":
                continue
            first = start + offset if first is None else first
            text += code.rstrip() + "\n"
            if code.rstrip().endswith(";"):
                statements.append([first, text.strip(), [result.strip()] if arrow else None])
                text, first = "", None
    return statements


def check_sql(pages):
    failures = examples = 0
    psql = ["psql", "-X", "-q", "-A", "-t", "-F", " | ", "-v", "ON_ERROR_STOP=1"]
    for number, page in enumerate(pages):
        database = f"doc_test_{number}"
        subprocess.run(psql + ["-d", "postgres", "-c", f"DROP DATABASE IF EXISTS {database}"], check=True, capture_output=True)
        subprocess.run(psql + ["-d", "postgres", "-c", f"CREATE DATABASE {database}"], check=True)
        for line_number, statement, expected in sql_statements(page):
            examples += 1
            run = subprocess.run(psql + ["-d", database, "-c", statement], capture_output=True, text=True)
            if run.returncode == 0:
                shown = [line for line in run.stdout.split("\n") if line != ""]
            else:
                shown = [re.sub(r"^psql:[^:]*:\d+: ", "", line) for line in run.stderr.strip().split("\n")][:1]
            if expected is None:
                bad = run.returncode != 0
            else:
                bad = [line.translate(MARKS) for line in shown] != [line.translate(MARKS) for line in expected]
            if bad:
                failures += 1
                print(f"{page}:{line_number}: {statement}")
                print("  the page shows:\n" + "".join(f"    {line}\n" for line in expected or ["(it runs)"]), end="")
                print("  the server gives:\n" + "".join(f"    {line}\n" for line in shown), end="")
        subprocess.run(psql + ["-d", "postgres", "-c", f"DROP DATABASE {database}"], check=True)
    return examples, failures


def check_python(pages):
    """The ">>> " examples of ```python blocks, with doctest; the rest of
    the page is blanked, so doctest's line numbers are the page's."""
    import doctest

    failures = examples = 0
    flags = doctest.NORMALIZE_WHITESPACE | doctest.ELLIPSIS
    for page in pages:
        with open(page, encoding="utf-8") as text:
            lines = text.read().split("\n")
        kept = [""] * len(lines)
        for language, start, body in fenced_blocks(page):
            if language in ("python", "pycon"):
                kept[start - 1 : start - 1 + len(body)] = body
        test = doctest.DocTestParser().get_doctest("\n".join(kept), {}, page, page, 0)
        runner = doctest.DocTestRunner(optionflags=flags)
        result = runner.run(test)
        examples += result.attempted
        failures += result.failed
    return examples, failures


JS_EXAMPLE = re.compile(r"^(?P<code>.*?);\s*//\s*(?P<result>.+?)\s*$")


def js_shape(text):
    """A value as inspect writes it or a page shows it, without blanks or
    the lengths inspect gives typed arrays."""
    return re.sub(r"\s+", "", re.sub(r"(Array)\(\d+\)", r"\1", text))


def check_js(pages):
    """Each page's ```js blocks as one ES module: statements run as they
    stand ('shamsi-date' and 'shamsi-date/picker' imported from the installed
    package), and each
    "CODE; // RESULT" gives CODE's value as util.inspect writes it, or the
    error it throws as "Name: message"."""
    package = os.path.join(os.environ["SHAMSI_DATE_PACKAGE"], "node_modules", "shamsi-date", "index.js")
    picker = os.path.join(os.path.dirname(package), "picker.js")
    failures = examples = 0
    for page in pages:
        script = ["import { inspect as __inspect } from 'node:util';", "const __shown = [];"]
        expected = []
        for language, start, body in fenced_blocks(page):
            if language not in ("js", "javascript", "mjs"):
                continue
            for offset, line in enumerate(body):
                line = line.replace("from 'shamsi-date'", f"from {json.dumps('file://' + package)}")
                line = line.replace("from 'shamsi-date/picker'", f"from {json.dumps('file://' + picker)}")
                match = JS_EXAMPLE.match(line)
                if line.lstrip().startswith("import ") or not match:
                    script.append(line)
                    continue
                expected.append((start + offset, match["code"], match["result"]))
                script.append(
                    "try { __shown.push(__inspect(" + match["code"] + ", { breakLength: Infinity })); }"
                    " catch (error) { __shown.push(`${error.name}: ${error.message}`); }"
                )
        if not expected:
            continue
        script.append("console.log(JSON.stringify(__shown));")
        with tempfile.NamedTemporaryFile("w", suffix=".mjs", encoding="utf-8", delete=False) as module:
            module.write("\n".join(script) + "\n")
        run = subprocess.run(["node", module.name], capture_output=True, text=True)
        os.unlink(module.name)
        shown = json.loads(run.stdout) if run.returncode == 0 else []
        if run.returncode != 0:
            print(f"{page}: its JavaScript did not run:\n{run.stderr}")
        for i, (line_number, code, result) in enumerate(expected):
            examples += 1
            got = shown[i] if i < len(shown) else "(not run)"
            if js_shape(got) != js_shape(result):
                failures += 1
                print(f"{page}:{line_number}: {code}\n  the page shows: {result}\n  Node.js gives:  {got}")
    return examples, failures


def anchor(heading):
    """The anchor a heading gets, as GitHub makes it."""
    text = re.sub(r"`|\*\*|\[([^\]]*)\]\([^)]*\)", r"\1", heading.strip().lower())
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(path):
    found = set()
    inside = False
    with open(path, encoding="utf-8") as page:
        for line in page:
            if FENCE.match(line):
                inside = not inside
            elif not inside and line.startswith("#"):
                name = anchor(line.lstrip("#"))
                base, n = name, 1
                while name in found:
                    name, n = f"{base}-{n}", n + 1
                found.add(name)
    return found


def check_links(pages):
    failures = examples = 0
    link = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
    for page in pages:
        inside = False
        with open(page, encoding="utf-8") as text:
            lines = text.read().split("\n")
        for line_number, line in enumerate(lines, 1):
            if FENCE.match(line):
                inside = not inside
            if inside:
                continue
            for target in link.findall(re.sub(r"`[^`]*`", "", line)):
                if re.match(r"[a-z]+:", target):
                    continue
                examples += 1
                path, _, fragment = target.partition("#")
                file = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
                problem = None
                if not os.path.exists(file):
                    problem = f"no file {file}"
                elif fragment and file.endswith(".md") and fragment not in anchors_of(file):
                    problem = f"no heading #{fragment} in {file}"
                if problem:
                    failures += 1
                    print(f"{page}:{line_number}: link {target}: {problem}")
    return examples, failures


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("shell", "sql", "python", "js", "links"):
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    kind, pages = sys.argv[1], sys.argv[2:]
    check = {"shell": check_shell, "sql": check_sql, "python": check_python, "js": check_js, "links": check_links}[kind]
    examples, failures = check(pages)
    print(f"{kind}: {examples - failures} passed, {failures} failed")
    if examples == 0:
        print(f"{kind}: no example in {' '.join(pages)}")
        return 2
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
