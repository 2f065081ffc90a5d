"""The program's keys seen as a core dump would see them: the memory of a logged-in
program, every region a dump holds except those marked to stay out of dumps, searched for
the database's passphrase and for the key derived from it."""

import hashlib
import os

from desktop import DATABASE_KEY, expect

SALT_BYTES = 16
KEY_BYTES = 32
ROUNDS = 64000


def derived_keys(database):
    """The key the program derives from the passphrase and the file's salt, and the signing
    key the engine derives from that key (the salt with each byte xor 0x3a, two rounds)."""
    with open(database, "rb") as file:
        salt = file.read(SALT_BYTES)
    key = hashlib.pbkdf2_hmac("sha1", DATABASE_KEY.encode(), salt, ROUNDS, KEY_BYTES)
    signing_salt = bytes(b ^ 0x3A for b in salt)
    return key, hashlib.pbkdf2_hmac("sha1", key, signing_salt, 2, KEY_BYTES)


def secrets(database):
    """Every form in which a copy of a secret would lie in memory, by name."""
    key, signing = derived_keys(database)
    forms = {
        "passphrase (UTF-8)": DATABASE_KEY.encode(),
        "passphrase (UTF-16)": DATABASE_KEY.encode("utf-16-le"),
        "key as hex text": key.hex().encode(),
        "key as HEX text": key.hex().upper().encode(),
        "signing key": signing,
    }
    # Halves as well: a cipher's key schedule holds the key in two rows of 16 bytes.
    for half in (0, 1):
        forms[f"key, half {half + 1}"] = key[half * 16:(half + 1) * 16]
        forms[f"signing key, half {half + 1}"] = signing[half * 16:(half + 1) * 16]
    return forms


def dumped_regions(pid, no_dump=False):
    """The address ranges a core dump of the process holds: anonymous memory and the written
    copies of files' private pages (file-backed pages that were never written are the file
    itself), less every region marked to stay out of dumps; with no_dump, only those."""
    regions = []
    with open(f"/proc/{pid}/smaps") as smaps:
        current = None
        for line in smaps:
            fields = line.split()
            if "-" in fields[0] and len(fields) >= 5 and ":" in fields[3]:
                start, end = (int(x, 16) for x in fields[0].split("-"))
                path = fields[5] if len(fields) > 5 else ""
                perms = fields[1]
                file_backed = path.startswith("/")
                current = {"start": start, "end": end, "path": path, "keep": "r" in perms
                           and ("w" in perms or not file_backed) and path not in ("[vvar]", "[vsyscall]")}
                regions.append(current)
            elif fields[0] == "VmFlags:" and current is not None:
                current["no_dump"] = "dd" in fields[1:]
    return [r for r in regions if r["keep"] and r.get("no_dump", False) == no_dump]


def found_copies(pid, forms, no_dump=False):
    """Where each form of a secret lies in the dumped memory (or, with no_dump, in the
    memory left out of dumps): {name: [(address, region)]}."""
    found = {}
    with open(f"/proc/{pid}/mem", "rb", buffering=0) as memory:
        for region in dumped_regions(pid, no_dump):
            try:
                memory.seek(region["start"])
                data = memory.read(region["end"] - region["start"])
            except OSError:
                continue  # a guard page, gone meanwhile
            for name, form in forms.items():
                at = data.find(form)
                while at >= 0:
                    found.setdefault(name, []).append((region["start"] + at, region["path"] or "anonymous"))
                    at = data.find(form, at + 1)
    return found


def keys_out_of_dumps(j):
    """A logged-in program that has listed, added, compacted and exported holds no copy of
    the passphrase or of the derived key where a core dump would take it."""
    if os.geteuid() != 0:
        print("  (skipped: reading another process's memory takes root, as the program is not dumpable)")
        return
    program = j.started()
    main = program.log_in()
    main.pick(main.field("分类"), "网站帐号")
    main.fill("姓名", "张三")
    main.button("添加").click()
    program.message().expect("添加成功.").press()
    main.page("软件设置")
    main.button("压缩修复").click()
    program.message().expect("数据库压缩完成.").press()
    main.button("导出表格").click()  # a connection of the export's own
    program.message()  # the file dialog
    j.desktop.type(str(program.home / "book.csv"))
    j.desktop.key("Return")
    program.message().expect("已导出1条记录.").press()
    forms = secrets(program.file("_.udb"))
    # The key is there, held for the open connection: in the memory left out of dumps.
    kept = found_copies(program.pid, forms, no_dump=True)
    expect("key as hex text" in kept and "signing key" in kept,
           f"the key is nowhere in the memory left out of dumps (found {sorted(kept)})")
    found = found_copies(program.pid, forms)
    expect(not found, "copies in dumped memory: " + "; ".join(
        f"{name} at {', '.join(f'{address:#x} ({where})' for address, where in places[:3])}"
        for name, places in found.items()))


JOURNEYS = [
    ("keys-out-of-dumps", keys_out_of_dumps),
]
