#!/usr/bin/python3
"""Counts what a class shows its owners: every public member function, data
member and type (deleted members not counted), and fails above a limit.

    public_surface.py HEADER CLASS MOST

TTcpSocket's public surface grew unnoticed twice; this keeps it at its size.
"""
import re
import sys


def class_body(text, name):
    start = re.search(r"\bclass\s+" + re.escape(name) + r"\b[^;{]*\{", text)
    if not start:
        raise SystemExit(f"{name}: no class of that name")
    depth, at = 1, start.end()
    for i in range(at, len(text)):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return text[at:i]
    raise SystemExit(f"{name}: the class never ends")


def public_declarations(body):
    """The class body's statements at its own level, in public sections."""
    access, depth, statement, found = "private", 0, "", []
    for ch in body:
        statement += ch
        if ch in "({[":
            depth += 1
        elif ch in ")]":
            depth -= 1
        elif ch == "}":
            depth -= 1
            # A function's inline body ends its declaration; a type's or an
            # initialiser's braces end at the semicolon after them.
            if depth == 0 and ")" in statement.split("{", 1)[0]:
                found.append((access, statement.strip()))
                statement = ""
        elif ch == ":" and depth == 0:
            label = statement.strip()[:-1].strip()
            if label in ("public", "protected", "private"):
                access, statement = label, ""
        elif ch == ";" and depth == 0:
            if statement.strip() != ";":
                found.append((access, statement.strip()))
            statement = ""
    return [s for a, s in found if a == "public" and not re.search(r"=\s*delete\s*;?$", s)]


def main():
    header, name, most = sys.argv[1], sys.argv[2], int(sys.argv[3])
    text = open(header, encoding="utf-8").read()
    text = re.sub(r"//[^\n]*", "", text)
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    shown = public_declarations(class_body(text, name))
    for s in shown:
        print(" ".join(s.split())[:100])
    print(f"{name}: {len(shown)} public declarations, at most {most}")
    if not shown:
        print("none found: the header was not read as a class")
        return 2
    return 0 if len(shown) <= most else 1


if __name__ == "__main__":
    sys.exit(main())
