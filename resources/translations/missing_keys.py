#!/usr/bin/env python3
"""Lists the Chinese texts of the code that lvxing_en.ts does not translate yet.

Texts written to the log are left out: the log stays in Chinese whatever the language.
Run from anywhere; add the texts it prints to lvxing_en.ts.
"""
import glob
import html
import os
import re

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
TS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lvxing_en.ts")
CHINESE = re.compile(r'"([^"\\]*[\u4e00-\u9fff][^"\\]*)"')


def translated():
    with open(TS, encoding="utf-8") as f:
        return {html.unescape(s) for s in re.findall(r"<source>(.*?)</source>", f.read())}


def texts_in_code():
    found = {}
    for folder in ("app", "tour", "screens", "views", "platform"):
        for path in glob.glob(os.path.join(ROOT, folder, "**", "*.cpp"), recursive=True):
            with open(path, encoding="utf-8") as f:
                for line in f:
                    if "Log::write" in line:
                        continue
                    for text in CHINESE.findall(line):
                        found.setdefault(text, set()).add(os.path.relpath(path, ROOT))
    return found


if __name__ == "__main__":
    have = translated()
    for text, files in sorted(texts_in_code().items()):
        if text not in have:
            print(f"{text}\t{', '.join(sorted(files))}")
