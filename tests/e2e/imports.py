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


def _preview(program):
    window = until("the window '导入预览'", lambda: next(
        (w for w in program.top_levels() if w.name == "导入预览"), None))
    return program.settled(window)


def _labels(window):
    return [label.name for label in window.find_all("label") if label.name]


def _import(j, program, main, fixture, kind, summary, done):
    """导入表格 with the file typed into the desktop's file dialog; the preview must name
    the file's kind and counts; one click on 导入 takes it."""
    before = program.records()
    path = program.home / fixture
    shutil.copyfile(FIXTURES / fixture, path)
    main.button("导入表格").click()
    dialog = program.message()
    expect(dialog.caption == "导入", f"导入表格 opened {dialog!r}")
    j.desktop.type(str(path))  # into the file name, which has the focus
    j.desktop.key("Return")
    preview = _preview(program)
    labels = _labels(preview)
    expect(any(label.startswith(f"类型: {kind}    编码: ") for label in labels),
           f"the preview does not name {kind!r}: {labels}")
    expect(summary in labels, f"the preview does not say {summary!r}: {labels}")
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


JOURNEYS = [
    ("import-google-outlook", google_and_outlook),
]
