#!/usr/bin/env python3
"""Writes the registry-file fuzz corpus: typical and awkward registry texts."""
import os
import sys

CORPUS = {
    "devices": '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Quenlo\\Parameters\\lpt]\n'
               '"PortBase"=dword:00000378\n"PortCount"=dword:00000002\n',
    "strings": '[HKEY_LOCAL_MACHINE\\A]\n"Text"=sz:"a \\"quoted\\" \\\\ line\\nnext"\n'
               '"Path"=expand:"%SystemRoot%\\\\x"\n@=hex(3):00,ff,10\n',
    "broken": '[HKEY_LOCAL_MACHINE\\A\n"x"=dword:1\n[NOWHERE]\n"y"=sz:"open\n"=hex(3):0\n[HKEY_CURRENT_USER\\\\B]\n',
    "case": '[HKEY_LOCAL_MACHINE\\Key]\n"Name"=dword:00000001\n[HKEY_LOCAL_MACHINE\\KEY]\n"NAME"=dword:00000002\n',
    "embedded_zero": '[HKEY_CLASSES_ROOT\\Z]\n"z"=hex(1):61,00,62,00\n"e"=hex(2):\n',
}

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
os.makedirs(out, exist_ok=True)
for name, text in CORPUS.items():
    with open(os.path.join(out, name), "w", newline="") as f:
        f.write(text)
