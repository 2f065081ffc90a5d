#include "transfer/VCardProperties.h"

#include <unordered_map>

namespace transfer {
namespace {

struct Entry {
    std::string_view name;
    PropertyUse use;
    std::string_view chineseName;
    std::string_view label = {};
};

using U = PropertyUse;

constexpr Entry kProperties[] = {
    {"FN", U::Name, "显示名称"},
    {"N", U::NameParts, "姓名 (姓、名)"},
    {"ORG", U::Company, "公司"},
    {"TEL", U::Telephone, "电话号码"},
    {"EMAIL", U::Email, "电子邮件"},
    {"URL", U::HomePage, "网址"},
    {"NOTE", U::Remarks, "备注"},
    {"CATEGORIES", U::Groups, "分组"},
    {"X-QQ", U::QQ, "QQ"},
    {"IMPP", U::Messaging, "即时通讯"},
    {"X-AIM", U::Chat, "AIM", "即时通讯(AIM)"},
    {"X-ICQ", U::Chat, "ICQ", "即时通讯(ICQ)"},
    {"X-MSN", U::Chat, "MSN", "即时通讯(MSN)"},
    {"X-YAHOO", U::Chat, "Yahoo", "即时通讯(Yahoo)"},
    {"X-JABBER", U::Chat, "Jabber", "即时通讯(Jabber)"},
    {"X-SKYPE", U::Chat, "Skype", "即时通讯(Skype)"},
    {"X-SKYPE-USERNAME", U::Chat, "Skype", "即时通讯(Skype)"},
    {"X-GOOGLE-TALK", U::Chat, "Google Talk", "即时通讯(Google Talk)"},
    {"X-GADUGADU", U::Chat, "Gadu-Gadu", "即时通讯(Gadu-Gadu)"},
    {"X-WECHAT", U::Chat, "微信", "微信"},
    {"ADR", U::Address, "地址"},
    {"TITLE", U::Note, "职务", "职务"},
    {"ROLE", U::Note, "角色", "角色"},
    {"BDAY", U::Note, "生日", "生日"},
    {"ANNIVERSARY", U::Note, "纪念日", "纪念日"},
    {"X-ANNIVERSARY", U::Note, "纪念日", "纪念日"},
    {"X-ABDATE", U::Note, "日期", "纪念日"},
    {"NICKNAME", U::Note, "昵称", "昵称"},
    {"GENDER", U::Note, "性别", "性别"},
    {"X-GENDER", U::Note, "性别", "性别"},
    {"X-PHONETIC-FIRST-NAME", U::Note, "名的读音", "姓名读音"},
    {"X-PHONETIC-MIDDLE-NAME", U::Note, "中间名的读音", "姓名读音"},
    {"X-PHONETIC-LAST-NAME", U::Note, "姓的读音", "姓名读音"},
    {"X-PHONETIC-ORG", U::Note, "公司读音", "公司读音"},
    {"X-ABRELATEDNAMES", U::Note, "相关人", "相关人"},
    {"RELATED", U::Note, "相关人", "相关人"},
    {"X-SOCIALPROFILE", U::Note, "社交帐号", "社交帐号"},
    {"X-ASSISTANT", U::Note, "助理", "助理"},
    {"X-MANAGER", U::Note, "经理", "经理"},
    {"X-SPOUSE", U::Note, "配偶", "配偶"},
    {"X-ANDROID-CUSTOM", U::AndroidField, "安卓自定义字段"},
    {"X-ABLABEL", U::Label, "标签"},
    {"VERSION", U::Bookkeeping, "版本"},
    {"PRODID", U::Bookkeeping, "生成程序"},
    {"REV", U::Bookkeeping, "修改时间"},
    {"UID", U::Bookkeeping, "唯一标识"},
    {"KIND", U::Bookkeeping, "名片类型"},
    {"CLASS", U::Bookkeeping, "访问级别"},
    {"SOURCE", U::Bookkeeping, "来源"},
    {"NAME", U::Bookkeeping, "名称"},
    {"PROFILE", U::Bookkeeping, "格式"},
    {"MAILER", U::Bookkeeping, "邮件程序"},
    {"CLIENTPIDMAP", U::Bookkeeping, "同步标识"},
    {"SORT-STRING", U::Bookkeeping, "排序字符串"},
    {"LABEL", U::Bookkeeping, "地址标签"},
    {"X-ABADR", U::Bookkeeping, "地址格式"},
    {"X-ABSHOWAS", U::Bookkeeping, "显示方式"},
    {"X-ABUID", U::Bookkeeping, "唯一标识"},
    {"X-MOZILLA-HTML", U::Bookkeeping, "邮件格式"},
    {"X-MS-OL-DEFAULT-POSTAL-ADDRESS", U::Bookkeeping, "默认地址"},
    {"X-MS-OL-DESIGN", U::Bookkeeping, "名片设计"},
    {"PHOTO", U::NotKept, "照片"},
    {"LOGO", U::NotKept, "标志图片"},
    {"SOUND", U::NotKept, "声音"},
    {"KEY", U::NotKept, "公钥"},
    {"GEO", U::NotKept, "地理位置"},
    {"TZ", U::NotKept, "时区"},
    {"LANG", U::NotKept, "语言"},
    {"MEMBER", U::NotKept, "群组成员"},
    {"FBURL", U::NotKept, "忙闲地址"},
    {"CALURI", U::NotKept, "日历地址"},
    {"CALADRURI", U::NotKept, "日程邀请地址"},
    {"AGENT", U::NotKept, "代理人"},
    {"XML", U::NotKept, "XML数据"},
};

const Entry* Find(std::string_view name)
{
    static const auto entries = [] {
        std::unordered_map<std::string_view, const Entry*> map;
        for (const Entry& entry : kProperties)
            map.emplace(entry.name, &entry);
        return map;
    }();
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : found->second;
}

} // namespace

PropertyInfo PropertyOf(std::string_view name)
{
    const Entry* entry = Find(name);
    return entry ? PropertyInfo{entry->use, entry->label} : PropertyInfo{};
}

std::string ChineseNameOf(std::string_view name)
{
    const Entry* entry = Find(name);
    return entry ? std::string(entry->chineseName) : "其他属性(" + std::string(name) + ")";
}

std::string DescribeUse(const PropertyInfo& property)
{
    switch (property.use) {
    case PropertyUse::Name: return "姓名";
    case PropertyUse::NameParts: return "姓名 (没有显示名称时); 称谓、后缀进备注";
    case PropertyUse::Company: return "备注: 公司 (没有人名时作姓名)";
    case PropertyUse::Telephone: return "手机/电话/传真 (按类型); 标为QQ的进QQ";
    case PropertyUse::Email: return "邮箱";
    case PropertyUse::HomePage: return "主页";
    case PropertyUse::Remarks: return "备注";
    case PropertyUse::Groups: return "分类 (多个时取第一个, 其余进备注)";
    case PropertyUse::QQ: return "QQ";
    case PropertyUse::Messaging: return "QQ 或 备注 (按服务)";
    case PropertyUse::Chat:
    case PropertyUse::Note: return "备注: " + std::string(property.label);
    case PropertyUse::Address: return "备注: 地址";
    case PropertyUse::AndroidField: return "备注: 昵称、纪念日、相关人";
    case PropertyUse::Label: return "用作同组属性的标签";
    case PropertyUse::Bookkeeping:
    case PropertyUse::NotKept: return "不导入";
    }
    return {};
}

} // namespace transfer
