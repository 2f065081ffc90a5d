#pragma once

// Plausible records for the benchmarks, the same sequence on every run: Chinese
// names and categories, QQ and telephone numbers, addresses, and remarks of one
// to four lines joined by CR LF as the memo stores them. About 160 bytes of
// UTF-8 text per record, so 100,000 records hold about 16 MB of text.

#include <array>
#include <cstddef>
#include <random>
#include <initializer_list>
#include <string>
#include <string_view>

namespace bench {

class RecordMaker {
public:
    // 分类, 姓名, QQ, 手机, 电话, 传真, 邮箱, 主页, 备注
    using Record = std::array<std::string, 9>;

    explicit RecordMaker(unsigned seed = 2010) : random_(seed) {}

    Record Next()
    {
        static const char* const categories[] = {"网站帐号", "论坛帐号", "邮箱帐号", "QQ帐号", "银行帐号",
                                                 "游戏帐号", "同事",     "同学",     "家人"};
        static const char* const surnames[] = {"张", "王", "李", "赵", "陈", "刘", "杨", "黄",
                                               "周", "吴", "徐", "孙", "马", "朱", "胡", "欧阳"};
        static const char* const givenParts[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军",
                                                 "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀兰", "霞"};
        static const char* const mailHosts[] = {"@qq.com", "@163.com", "@126.com", "@sina.com", "@example.cn"};
        static const char* const phrases[] = {
            "密保问题：母亲的名字", "答案见笔记本", "注册于2009年", "绑定手机已更换", "请勿外借",
            "常用", "工作邮箱，每周五清理一次", "备用邮箱见下一条", "生日：三月十二日", "住址：北京市海淀区",
            "开户行：招商银行深圳分行", "游戏区服：电信一区", "论坛等级：版主", "上次修改密码：2010年4月",
            "联系时间：工作日晚上", "朋友介绍认识",
        };
        Record record;
        record[0] = Pick(categories);
        record[1] = std::string(Pick(surnames)) + Pick(givenParts) + (Coin() ? Pick(givenParts) : "");
        record[2] = Digits(5 + static_cast<int>(random_() % 6));
        record[3] = Joined({"13", Digits(9)});
        record[4] = Telephone();
        record[5] = Coin() ? Telephone() : std::string();
        record[6] = (Coin() ? record[2] : Letters(4 + static_cast<int>(random_() % 6))) + Pick(mailHosts);
        if (random_() % 3 != 0)
            record[7] = Joined({"http://www.", Letters(3 + static_cast<int>(random_() % 8)), ".com/user/", record[2]});
        const int lines = static_cast<int>(random_() % 6);
        for (int line = 0; line < lines; ++line) {
            if (line)
                record[8] += "\r\n";
            record[8] += Pick(phrases);
        }
        return record;
    }

private:
    template <std::size_t N>
    const char* Pick(const char* const (&items)[N])
    {
        return items[random_() % N];
    }
    bool Coin() { return random_() % 2 == 0; }
    std::string Telephone() { return Joined({"0", Digits(2), "-", Digits(8)}); }
    static std::string Joined(std::initializer_list<std::string_view> parts)
    {
        std::string text;
        for (std::string_view part : parts)
            text.append(part);
        return text;
    }
    std::string Digits(int count) { return Run(count, '0', 10); }
    std::string Letters(int count) { return Run(count, 'a', 26); }
    std::string Run(int count, char first, unsigned span)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>(first + static_cast<char>(random_() % span));
        return text;
    }

    std::mt19937 random_;
};

} // namespace bench
