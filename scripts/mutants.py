#!/usr/bin/env python3
"""Mutation testing for Wispen: how many small faults in the code do the tests catch?

The tool finds places in the .cpp files of the given source folders where a small change
(a "mutant") can be made: a flipped comparison, && swapped with ||, a negated if or while
condition, true swapped with false, a dropped call statement, or an integer literal shifted
by one. It draws a fixed-seed random sample of them and, one at a time, applies the change
to a private copy of the source tree, rebuilds that copy and runs, with ctest, the tests
that run the changed lines: an instrumented build tells once which tests run which lines
(see "Coverage" below; --all-tests runs every test on every mutant instead).

    killed         the build succeeded and some test failed or timed out
    survived       the build succeeded and every test that runs the changed lines passed
    did not build  the compiler rejected the change (left out of the score)

The score is killed / (killed + survived). The working tree is never touched: the copy lives
in <build-dir>/src, its CMake build in <build-dir>/build, and each mutated file is restored
as soon as its mutant has been tried, also when the run is interrupted. Results go to
<build-dir>/mutants-report.txt; <build-dir>/mutants-results.jsonl keeps them one mutant a
line, so that --resume can go on where an interrupted run stopped.

Run it from anywhere inside the repository:

    python3 scripts/mutants.py                 # the default sample, then the score
    python3 scripts/mutants.py --list          # only print the sampled mutants
    python3 scripts/mutants.py --rooms src/session src/journal --count 50

Only Python's standard library is used; the build needs cmake, ninja and a C++ compiler.
"""

import argparse
import concurrent.futures
import hashlib
import json
import os
import random
import resource
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass

DEFAULT_ROOMS = ["src/session", "src/autosave", "src/journal", "src/editor", "src/formatting"]
# A mutant can make a test allocate without end; past this much address space it fails.
TEST_MEMORY_LIMIT = 8 << 30
DEFAULT_SEED = 2026
DEFAULT_COUNT = 300
DEFAULT_BUILD_DIR = "build-mutants"
DEFAULT_TEST_TIMEOUT = 60
RESULTS_VERSION = 1

# ---------------------------------------------------------------------------------------------
# Tokenizer

PUNCTUATORS = sorted(
    """<=> ->* >>= <<= ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= .*
    ## { } [ ] ( ) ; : ? . , ~ ! + - * / % ^ & | = < > #""".split(),
    key=len, reverse=True)

STRING_PREFIXES = {"u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"}
CHAR_PREFIXES = {"u8", "u", "U", "L"}

KEYWORDS = {
    "alignas", "alignof", "asm", "auto", "bool", "break", "case", "catch", "char", "char8_t",
    "char16_t", "char32_t", "class", "co_await", "co_return", "co_yield", "concept", "const",
    "consteval", "constexpr", "constinit", "const_cast", "continue", "decltype", "default",
    "delete", "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern",
    "false", "float", "for", "friend", "goto", "if", "inline", "int", "long", "mutable",
    "namespace", "new", "noexcept", "nullptr", "operator", "private", "protected", "public",
    "register", "reinterpret_cast", "requires", "return", "short", "signed", "sizeof",
    "static", "static_assert", "static_cast", "struct", "switch", "template", "this",
    "thread_local", "throw", "true", "try", "typedef", "typeid", "typename", "union",
    "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while",
}

# Calls whose removal changes nothing a test could see, or that are not calls at all.
UNDROPPABLE_CALLS = re.compile(
    r"^(Q_[A-Z_]+|QT_[A-Z_]+|qDebug|qInfo|qWarning|qCritical|qFatal|qCDebug|qCInfo|"
    r"qCWarning|qCCritical|static_assert|assert)$")


@dataclass
class Token:
    kind: str      # ident, number, string, char, punct, pp
    text: str
    start: int     # offset into the file's text
    end: int
    space_before: bool = False
    space_after: bool = False


def tokenize(text):
    """Splits C++ source into tokens, leaving out comments. Each preprocessor line (with its
    continuations) becomes one "pp" token, so nothing in it is ever mutated."""
    tokens = []
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            i = n if j < 0 else j + 2
            continue
        start = i
        if c == "#" and at_line_start:
            j = i
            while j < n:
                if text[j] == "\n" and text[j - 1] != "\\":
                    break
                if text.startswith("/*", j):
                    k = text.find("*/", j + 2)
                    j = n if k < 0 else k + 2
                    continue
                if text.startswith("//", j):
                    k = text.find("\n", j)
                    j = n if k < 0 else k
                    break
                j += 1
            tokens.append(Token("pp", text[start:j], start, j))
            i = j
            continue
        at_line_start = False
        if c.isalpha() or c == "_":
            j = i + 1
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            word = text[i:j]
            if j < n and text[j] == '"' and word in STRING_PREFIXES:
                if word.endswith("R"):
                    j = _raw_string_end(text, j)
                else:
                    j = _quoted_end(text, j, '"')
                tokens.append(Token("string", text[start:j], start, j))
            elif j < n and text[j] == "'" and word in CHAR_PREFIXES:
                j = _quoted_end(text, j, "'")
                tokens.append(Token("char", text[start:j], start, j))
            else:
                tokens.append(Token("ident", word, start, j))
            i = j
            continue
        if c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            # A pp-number: digits, letters, dots, digit separators and signed exponents.
            j = i + 1
            while j < n:
                d = text[j]
                if d in "eEpP" and j + 1 < n and text[j + 1] in "+-":
                    j += 2
                elif d.isalnum() or d in "._":
                    j += 1
                elif d == "'" and j + 1 < n and text[j + 1].isalnum():
                    j += 2
                else:
                    break
            tokens.append(Token("number", text[i:j], start, j))
            i = j
            continue
        if c == '"':
            j = _quoted_end(text, i, '"')
            tokens.append(Token("string", text[i:j], start, j))
            i = j
            continue
        if c == "'":
            j = _quoted_end(text, i, "'")
            tokens.append(Token("char", text[i:j], start, j))
            i = j
            continue
        for p in PUNCTUATORS:
            if text.startswith(p, i):
                tokens.append(Token("punct", p, start, i + len(p)))
                i += len(p)
                break
        else:
            tokens.append(Token("punct", c, start, i + 1))
            i += 1
    for k, tok in enumerate(tokens):
        tok.space_before = tok.start == 0 or text[tok.start - 1].isspace()
        tok.space_after = tok.end >= n or text[tok.end].isspace()
    return tokens


def _quoted_end(text, i, quote):
    j = i + 1
    n = len(text)
    while j < n:
        if text[j] == "\\":
            j += 2
            continue
        if text[j] == quote or text[j] == "\n":
            return j + 1
        j += 1
    return n


def _raw_string_end(text, i):
    # text[i] is the opening quote of R"delim( ... )delim"
    paren = text.find("(", i)
    if paren < 0:
        return len(text)
    delim = text[i + 1:paren]
    close = text.find(")" + delim + '"', paren + 1)
    return len(text) if close < 0 else close + len(delim) + 2


# ---------------------------------------------------------------------------------------------
# Mutation sites


@dataclass
class Site:
    path: str          # relative to the repository root, with forward slashes
    start: int         # character offsets of the replaced text
    end: int
    operator: str
    replacement: str
    line: int = 0
    last_line: int = 0
    before: str = ""   # what the reader sees: the source line before and after the change
    after: str = ""

    def key(self, file_hash):
        return f"{self.path}:{self.start}:{self.end}:{self.operator}:{self.replacement}:{file_hash}"


COMPARISON_FLIPS = {"<": ">=", ">=": "<", ">": "<=", "<=": ">", "==": "!=", "!=": "=="}
ANGLE_STOPPERS = {";", "{", "}", "&&", "||", "?", "==", "!=", "="}
OPERAND_END_KINDS = {"ident", "number", "string", "char"}
CONTROL_KEYWORDS = {"if", "while", "for", "switch"}
STATEMENT_KEYWORDS = KEYWORDS - {"this"}


def template_brackets(tokens):
    """Indexes of the < and > tokens that are template brackets rather than comparisons.
    A < opens a template argument list when, going forward, the angle brackets close before
    anything that cannot be inside one (; { } && || ? or an unbalanced closing bracket)."""
    brackets = set()
    for i, tok in enumerate(tokens):
        if tok.text != "<":
            continue
        prev = tokens[i - 1] if i > 0 else None
        if prev is not None and prev.text in ("template", "operator"):
            brackets.add(i)
            continue
        depth = 1
        parens = 0
        inner = []
        for j in range(i + 1, len(tokens)):
            t = tokens[j].text
            if tokens[j].kind == "pp":
                break
            if t in ("(", "["):
                parens += 1
            elif t in (")", "]"):
                parens -= 1
                if parens < 0:
                    break
            elif parens == 0 and t in ANGLE_STOPPERS:
                break
            elif t == "<":
                depth += 1
                inner.append(j)
            elif t == ">" or t == ">>":
                depth -= 1 if t == ">" else 2
                if t == ">":
                    inner.append(j)
                if depth <= 0:
                    brackets.add(i)
                    brackets.update(inner)
                    break
    return brackets


def _matching(tokens, i):
    """Index of the bracket closing the one at i, or None."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    opener = tokens[i].text
    closer = pairs[opener]
    depth = 0
    for j in range(i, len(tokens)):
        t = tokens[j].text
        if tokens[j].kind != "punct":
            continue
        if t == opener:
            depth += 1
        elif t == closer:
            depth -= 1
            if depth == 0:
                return j
    return None


def _brace_kind(tokens, i):
    """'block' when the { at i opens statements, 'decl' for namespace, class and enum bodies,
    'init' for braced initializers."""
    j = i - 1
    if j >= 0 and tokens[j].text in ("=", ",", "(", "return", "{", "[", "<"):
        return "init"
    while j >= 0 and tokens[j].text not in (";", "{", "}"):
        if tokens[j].text in ("namespace", "class", "struct", "union", "enum", "extern"):
            return "decl"
        j -= 1
    return "block"


def statement_starts(tokens):
    """Indexes of tokens that begin a statement inside a function body."""
    starts = set()
    stack = []          # (bracket text, kind)
    header_closers = {}  # index of ) closing an if/while/for/switch header
    for i, tok in enumerate(tokens):
        t = tok.text
        if tok.kind != "punct" and tok.kind != "ident":
            continue
        in_block = bool(stack) and stack[-1] == ("{", "block")
        if t in CONTROL_KEYWORDS and i + 1 < len(tokens) and tokens[i + 1].text == "(":
            close = _matching(tokens, i + 1)
            if close is not None:
                header_closers[close] = True
        if tok.kind == "punct":
            if t == "{":
                stack.append(("{", _brace_kind(tokens, i)))
                if stack[-1][1] == "block":
                    starts.add(i + 1)
            elif t in ("(", "["):
                stack.append((t, None))
            elif t in (")", "]", "}"):
                if stack:
                    stack.pop()
                if t == "}" and stack and stack[-1] == ("{", "block"):
                    starts.add(i + 1)
                if t == ")" and i in header_closers and stack and stack[-1] == ("{", "block"):
                    starts.add(i + 1)
            elif t == ";" and in_block:
                starts.add(i + 1)
        elif in_block and t in ("else", "do"):
            starts.add(i + 1)
        elif in_block and t in ("case", "default") and i in starts:
            # The statement after the label's colon.
            depth = 0
            for j in range(i + 1, len(tokens)):
                u = tokens[j].text
                if u in ("(", "[", "{"):
                    depth += 1
                elif u in (")", "]", "}"):
                    depth -= 1
                elif u == ":" and depth == 0:
                    starts.add(j + 1)
                    break
                elif u == ";":
                    break
    return starts


def _call_statement_end(tokens, i):
    """If a statement that is only a call expression starts at i (name, then . -> :: or
    intermediate calls, ending with (...) and ;), the index of its ;, else None."""
    n = len(tokens)
    j = i
    if j < n and tokens[j].text in ("emit", "Q_EMIT"):
        j += 1
    if j >= n or tokens[j].kind != "ident":
        return None
    first = tokens[j].text
    if (first in STATEMENT_KEYWORDS or UNDROPPABLE_CALLS.match(first)) and first != "this":
        return None
    expect_name = False
    last_was_call = False
    while j < n:
        tok = tokens[j]
        if tok.kind == "ident":
            if not expect_name and j != i and tokens[j - 1].text not in ("emit", "Q_EMIT"):
                return None  # two names in a row: a declaration
            if tok.text in STATEMENT_KEYWORDS and tok.text != "template":
                return None
            expect_name = False
            last_was_call = False
            j += 1
        elif tok.text in (".", "->", "::"):
            if expect_name:
                return None
            expect_name = True
            j += 1
        elif tok.text == "(":
            if expect_name:
                return None
            close = _matching(tokens, j)
            if close is None:
                return None
            last_was_call = True
            j = close + 1
        elif tok.text == ";":
            return j if last_was_call else None
        else:
            return None
    return None


def find_sites(path, text):
    tokens = tokenize(text)
    angles = template_brackets(tokens)
    starts = statement_starts(tokens)
    sites = []

    def add(start, end, operator, replacement):
        sites.append(Site(path, start, end, operator, replacement))

    for i, tok in enumerate(tokens):
        prev = tokens[i - 1] if i > 0 else None
        nxt = tokens[i + 1] if i + 1 < len(tokens) else None
        t = tok.text
        if tok.kind == "punct" and t in COMPARISON_FLIPS and i not in angles:
            if (prev is not None and nxt is not None and prev.text != "operator"
                    and (prev.kind in OPERAND_END_KINDS or prev.text in (")", "]"))
                    and prev.text not in KEYWORDS - {"this", "true", "false", "nullptr"}
                    and (nxt.kind in OPERAND_END_KINDS or nxt.text in ("(", "!", "-", "~", "::"))):
                add(tok.start, tok.end, "flip comparison", COMPARISON_FLIPS[t])
        elif tok.kind == "punct" and t in ("&&", "||"):
            # "Type &&name" is a reference; a logical operator stands between spaces.
            if tok.space_before and tok.space_after and prev is not None and prev.text != "operator":
                add(tok.start, tok.end, "swap logical", "||" if t == "&&" else "&&")
        elif tok.kind == "ident" and t in ("true", "false"):
            add(tok.start, tok.end, "swap boolean", "false" if t == "true" else "true")
        elif tok.kind == "ident" and t in ("if", "while") and nxt is not None and nxt.text == "(":
            if prev is not None and prev.text == "constexpr":
                continue
            close = _matching(tokens, i + 1)
            if close is None or close == i + 2:
                continue
            inner = tokens[i + 2:close]
            depth = 0
            plain = True
            for u in inner:
                if u.text in ("(", "[", "{"):
                    depth += 1
                elif u.text in (")", "]", "}"):
                    depth -= 1
                elif depth == 0 and u.text in (";", "=", ":"):
                    plain = False  # an initializer or a declaration in the condition
                    break
            if plain:
                first, last = inner[0].start, inner[-1].end
                add(first, last, "negate condition", "!(" + text[first:last] + ")")
        elif tok.kind == "number":
            value = _integer_value(t)
            if value is None:
                continue
            digits, suffix = _split_suffix(t)
            hexa = digits.lower().startswith("0x")
            for delta, name in ((1, "literal +1"), (-1, "literal -1")):
                if value + delta < 0:
                    continue
                shifted = value + delta
                if hexa:
                    shifted_text = f"{digits[:2]}{shifted:0{len(digits) - 2}X}"
                else:
                    shifted_text = str(shifted)
                add(tok.start, tok.end, name, shifted_text + suffix)
        if i in starts:
            end = _call_statement_end(tokens, i)
            if end is not None:
                add(tok.start, tokens[end].end, "drop call", "{}")

    line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
    for site in sites:
        site.line = _line_of(line_starts, site.start)
        site.last_line = _line_of(line_starts, max(site.start, site.end - 1))
        ls = line_starts[site.line - 1]
        le = text.find("\n", site.start)
        le = len(text) if le < 0 else le
        if site.end <= le:
            site.before, site.after = _snippets(text[ls:site.start], text[site.start:site.end],
                                                site.replacement, text[site.end:le])
        else:
            site.before = _shorten(" ".join(text[site.start:site.end].split()))
            site.after = site.replacement
    return sites


def _snippets(head, old, new, tail, width=110):
    """The line before and after the change, cut to a window around the change if long."""
    head = head.lstrip()
    tail = tail.rstrip()
    before, after = head + old + tail, head + new + tail
    if max(len(before), len(after)) <= width:
        return before, after
    lo = max(0, len(head) - 40)
    room = width - 6

    def window(s):
        cut = s[lo:lo + room]
        return ("..." if lo > 0 else "") + cut + ("..." if lo + room < len(s) else "")
    return window(before), window(after)


def _integer_value(t):
    digits, _ = _split_suffix(t)
    digits = digits.replace("'", "")
    try:
        if re.fullmatch(r"0[xX][0-9a-fA-F]+", digits):
            return int(digits, 16)
        if re.fullmatch(r"0|[1-9][0-9]*", digits):
            return int(digits)
    except ValueError:
        return None
    return None  # octal, binary, floating point


def _split_suffix(t):
    m = re.fullmatch(r"(0[xX][0-9a-fA-F']+|[0-9']+)([uUlLzZ]*)", t)
    return (m.group(1), m.group(2)) if m else (t, "")


def _line_of(line_starts, offset):
    lo, hi = 0, len(line_starts)
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if line_starts[mid] <= offset:
            lo = mid
        else:
            hi = mid
    return lo + 1


def _shorten(s, width=110):
    return s if len(s) <= width else s[:width - 3] + "..."


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "surrogateescape")


def write_text(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("utf-8", "surrogateescape"))


def all_sites(root, rooms):
    files = []
    for room in rooms:
        base = os.path.join(root, room)
        if not os.path.isdir(base):
            sys.exit(f"mutants: no such folder: {room}")
        for dirpath, dirnames, filenames in os.walk(base):
            dirnames.sort()
            for name in filenames:
                if name.endswith(".cpp"):
                    full = os.path.join(dirpath, name)
                    files.append(os.path.relpath(full, root).replace(os.sep, "/"))
    sites = []
    hashes = {}
    for rel in sorted(set(files)):
        text = read_text(os.path.join(root, rel))
        hashes[rel] = hashlib.sha1(text.encode("utf-8", "surrogateescape")).hexdigest()[:12]
        sites.extend(find_sites(rel, text))
    sites.sort(key=lambda s: (s.path, s.start, s.end, s.operator, s.replacement))
    return sites, hashes


# ---------------------------------------------------------------------------------------------
# Running


class Interrupted(Exception):
    pass


def _on_terminate(signum, frame):
    raise Interrupted(f"signal {signum}")


def _limit_memory():
    resource.setrlimit(resource.RLIMIT_AS, (TEST_MEMORY_LIMIT, TEST_MEMORY_LIMIT))


def run(cmd, cwd, log, timeout, env=None, stop_when=None, limit_memory=False):
    """Runs cmd at low priority in its own process group and appends its output to log.
    stop_when, if given, is called with each line of output; when it returns true the
    command is ended at once. Whatever the command leaves running in its group is ended
    when it returns. Returns the exit code (None when ended early or timed out)."""
    stopped = threading.Event()
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        proc = subprocess.Popen(["nice", "-n", "10"] + cmd, cwd=cwd, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                start_new_session=True, env=env,
                                preexec_fn=_limit_memory if limit_memory else None)

        def pump():
            for raw in proc.stdout:
                out.write(raw)
                if stop_when is not None and not stopped.is_set():
                    if stop_when(raw.decode("utf-8", "replace").rstrip("\n")):
                        stopped.set()
            out.flush()

        reader = threading.Thread(target=pump, daemon=True)
        reader.start()
        deadline = time.monotonic() + timeout
        code = None
        try:
            while True:
                code = proc.poll()
                if code is not None:
                    break
                if stopped.is_set() or time.monotonic() > deadline:
                    break
                time.sleep(0.05)
        finally:
            _end_group(proc)
            reader.join(timeout=5)
    return None if stopped.is_set() and code is None else code


def _end_group(proc):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
        except (ProcessLookupError, PermissionError):
            break
        if sig == signal.SIGTERM:
            try:
                proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                pass
            time.sleep(0.05)
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass


def tracked_files(root):
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=root, check=True, capture_output=True).stdout
    return [p for p in out.decode("utf-8", "surrogateescape").split("\0") if p]


def sync_copy(root, copy, build_dir):
    """Makes copy hold the repository's files as they are in the working tree. Files whose
    content is unchanged keep their time stamps, so the next build compiles only what
    changed; a rewritten file gets the current time, so it is always rebuilt."""
    build_abs = os.path.abspath(build_dir)
    wanted = set()
    for rel in tracked_files(root):
        src = os.path.join(root, rel)
        if os.path.abspath(src).startswith(build_abs + os.sep):
            continue
        if not os.path.lexists(src) or os.path.isdir(src):
            continue
        wanted.add(os.path.normpath(rel))
        dst = os.path.join(copy, rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        if os.path.islink(src):
            target = os.readlink(src)
            if not (os.path.islink(dst) and os.readlink(dst) == target):
                if os.path.lexists(dst):
                    os.remove(dst)
                os.symlink(target, dst)
            continue
        with open(src, "rb") as f:
            data = f.read()
        if os.path.islink(dst):
            os.remove(dst)
        try:
            with open(dst, "rb") as f:
                same = f.read() == data
        except FileNotFoundError:
            same = False
        if not same:
            with open(dst, "wb") as f:
                f.write(data)
        shutil.copymode(src, dst)
    for dirpath, dirnames, filenames in os.walk(copy, topdown=False):
        for name in filenames:
            full = os.path.join(dirpath, name)
            if os.path.normpath(os.path.relpath(full, copy)) not in wanted:
                os.remove(full)
        if dirpath != copy and not os.listdir(dirpath):
            os.rmdir(dirpath)


def configure(root, copy, cmake_build, log, message, instrument=""):
    """Configures an unoptimised build of copy in cmake_build, unless one is there already;
    instrument is added to the compiler's and the linker's flags."""
    if os.path.exists(os.path.join(cmake_build, "build.ninja")):
        return
    print(message)
    code = run(["cmake", "-S", copy, "-B", cmake_build, "-G", "Ninja",
                "-DCMAKE_BUILD_TYPE=Debug", f"-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g0 {instrument}",
                *linker_flags(instrument)], root, log, 600)
    if code != 0:
        sys.exit(f"mutants: configuring {cmake_build} failed, see {log}")


def linker_flags(extra=""):
    # A faster linker matters: every mutant relinks the programs of the tests it runs.
    for linker in ("lld", "gold"):
        if shutil.which("ld." + linker):
            extra = f"-fuse-ld={linker} {extra}"
            break
    extra = extra.strip()
    return [f"-DCMAKE_{kind}_LINKER_FLAGS={extra}" for kind in ("EXE", "SHARED", "MODULE")
            ] if extra else []


# ---------------------------------------------------------------------------------------------
# Coverage: which tests run which lines
#
# A test that never runs a line cannot notice a change to it. So, once for each state of the
# source tree, the tool builds an instrumented copy (gcc --coverage), runs each test alone
# with its counters written under a folder of its own (GCOV_PREFIX), and asks gcov which lines
# of the mutated rooms each test ran. A mutant then runs only the tests that run one of its
# lines, and one whose lines no test runs survives without a run. A mutant on a line gcov
# does not count (a constant, a declaration) runs every test, and so does a test whose
# instrumented run failed, since its counters may be partial. A process ended by SIGKILL
# writes no counters: what it ran counts only if some other run reached it too.


def list_tests(cmake_build, exclude):
    cmd = ["ctest", "-N"] + (["-E", exclude] if exclude else [])
    out = subprocess.run(cmd, cwd=cmake_build, check=True, capture_output=True, text=True).stdout
    return re.findall(r"^\s*Test\s+#\d+: (\S+)\s*$", out, re.M)


def tree_key(copy, *settings):
    """Changes whenever a file of the copy, other than this tool, or one of settings does."""
    h = hashlib.sha1(repr(settings).encode())
    for dirpath, dirnames, filenames in os.walk(copy):
        dirnames.sort()
        for name in sorted(filenames):
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, copy)
            if rel == os.path.join("scripts", os.path.basename(__file__)):
                continue
            h.update(rel.encode("utf-8", "surrogateescape") + b"\0")
            if not os.path.islink(full):
                with open(full, "rb") as f:
                    h.update(hashlib.sha1(f.read()).digest())
    return h.hexdigest()


def _lines_run(prefix, copy, wanted, scratch):
    """{path: {line: ran}} for the lines gcov counts in the wanted files, from the counters
    one test left under prefix."""
    gcdas = []
    for dirpath, _, names in os.walk(prefix):
        for name in names:
            full = os.path.join(dirpath, name)
            original = full[len(prefix):]
            # Only the rooms' libraries: the test programs' own objects are not mutated.
            if not name.endswith(".gcda") or "/CMakeFiles/wispen_" not in original:
                continue
            gcno = original[:-len(".gcda")] + ".gcno"
            if os.path.exists(gcno):
                shutil.copyfile(gcno, full[:-len(".gcda")] + ".gcno")
                gcdas.append(full)
    lines = {}
    if not gcdas:
        return lines
    out = subprocess.run(["gcov", "--json-format", "--stdout", *gcdas], cwd=scratch,
                         capture_output=True, text=True).stdout
    for doc in out.splitlines():
        if not doc.startswith("{"):
            continue
        doc = json.loads(doc)
        cwd = doc.get("current_working_directory", "")
        for entry in doc.get("files", []):
            path = os.path.normpath(os.path.join(cwd, entry["file"]))
            rel = os.path.relpath(path, copy).replace(os.sep, "/")
            if rel not in wanted:
                continue
            counted = lines.setdefault(rel, {})
            for line in entry.get("lines", []):
                n = line["line_number"]
                counted[n] = counted.get(n, False) or line["count"] > 0
    return lines


def measure_coverage(copy, cov_build, wanted, names, workers, timeout, log_dir, tmp_root):
    """Runs each test alone in the instrumented build. Returns ({path: {line: [tests that
    ran it]}}, [tests whose run failed])."""
    os.makedirs(log_dir, exist_ok=True)

    def one(name):
        prefix = tempfile.mkdtemp(dir=tmp_root, prefix="gcov-")
        tmp = tempfile.mkdtemp(dir=tmp_root)
        env = dict(os.environ, TMPDIR=tmp, GCOV_PREFIX=prefix, GCOV_PREFIX_STRIP="0")
        try:
            code = run(["ctest", "-R", f"^{name}$", "--timeout", str(timeout),
                        "--no-tests=error", "--output-on-failure"],
                       cov_build, os.path.join(log_dir, name + ".log"), timeout + 60, env,
                       limit_memory=True)
            return name, code == 0, _lines_run(prefix, copy, wanted, tmp)
        finally:
            shutil.rmtree(prefix, ignore_errors=True)
            shutil.rmtree(tmp, ignore_errors=True)

    lines, failed = {}, []
    with concurrent.futures.ThreadPoolExecutor(max_workers=workers) as pool:
        for name, passed, ran in pool.map(one, names):
            print(f"  {name}: {'' if passed else 'failed, so it runs on every mutant; '}"
                  f"{sum(sum(r.values()) for r in ran.values())} lines run", flush=True)
            if not passed:
                failed.append(name)
            for path, counted in ran.items():
                into = lines.setdefault(path, {})
                for n, was_run in counted.items():
                    runners = into.setdefault(n, [])
                    if was_run:
                        runners.append(name)
    return lines, failed


def coverage_map(root, copy, build_dir, wanted, exclude, workers, timeout, log, tmp_root):
    """The coverage map for the copy as it is now, from build_dir/coverage.json when that was
    made from the same files, else measured afresh."""
    path = os.path.join(build_dir, "coverage.json")
    key = tree_key(copy, exclude, timeout)
    try:
        with open(path) as f:
            cached = json.load(f)
        if cached.get("key") == key:
            print("Coverage: kept from the last run on the same files")
            return ({p: {int(n): t for n, t in ls.items()} for p, ls in cached["lines"].items()},
                    cached["failed"])
    except (OSError, ValueError, KeyError):
        pass

    cov_build = os.path.join(build_dir, "coverage")
    configure(root, copy, cov_build, log, "Coverage: configuring an instrumented build",
              "--coverage")
    print("Coverage: building")
    if run(["ninja"], cov_build, log, 3600) != 0:
        sys.exit(f"mutants: the instrumented build failed, see {log}")
    for stale in _files_ending(cov_build, ".gcda"):
        os.remove(stale)
    names = list_tests(cov_build, exclude)
    print(f"Coverage: running {len(names)} tests one by one, {workers} at a time")
    lines, failed = measure_coverage(copy, cov_build, wanted, names, workers, timeout,
                                     os.path.join(build_dir, "coverage-logs"), tmp_root)
    with open(path, "w") as f:
        json.dump({"key": key, "failed": failed, "lines": lines}, f)
    return lines, failed


def _files_ending(top, suffix):
    for dirpath, _, names in os.walk(top):
        for name in names:
            if name.endswith(suffix):
                yield os.path.join(dirpath, name)


def tests_for(site, coverage, failed):
    """The tests that may notice the mutant: a sorted list, possibly empty, or None for all."""
    counted = coverage.get(site.path, {})
    known = [counted[n] for n in range(site.line, site.last_line + 1) if n in counted]
    if not known:
        return None
    return sorted(set(failed).union(*known))


# ---------------------------------------------------------------------------------------------
# What to build: a mutant needs its own object compiled (to tell whether it builds at all)
# and then only the programs its tests run. Relinking every program is most of a mutant's
# cost otherwise.


def programs_of_tests(cmake_build):
    """{test: [ninja targets it runs]}, or None for a test that needs the whole build (one
    handed the build folder itself)."""
    out = subprocess.run(["ctest", "--show-only=json-v1"], cwd=cmake_build, check=True,
                         capture_output=True, text=True).stdout
    top = os.path.realpath(cmake_build)
    needs = {}
    for test in json.loads(out).get("tests", []):
        targets = []
        for arg in test.get("command", []):
            if not os.path.isabs(arg):
                continue
            real = os.path.realpath(arg)
            if real == top or (real.startswith(top + os.sep) and os.path.isdir(real)):
                targets = None
                break
            if real.startswith(top + os.sep) and os.path.isfile(real) and os.access(real, os.X_OK):
                targets.append(os.path.relpath(real, top))
        needs[test["name"]] = targets
    return needs


def objects_of_sources(cmake_build, paths):
    """{source path: [ninja targets of its object files]} for the given repository paths."""
    out = subprocess.run(["ninja", "-t", "targets", "all"], cwd=cmake_build, check=True,
                         capture_output=True, text=True).stdout
    objects = {p: [] for p in paths}
    for line in out.splitlines():
        target = line.rsplit(": ", 1)[0]
        if not target.endswith(".o") or ".dir/" not in target:
            continue
        source = target.split(".dir/", 1)[1][:-len(".o")]
        for p in paths:
            if p == source or p.endswith("/" + source):
                objects[p].append(target)
    return objects


def targets_for(site, selected, objects, needs):
    """What ninja must build for a mutant whose tests are selected (None: all of them);
    None means everything."""
    if selected is None:
        return None
    targets = list(objects.get(site.path, []))
    for name in selected:
        programs = needs.get(name, None)
        if programs is None:
            return None
        targets += programs
    return targets or None


# One line of ctest's progress: " 3/32 Test  #3: tst_autosave .......   Passed    0.50 sec"
CTEST_RESULT = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.*\s*(.*?)\s+[\d.]+ sec\s*$")


def test_failure(line):
    """The failed test and why, if line reports one, else None."""
    m = CTEST_RESULT.match(line)
    if not m or m.group(2) == "Passed":
        return None
    return f"{m.group(1)} ({m.group(2).strip('*').replace('***', ' ').strip()})"


def main():
    parser = argparse.ArgumentParser(
        description="Mutation testing: applies small faults to the code one at a time and "
                    "checks that the test suite catches them.")
    parser.add_argument("--rooms", nargs="+", default=DEFAULT_ROOMS, metavar="FOLDER",
                        help="source folders whose .cpp files are mutated (default: %(default)s)")
    parser.add_argument("--seed", type=int, default=DEFAULT_SEED,
                        help="seed of the random sample (default: %(default)s)")
    parser.add_argument("--count", type=int, default=DEFAULT_COUNT,
                        help="number of mutants in the sample (default: %(default)s)")
    parser.add_argument("--build-dir", default=DEFAULT_BUILD_DIR,
                        help="scratch folder, relative to the repository root "
                             "(default: %(default)s)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2,
                        help="parallel compile jobs (default: %(default)s)")
    parser.add_argument("--test-jobs", type=int, default=8,
                        help="tests run at once; most of them wait on timers and windows "
                             "rather than compute (default: %(default)s)")
    parser.add_argument("--test-timeout", type=int, default=DEFAULT_TEST_TIMEOUT,
                        help="seconds one test may take before it counts as failed "
                             "(default: %(default)s)")
    parser.add_argument("--exclude-tests", metavar="REGEX",
                        help="ctest -E: leave out the tests whose names match")
    parser.add_argument("--all-tests", action="store_true",
                        help="run every test on every mutant, not only those that run its lines")
    parser.add_argument("--list", action="store_true",
                        help="only print the sampled mutants")
    parser.add_argument("--resume", action="store_true",
                        help="keep the results of an earlier run with the same settings and "
                             "try only the mutants it did not reach")
    args = parser.parse_args()

    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                          capture_output=True, text=True).stdout.strip()
    rooms = [r.rstrip("/") for r in args.rooms]
    sites, hashes = all_sites(root, rooms)
    sample = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    per_operator = {}
    for s in sites:
        per_operator[s.operator] = per_operator.get(s.operator, 0) + 1

    header = [f"Rooms: {' '.join(rooms)}",
              f"Seed {args.seed}, sample of {len(sample)} out of {len(sites)} sites "
              f"in {len(hashes)} files",
              "Sites per operator: " + ", ".join(f"{k} {v}" for k, v in sorted(per_operator.items()))]
    header.append(f"Tests: ctest -j{args.test_jobs} --timeout {args.test_timeout}"
                  + (f", leaving out {args.exclude_tests}" if args.exclude_tests else ", all")
                  + ("; every test on every mutant" if args.all_tests
                     else "; on each mutant, the tests that run its lines"))
    for line in header:
        print(line)

    width = len(str(len(sample)))
    if args.list:
        for n, s in enumerate(sample, 1):
            print(f"{n:>{width}} {s.path}:{s.line} [{s.operator}]\n"
                  f"{'':>{width}}   - {s.before}\n{'':>{width}}   + {s.after}")
        return 0

    build_dir = os.path.join(root, args.build_dir)
    copy = os.path.join(build_dir, "src")
    cmake_build = os.path.join(build_dir, "build")
    log = os.path.join(build_dir, "mutants.log")
    results_path = os.path.join(build_dir, "mutants-results.jsonl")
    report_path = os.path.join(build_dir, "mutants-report.txt")
    os.makedirs(build_dir, exist_ok=True)

    signal.signal(signal.SIGTERM, _on_terminate)
    signal.signal(signal.SIGHUP, _on_terminate)

    settings = {"version": RESULTS_VERSION, "rooms": rooms, "seed": args.seed,
                "count": args.count, "exclude": args.exclude_tests,
                "timeout": args.test_timeout,
                "selection": "all" if args.all_tests else "coverage"}
    done = {}
    if args.resume and os.path.exists(results_path):
        with open(results_path) as f:
            lines = [json.loads(l) for l in f if l.strip()]
        if lines and lines[0].get("settings") == settings:
            done = {r["key"]: r for r in lines[1:]}
            print(f"Resuming: {len(done)} results kept")
        else:
            print("Resuming: the earlier run had other settings; starting over")
    with open(results_path, "w") as f:
        f.write(json.dumps({"settings": settings}) + "\n")
        for r in done.values():
            f.write(json.dumps(r) + "\n")
    with open(log, "w") as f:
        f.write("mutants.py log\n")

    print(f"Copying the source tree to {os.path.relpath(copy, root)}")
    sync_copy(root, copy, build_dir)
    configure(root, copy, cmake_build, log, "Configuring the build (-O0 -g0)")

    ctest = ["ctest", "-j", str(args.test_jobs), "--timeout", str(args.test_timeout),
             "--stop-on-failure", "--no-tests=error", "--output-on-failure"]
    if args.exclude_tests:
        ctest += ["-E", args.exclude_tests]
    tmp_root = tempfile.mkdtemp(prefix="mutants-")

    def build(targets=None):
        return run(["ninja", "-j", str(args.jobs), *(targets or [])], cmake_build, log,
                   1800) == 0

    def tests(names=None):
        """Runs the tests, all or those named; returns (all passed, failures). The run is
        ended at the first failure: one is enough to kill a mutant."""
        # Tests make their throwaway folders under TMPDIR; a private one is cleared after
        # every run, so a test ended early or by its timeout leaves nothing behind.
        tmp = tempfile.mkdtemp(dir=tmp_root)
        env = dict(os.environ, TMPDIR=tmp)
        failures = []

        def watch(line):
            failure = test_failure(line)
            if failure:
                failures.append(failure)
            return bool(failure)
        try:
            selection = ["-R", "^(" + "|".join(names) + ")$"] if names else []
            code = run(ctest + selection, cmake_build, log, args.test_timeout * 20 + 120, env,
                       watch, limit_memory=True)
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
        if code == 0 and not failures:
            return True, []
        return False, failures or [f"(ctest ended with {code})"]

    started = time.monotonic()
    results = []
    try:
        print("Building the unchanged copy")
        t0 = time.monotonic()
        if not build():
            sys.exit(f"mutants: the unchanged code does not build, see {log}")
        print(f"  built in {time.monotonic() - t0:.0f} s; running the tests")
        t0 = time.monotonic()
        ok, failures = tests()
        if not ok:
            sys.exit("mutants: tests fail without any mutant: " + ", ".join(failures))
        print(f"  all tests pass in {time.monotonic() - t0:.1f} s")
        coverage, failed = {}, []
        if not args.all_tests:
            coverage, failed = coverage_map(root, copy, build_dir, set(hashes),
                                            args.exclude_tests, args.test_jobs,
                                            args.test_timeout * 3, log, tmp_root)
        needs = programs_of_tests(cmake_build)
        objects = objects_of_sources(cmake_build, list(hashes))

        for n, site in enumerate(sample, 1):
            key = site.key(hashes[site.path])
            label = f"[{n:>{width}}/{len(sample)}] {site.path}:{site.line} {site.operator}"
            if key in done:
                results.append(done[key])
                print(f"{label}: {done[key]['result']} (earlier run)")
                continue
            t0 = time.monotonic()
            target = os.path.join(copy, site.path)
            original = read_text(target)
            try:
                write_text(target, original[:site.start] + site.replacement + original[site.end:])
                selected = None if args.all_tests else tests_for(site, coverage, failed)
                built = build(targets_for(site, selected, objects, needs))
                build_seconds = time.monotonic() - t0
                if not built:
                    result, failures = "did not build", []
                elif selected == []:
                    result, failures = "survived", []
                else:
                    ok, failures = tests(selected)
                    result = "survived" if ok else "killed"
            finally:
                # Rewritten with a new time stamp, so the next build compiles it again.
                write_text(target, original)
            seconds = time.monotonic() - t0
            record = {"key": key, "path": site.path, "line": site.line,
                      "operator": site.operator, "before": site.before, "after": site.after,
                      "result": result, "seconds": round(seconds, 1),
                      "build_seconds": round(build_seconds, 1), "failures": failures[:5],
                      "tests": "all" if selected is None else len(selected)}
            results.append(record)
            with open(results_path, "a") as f:
                f.write(json.dumps(record) + "\n")
            ran = "all tests" if selected is None else f"{len(selected)} tests"
            print(f"{label}: {result} ({seconds:.1f} s, build {build_seconds:.1f} s, {ran})"
                  + (f" by {failures[0]}" if result == "killed" and failures else ""),
                  flush=True)
    except (KeyboardInterrupt, Interrupted):
        print("\nInterrupted; the copy is restored. Run again with --resume to go on.")
    finally:
        shutil.rmtree(tmp_root, ignore_errors=True)

    elapsed = time.monotonic() - started
    lines = summary(header, sample, results, elapsed, root, args)
    with open(report_path, "w") as f:
        f.write("\n".join(lines) + "\n")
    print()
    print("\n".join(lines[len(header):]))
    print(f"\nReport: {os.path.relpath(report_path, root)}")
    return 0


def summary(header, sample, results, elapsed, root, args):
    killed = [r for r in results if r["result"] == "killed"]
    survived = [r for r in results if r["result"] == "survived"]
    broken = [r for r in results if r["result"] == "did not build"]
    scored = len(killed) + len(survived)
    score = 100.0 * len(killed) / scored if scored else 0.0
    ran = [r for r in results if "seconds" in r]
    lines = list(header)
    lines += ["", "Command: " + " ".join([os.path.basename(sys.argv[0])] + sys.argv[1:]), ""]
    lines += ["Mutants:"]
    for n, r in enumerate(results, 1):
        extra = f"  by {', '.join(r['failures'])}" if r["result"] == "killed" else ""
        lines.append(f"  {n:>3} {r['result']:<13} {r['seconds']:>6.1f} s  {r['path']}:{r['line']} "
                     f"[{r['operator']}]  {r['before']}  =>  {r['after']}{extra}")
    lines += ["", "Summary:",
              f"  sampled        {len(sample)}" + ("" if len(results) == len(sample)
                                                  else f" ({len(results)} tried)"),
              f"  killed         {len(killed)}",
              f"  survived       {len(survived)}",
              f"  did not build  {len(broken)}",
              f"  run by no test {sum(1 for r in survived if r.get('tests') == 0)}"
              " of the survivors",
              f"  score          {score:.1f}% (killed / (killed + survived))",
              f"  wall time      {elapsed / 60:.1f} min"
              + (f", {sum(r['seconds'] for r in ran) / len(ran):.1f} s a mutant" if ran else ""),
              "", f"Survivors ({len(survived)}):"]
    for r in sorted(survived, key=lambda r: (r["path"], r["line"])):
        lines.append(f"  {r['path']}:{r['line']} [{r['operator']}]")
        lines.append(f"      - {r['before']}")
        lines.append(f"      + {r['after']}")
    return lines


if __name__ == "__main__":
    sys.exit(main())
