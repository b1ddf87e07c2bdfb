#!/usr/bin/env python3
"""Checks the help book: tag nesting, internal links and anchors, the same files in every language
folder, a link back to index.html on every page, every page reachable from index.html, no external
resources. Usage: python3 res/help/check_help.py [help-folder]; exit status 0 when all is well."""
import os, re, sys
from html.parser import HTMLParser

VOID = {"meta", "link", "br", "hr", "img", "input", "col", "area", "base", "param"}
ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))

class P(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.errors, self.links, self.anchors, self.res = [], [], [], set(), []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a":
            if "name" in a: self.anchors.add(a["name"])
            if "href" in a: self.links.append((a["href"], self.getpos()))
        if "id" in a: self.anchors.add(a["id"])
        if tag in ("img", "script", "iframe", "object", "embed"):
            self.errors.append(f"{self.getpos()}: forbidden tag <{tag}>")
        if tag == "link": self.res.append(a.get("href", ""))
        if tag not in VOID: self.stack.append((tag, self.getpos()))
    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID: self.stack.pop()
    def handle_endtag(self, tag):
        if tag in VOID:
            self.errors.append(f"{self.getpos()}: end tag for void <{tag}>"); return
        if not self.stack or self.stack[-1][0] != tag:
            self.errors.append(f"{self.getpos()}: </{tag}> does not close {self.stack[-1] if self.stack else 'nothing'}")
            # try to recover
            for i in range(len(self.stack) - 1, -1, -1):
                if self.stack[i][0] == tag: del self.stack[i:]; break
            return
        self.stack.pop()

ok = True
langs = sorted(d for d in os.listdir(ROOT) if os.path.isdir(os.path.join(ROOT, d)) and re.fullmatch(r"[a-z]{2}", d))
sets = {l: sorted(os.listdir(os.path.join(ROOT, l))) for l in langs}
ref = sets[langs[0]]
for l in langs:
    if sets[l] != ref:
        print(f"file sets differ: {langs[0]} {ref} vs {l} {sets[l]}"); ok = False
parsed = {}
for l in langs:
    for f in sets[l]:
        if not f.endswith(".html"): continue
        path = os.path.join(ROOT, l, f)
        text = open(path, encoding="utf-8").read()
        p = P(); p.feed(text); p.close()
        if p.stack: p.errors.append(f"unclosed: {p.stack}")
        if '<meta charset="utf-8">' not in text: p.errors.append("no meta charset")
        if not re.search(r'href="index.html"', text) and f != "index.html": p.errors.append("no link to index.html")
        for r in p.res:
            if re.match(r"[a-z]+:", r): p.errors.append(f"external resource {r}")
        parsed[(l, f)] = p
        for e in p.errors: print(f"{path}: {e}"); ok = False
for (l, f), p in parsed.items():
    for href, pos in p.links:
        if re.match(r"[a-z]+:", href):
            print(f"{l}/{f}:{pos}: external link {href}"); ok = False; continue
        target, _, frag = href.partition("#")
        target = target or f
        if (l, target) not in parsed:
            print(f"{l}/{f}:{pos}: broken link {href}"); ok = False; continue
        if frag and frag not in parsed[(l, target)].anchors:
            print(f"{l}/{f}:{pos}: missing anchor {href}"); ok = False
    for r in p.res:
        if not os.path.exists(os.path.join(ROOT, l, r)):
            print(f"{l}/{f}: missing stylesheet {r}"); ok = False
# every page reachable from index
for l in langs:
    seen, todo = set(), ["index.html"]
    while todo:
        f = todo.pop()
        if f in seen or (l, f) not in parsed: continue
        seen.add(f)
        todo += [h.partition("#")[0] for h, _ in parsed[(l, f)].links if h.partition("#")[0]]
    missing = [f for f in sets[l] if f.endswith(".html") and f not in seen]
    if missing: print(f"{l}: not reachable from index: {missing}"); ok = False
print("OK" if ok else "PROBLEMS")
sys.exit(0 if ok else 1)
