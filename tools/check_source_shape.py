#!/usr/bin/env python3
"""Fails, naming each offender, when a file in src/ is over 450 lines or a function in it over 80.

A function is found by its braces: a block opened at namespace or class scope that is not itself a
namespace, class, struct, union, enum, extern block or braced initializer. Comments, strings and
character literals are blanked first so their braces do not count. Lambdas and local classes count
toward the function they stand in.
"""
import pathlib
import re
import sys

MAX_FILE_LINES = 450
MAX_FUNCTION_LINES = 80
SOURCE_SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}
SCOPE_OPENER = re.compile(r"\b(namespace|class|struct|union|enum)\b[^;()]*$|\bextern\s+\"C\\?\"\s*$")


def blank_literals(text):
    """The text with comments, strings and character literals replaced by blanks, lines kept."""
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|R"([^(]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                         re.S)
    return pattern.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def long_functions(text):
    """(first line, length, heading) of each function longer than the limit."""
    code = blank_literals(text)
    found = []
    # Each open brace's kind: 'scope' (namespace, class...), 'function', or 'inner'.
    stack = []
    statement_start = 0
    line = 1
    for index, char in enumerate(code):
        if char == "\n":
            line += 1
        elif char in ";}":
            if char == "}" and stack:
                kind, start_line, heading = stack.pop()
                if kind == "function" and line - start_line + 1 > MAX_FUNCTION_LINES:
                    found.append((start_line, line - start_line + 1, heading))
            statement_start = index + 1
        elif char == "{":
            heading = " ".join(code[statement_start:index].split())
            inside_function = any(kind != "scope" for kind, _, _ in stack)
            if inside_function:
                kind = "inner"
            elif SCOPE_OPENER.search(heading) or heading.endswith("=") or not heading.endswith(
                    ")") and not re.search(r"\)\s*(const|noexcept|override|final|->.*|\s)*$", heading):
                kind = "scope"
            else:
                kind = "function"
            start_line = code.count("\n", 0, statement_start) + 1
            stack.append((kind, start_line, heading[-70:]))
            statement_start = index + 1
    return found


def main(root):
    faults = []
    for path in sorted(pathlib.Path(root, "src").rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES:
            continue
        text = path.read_text(encoding="utf-8")
        lines = text.count("\n")
        name = path.relative_to(root)
        if lines > MAX_FILE_LINES:
            faults.append(f"{name}: {lines} lines (at most {MAX_FILE_LINES}): split it by job")
        for start, length, heading in long_functions(text):
            faults.append(f"{name}:{start}: a function of {length} lines (at most "
                          f"{MAX_FUNCTION_LINES}): {heading}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
