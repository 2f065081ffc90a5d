"""Two-way sync with a contact server (Radicale on 127.0.0.1), set up on the settings page."""

import base64
import os
import re
import socket
import tempfile
import time
import urllib.request
from pathlib import Path

from desktop import expect, until

USER, PASSWORD = "alice", "secret"


def _free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def _radicale(j):
    """Radicale with its storage in /dev/shm on a free port; ended with the journey."""
    folder = Path(tempfile.mkdtemp(prefix="quillory-dav.", dir="/dev/shm"))
    (folder / "users").write_text(f"{USER}:{PASSWORD}\n")
    port = _free_port()
    (folder / "config").write_text(
        f"[server]\nhosts = 127.0.0.1:{port}\n[auth]\ntype = htpasswd\n"
        f"htpasswd_filename = {folder / 'users'}\nhtpasswd_encryption = plain\ndelay = 0\n"
        f"[storage]\nfilesystem_folder = {folder / 'storage'}\n[logging]\nlevel = warning\n")
    # Started inside its package folder, Radicale's types.py would shadow Python's.
    j.suite.processes.start(["/usr/bin/python3", "-m", "radicale", "--config", str(folder / "config")],
                            dict(os.environ), cwd=folder)

    def listening():
        with socket.socket() as probe:
            return probe.connect_ex(("127.0.0.1", port)) == 0
    until("Radicale to listen", listening, timeout=30)
    return f"http://127.0.0.1:{port}"


def _dav(method, url, body=b"", headers=None):
    """One request as a phone sends it, with the user's name and password."""
    request = urllib.request.Request(url, data=body or None, method=method, headers=headers or {})
    token = base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
    request.add_header("Authorization", f"Basic {token}")
    with urllib.request.urlopen(request, timeout=30) as answer:
        return answer.status, answer.read().decode()


def _cards(book):
    """The book's cards on the server: href -> text."""
    _, listing = _dav("PROPFIND", book, b'<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>',
                      {"Depth": "1", "Content-Type": "application/xml"})
    hrefs = [h for h in re.findall(r"<href>([^<]+)</href>", listing) if h.endswith(".vcf")]
    base = re.match(r"https?://[^/]+", book).group(0)
    return {href: _dav("GET", base + href)[1] for href in hrefs}


def _sync_status(main):
    return next((label.name for label in main.element.find_all("label")
                 if label.name.startswith(("上次同步", "正在同步", "尚未同步"))), "")


def _press_sync(main, before):
    main.button("立即同步").click()
    return until("the sync to end", lambda: (lambda s: s if s.startswith("上次同步") and s != before else None)(
        _sync_status(main)), timeout=60)


def set_up_and_follow_the_server(j):
    """The group 通讯录同步: address, user and password typed, 立即同步 finds the book and
    sends the records; a record added in the editor reaches the server a few seconds later;
    a card changed on the server as a phone changes it appears in the grid after 立即同步."""
    root = _radicale(j)
    book = f"{root}/{USER}/contacts/"
    _dav("MKCOL", book, b'<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop>'
         b'<resourcetype><collection/><C:addressbook/></resourcetype></prop></set></mkcol>',
         {"Content-Type": "application/xml"})
    program = j.started(seed=[{"分类": "朋友", "姓名": "张三", "手机": "13800000001"}])
    main = program.log_in()
    main.wait_status("共1条信息")
    main.page("软件设置")
    main.fill("服务器地址", root + "/")
    main.fill("用户名", USER)
    main.element.beside("密码", roles=("password text",)).focus()
    j.desktop.type(PASSWORD)
    status = _press_sync(main, "")
    expect("上传1条" in status, f"the status line reads {status!r}")
    cards = _cards(book)
    expect(len(cards) == 1 and "FN:张三" in next(iter(cards.values())), f"the server holds {cards}")

    # A record added in the editor goes up by itself a few seconds later.
    main.page("通讯录管理")
    main.pick(main.field("分类"), "网站帐号")
    main.fill("姓名", "李四")
    main.fill("手机", "13900000002")
    main.button("添加").click()
    program.message().expect("添加成功.").press()
    until("the new record on the server", lambda: any("FN:李四" in card for card in _cards(book).values()),
          timeout=30)

    # The phone changes 张三's number; 立即同步 brings it into the grid.
    href, card = next((h, c) for h, c in _cards(book).items() if "FN:张三" in c)
    changed = card.replace("13800000001", "13811112222")
    expect(changed != card, f"the card holds no number to change: {card!r}")
    _dav("PUT", re.match(r"https?://[^/]+", book).group(0) + href, changed.encode(),
         {"Content-Type": "text/vcard; charset=utf-8"})
    main.page("软件设置")
    status = _press_sync(main, _sync_status(main))
    expect("更新1条" in status, f"the status line reads {status!r}")
    main.page("通讯录管理")
    until("the server's number in the grid", lambda: any("13811112222" in row for row in main.rows()))
    stored = {record["姓名"]: record["手机"] for record in program.records()}
    expect(stored == {"张三": "13811112222", "李四": "13900000002"}, f"the database holds {stored}")


JOURNEYS = [
    ("sync-with-server", set_up_and_follow_the_server),
]
