#!/usr/bin/env python3
"""Lists the longest function bodies in the program's C++ sources.

    scripts/function-lengths.py [--limit N] [folder-or-file ...]

Without arguments it looks at core/, platform/, app/ and ui/. A function's
length is counted in lines, from the line where its declarator starts to its
closing brace. Function bodies are found by brace matching on the sources with
comments and literals blanked out: a brace that follows a parenthesised
declarator at namespace or class level opens a function; braces inside it
(blocks, lambdas, local classes) count as part of it. Exits with 1 when a
function is longer than --limit (default: no limit, just the list).
"""
import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_FOLDERS = ["core", "platform", "app", "ui"]


def blank_comments_and_literals(text):
    """The text with comments, strings and character literals turned into
    spaces, line ends kept, so that positions and line numbers still hold."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == "R" and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            if m:
                close = ")" + m.group(1) + '"'
                end = text.find(close, i + m.end())
                end = n if end < 0 else end + len(close)
                out.append(re.sub(r"[^\n]", " ", text[i:end]))
                i = end
            else:
                out.append(c)
                i += 1
        elif c in "\"'":
            # A digit separator (1'000) is no literal.
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(" " * (j - i))
            i = j
        else:
            out.append(c)
            i += 1
    # Preprocessor lines, continuations included, hold no code of a function.
    return re.sub(r"(?m)^[ \t]*#(?:.*\\\n)*.*$", lambda m: re.sub(r"[^\n]", " ", m.group(0)),
                  "".join(out))


def functions(path):
    """Yields (name, first line, last line) of each function body in `path`."""
    text = blank_comments_and_literals(path.read_text(encoding="utf-8", errors="replace"))
    # Each open brace: whether it is a scope that holds declarations
    # (namespace, class, top level) or code.
    stack = []
    statement_start = 0
    current = None  # (name, first line, depth) of the function being read
    for i, c in enumerate(text):
        if c == "{":
            holds_declarations = all(kind == "scope" for kind in stack)
            head = text[statement_start:i]
            if current is None and holds_declarations and ")" in head and not re.search(
                r"\b(namespace|class|struct|union|enum)\b[^()]*$", head
            ) and not re.search(r"=\s*\[", head):
                name_match = re.search(r"([~\w:<>=!+\-*/\[\]]+)\s*\(", head)
                name = name_match.group(1) if name_match else "?"
                start = statement_start + len(head) - len(head.lstrip())
                current = (name, text.count("\n", 0, start) + 1, len(stack))
                stack.append("code")
            elif holds_declarations and re.search(r"\b(namespace|class|struct|union)\b", head) \
                    and not re.search(r"=", head.split("{")[0]):
                stack.append("scope")
            elif holds_declarations and re.search(r"^\s*extern\s+\"?", head):
                stack.append("scope")
            else:
                stack.append("code")
            statement_start = i + 1
        elif c == "}":
            if stack:
                stack.pop()
            if current is not None and len(stack) == current[2]:
                yield current[0], current[1], text.count("\n", 0, i) + 1
                current = None
            statement_start = i + 1
        elif c == ";" or (c == ":" and re.search(r"\b(public|private|protected)\s*$", text[statement_start:i])):
            if not stack or stack[-1] == "scope":
                statement_start = i + 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=0)
    parser.add_argument("--top", type=int, default=15)
    parser.add_argument("paths", nargs="*")
    args = parser.parse_args()
    roots = [pathlib.Path(p) for p in args.paths] or [ROOT / f for f in DEFAULT_FOLDERS]
    files = []
    for root in roots:
        files += [root] if root.is_file() else sorted(
            p for p in root.rglob("*") if p.suffix in (".cpp", ".h", ".cc", ".hpp"))
    found = []
    for path in files:
        for name, first, last in functions(path):
            found.append((last - first + 1, path, first, name))
    found.sort(key=lambda f: (-f[0], str(f[1]), f[2]))
    for length, path, first, name in found[: args.top]:
        try:
            shown = path.resolve().relative_to(ROOT)
        except ValueError:
            shown = path
        print(f"{length:5d}  {shown}:{first}  {name}")
    too_long = [f for f in found if args.limit and f[0] > args.limit]
    return 1 if too_long else 0


if __name__ == "__main__":
    sys.exit(main())
