#!/usr/bin/env python3
"""Every code snippet of the list view's guide stands, to the letter, in the example it names:
a snippet marked <!-- snippet: FILE [NAME] --> is the code between the two `// [NAME]` lines of
FILE, its common indentation taken away.

Usage: GuideSnippets.py SOURCE_DIR; prints each snippet that no longer matches; exit 1 then."""
import os
import re
import sys

MARK = re.compile(r"<!-- snippet: (\S+) \[([\w-]+)\] -->\n```cpp\n(.*?)```", re.S)


def region(path, name):
    parts = open(path, encoding="utf-8").read().split("// [" + name + "]")
    if len(parts) != 3:
        return None
    lines = parts[1].strip("\n").split("\n")
    indent = min(len(l) - len(l.lstrip()) for l in lines if l.strip())
    return "\n".join(l[indent:] for l in lines).rstrip()


def main():
    root = sys.argv[1]
    guide = open(os.path.join(root, "docs/listview.md"), encoding="utf-8").read()
    snippets = MARK.findall(guide)
    failed = not snippets
    for path, name, code in snippets:
        if region(os.path.join(root, path), name) != code.rstrip():
            print(f"docs/listview.md: the snippet {path} [{name}] is not in its example")
            failed = True
    print(f"{len(snippets)} snippets checked")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
