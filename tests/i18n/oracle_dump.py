#!/usr/bin/env python3
"""Dumps what Python's gettext module translates each msgid of an MO catalog to, one
"<hex msgid> <hex translation in UTF-8>" line per entry (plural entries and the header skipped)."""
import gettext
import sys

mo, out = sys.argv[1], sys.argv[2]
with open(mo, "rb") as f:
    translations = gettext.GNUTranslations(f)
with open(out, "w") as f:
    for msgid in sorted(k for k in translations._catalog if isinstance(k, str) and k):
        translated = translations.gettext(msgid)
        f.write("%s %s\n" % (msgid.encode("utf-8").hex(), translated.encode("utf-8").hex()))
