"""Imports of what other address books write, through the real program's preview."""

import shutil
from pathlib import Path

from desktop import expect, until

FIXTURES = Path(__file__).resolve().parent.parent / "transfer" / "fixtures"

# A record the Google file repeats: same name, same number.
KNOWN = {"分类": "网站帐号", "姓名": "星光贸易有限公司", "电话": "0755-8888 0004"}


def _record(**fields):
    names = ["分类", "姓名", "QQ", "手机", "电话", "传真", "邮箱", "主页", "备注"]
    return {name: fields.get(name, "") for name in names}


def preview_window(program, timeout=10.0):
    window = until("the window '导入预览'", lambda: next(
        (w for w in program.top_levels() if w.name == "导入预览"), None), timeout)
    return program.settled(window)


def _labels(window):
    return [label.name for label in window.find_all("label") if label.name]



def open_import(j, program, main, button, path):
    """导入表格 or 导入名片 with the file's path typed into the desktop's file dialog."""
    main.button(button).click()
    dialog = program.message()
    expect(dialog.caption == "导入", f"{button} opened {dialog!r}")
    j.desktop.type(str(path))  # into the file name, which has the focus
    j.desktop.key("Return")


def _import(j, program, main, fixture, kind, summary, done, button="导入表格", encoding=None, repairs=()):
    """Imports a file as another program wrote it: the preview must name the file's kind,
    encoding, counts and each repair; one click on 导入 takes it."""
    before = program.records()
    path = program.home / fixture
    shutil.copyfile(FIXTURES / fixture, path)
    open_import(j, program, main, button, path)
    preview = preview_window(program)
    labels = _labels(preview)
    expect(any(label.startswith(f"类型: {kind}") for label in labels),
           f"the preview does not name {kind!r}: {labels}")
    expect(summary in labels, f"the preview does not say {summary!r}: {labels}")
    if encoding:
        shown = preview.beside("编码:", roles=("combo box",)).name
        expect(shown == encoding, f"the preview reads the file as {shown!r}, not {encoding!r}")
    listed = [item.name for item in preview.find_all("list item")]
    expect(listed == list(repairs), f"the preview lists the repairs {listed}")
    expect(program.records() == before, "the preview wrote something")
    preview.find("push button", "导入").click()
    program.message().expect(done).press()


def google_and_outlook(j):
    """A Google Contacts CSV, an Outlook CSV in Chinese and GBK and a GBK sheet without a
    header row, each through the preview: their kinds recognised, a duplicate of the book
    skipped, names put together, numbers sorted by kind, companies and titles in 备注, the
    sheet's columns told by their values, new categories in class.dat and the grid."""
    program = j.started(seed=[KNOWN])
    main = program.log_in()
    main.wait_status("共1条信息")
    main.page("软件设置")

    _import(j, program, main, "google_new.csv", "Google 通讯录",
            "文件中有2条记录, 其中1条与通讯录里已有的或文件中前面的记录重复 (姓名相同, 且有相同的电话或邮箱). "
            "将添加1条记录.", "已导入1条记录.\n跳过了1条重复的记录.")
    _import(j, program, main, "outlook_zh_gbk.csv", "Outlook (中文)",
            "文件中有2条记录. 将添加2条记录.", "已导入2条记录.")
    _import(j, program, main, "headerless_gbk.csv", "无表头的表格",
            "文件中有3条记录. 将添加3条记录.", "已导入3条记录.\n未导入的列: 第1列")

    expected = [
        _record(**KNOWN),
        _record(分类="朋友", 姓名="李小红", QQ="20002", 手机="+86 138 0000 0003", 电话="021-5555 0003",
                邮箱="lixh@example.com; LiXH@Example.org", 备注="第一行\n第二行\n其他分组: 同事"),
        _record(分类="客户", 姓名="王小明", 手机="13900000005", 电话="010-1234 5678", 传真="010-8765 4321",
                邮箱="wxm@huaxia.example.cn", 主页="www.huaxia.example.cn",
                备注="老客户\n公司: 华夏电子\n部门: 销售部\n职务: 经理\n生日: 1978/6/1\n商务地址: 建国路88号 北京"),
        _record(姓名="长城物流", 电话="022-2222 0006", 备注="公司: 长城物流"),
        _record(姓名="张三", QQ="10001", 电话="13800000001", 邮箱="zhangsan@example.com", 备注="同学"),
        _record(姓名="李四", QQ="20002", 电话="010-62345678"),
        _record(姓名="王五", 电话="+86 139 0000 0003", 邮箱="wangwu@example.cn", 备注="常联系"),
    ]
    expect(program.records() == expected, f"the database holds {program.records()}")
    categories = program.categories()
    expect("朋友" in categories and "客户" in categories, f"class.dat reads {categories}")
    main.page("通讯录管理")
    main.wait_status("共7条信息")
    names = [row[2] for row in main.rows()]
    expect(names == ["星光贸易有限公司", "李小红", "王小明", "长城物流", "张三", "李四", "王五"],
           f"the grid shows {names}")


def damaged_and_foreign(j):
    """Cards of six Android contacts with a stray byte in one company, iPhone cards whose
    lines end in CR CR LF, a card whose Greek name a fold splits and a Shift_JIS sheet: each
    imports whole, the stray byte marked and named with its line in the preview, the
    Japanese sheet read in its own encoding."""
    program = j.started()
    main = program.log_in()
    main.wait_status("共0条信息")
    main.page("软件设置")

    _import(j, program, main, "android_stray_byte.vcf", "名片 (vCard 2.1, 安卓手机)",
            "文件中有6条记录. 将添加6条记录.", "已导入6条记录.", button="导入名片", encoding="UTF-8",
            repairs=["第28行: 1个字节不是有效的UTF-8文字, 已换成\"\ufffd\""])
    _import(j, program, main, "ios_crcrlf.vcf", "名片 (vCard 3.0, 苹果设备)",
            "文件中有2条记录. 将添加2条记录.", "已导入2条记录.", button="导入名片")
    _import(j, program, main, "split_by_fold.vcf", "名片 (vCard 3.0)",
            "文件中有1条记录. 将添加1条记录.", "已导入1条记录.", button="导入名片")
    _import(j, program, main, "shift_jis.csv", "表格", "文件中有3条记录. 将添加3条记录.", "已导入3条记录.",
            encoding="Shift_JIS (日文)")

    names = [record["姓名"] for record in program.records()]
    expect(names == ["刘洋", "陈杰", "杨帆", "赵敏", "孙丽", "周强", "黄晓明", "Amy Chen",
                     "Αλέξανδρος Παπαδόπουλος-Κωνσταντινίδης", "山田 太郎", "鈴木 花子", "佐藤 一郎"],
           f"the database holds {names}")
    companies = [record["备注"] for record in program.records()[3:4]]
    expect(companies == ["公司: 招\ufffd商银行"], f"the damaged company reads {companies}")
    huang = program.records()[6]
    expect(huang["备注"].startswith("第一次见面是在上海的展会上") and "周末常去打羽毛球。" in huang["备注"],
           f"the folded note reads {huang['备注']!r}")


def hostile(j):
    """A link to /dev/zero, a card whose one line is folded over 300,000 lines and a table
    of 100,000 columns: the first two are refused with why, the third previews its columns
    in one list; nothing is written and the program stays responsive."""
    program = j.started()
    main = program.log_in()
    main.wait_status("共0条信息")
    main.page("软件设置")

    zero = program.home / "unpacked.csv"
    zero.symlink_to("/dev/zero")
    open_import(j, program, main, "导入表格", zero)
    program.message().expect(f"导入失败, 没有写入任何记录.\n无法读取文件\"{zero}\": "
                             "这不是普通文件(而是设备、管道或套接字), 不能导入.").press()

    folded = program.home / "folded.vcf"
    folded.write_bytes(b"BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE" + b"\r\n x" * 300000 + b"\r\nEND:VCARD\r\n")
    open_import(j, program, main, "导入名片", folded)
    program.message().expect("导入失败, 没有写入任何记录.\n第3行: 这一行不是名片的属性(应为\"名称:值\"), 已跳过. "
                             "文件中没有一张可以导入的名片.").press()

    wide = program.home / "wide.csv"
    wide.write_text(",".join(f"Custom Field {n}" for n in range(1, 100001)) + "\r\n"
                    + ",".join(["x"] * 100000) + "\r\n", encoding="utf-8")
    open_import(j, program, main, "导入表格", wide)
    preview = preview_window(program, timeout=30)
    # Only the dialog's own controls: its list of 100,000 columns is not walked.
    labels = [c.name for c in preview.children() if c.role == "label"]
    expect("还没有选择要导入的列." in labels, f"the preview says {labels}")
    next(c for c in preview.children() if c.role == "push button" and c.name == "取消").click()
    until("the preview to close", lambda: not any(w.name == "导入预览" for w in program.top_levels()))
    expect(program.records() == [], "something was written")
    main.page("通讯录管理")
    main.wait_status("共0条信息")


JOURNEYS = [
    ("import-google-outlook", google_and_outlook),
    ("import-damaged-foreign", damaged_and_foreign),
    ("import-hostile", hostile),
]
