#include "transfer/ColumnVocabulary.h"

#include "transfer/ContactWords.h"

#include <algorithm>
#include <span>
#include <unordered_map>

namespace transfer {
namespace {

constexpr ColumnWord F(std::string_view name, int field) { return {name, Target::Field, field}; }
constexpr ColumnWord T(std::string_view name, Target target) { return {name, target}; }
constexpr ColumnWord Tel(std::string_view name, PhoneKind kind) { return {name, Target::Telephone, -1, kind}; }
constexpr ColumnWord N(std::string_view name, std::string_view label = {}, bool defaults = false)
{
    return {name, Target::Note, -1, PhoneKind::Other, label, defaults};
}
constexpr ColumnWord P(std::string_view name, std::string_view group) { return {name, Target::Part, -1, PhoneKind::Other, group}; }
constexpr ColumnWord G(std::string_view name, char list) { return {name, Target::Groups, -1, PhoneKind::Other, {}, false, list}; }
// The user's own fields, where people keep what a program has no field for (a QQ number).
constexpr ColumnWord Own(std::string_view name, std::string_view label)
{
    return {name, Target::Note, -1, PhoneKind::Other, label, false, 0, true};
}
// Known, never kept: named in the closing message by its label.
constexpr ColumnWord Known(std::string_view name, std::string_view label) { return {name, Target::Ignore, -1, PhoneKind::Other, label}; }

constexpr PhoneKind Mobile = PhoneKind::Mobile, Fax = PhoneKind::Fax, Other = PhoneKind::Other;

constexpr GroupWord kGroups[] = {
    {"business", "商务地址", " "}, {"home", "住宅地址", " "}, {"other", "其他地址", " "},
    {"work", "工作地址", " "},     {"birth", "生日", "-"},    {"phonetic", "姓名读音", " "},
};

// This program's own columns first: its export reads back exactly.
constexpr ColumnWord kWords[] = {
    T("编号", Target::Skipped), F("分类", col::Category), F("姓名", col::Name), F("QQ", col::QQ),
    F("手机", col::Mobile), F("电话", col::Phone), F("传真", col::Fax), F("邮箱", col::Email),
    F("主页", col::HomePage), F("备注", col::Remarks),

    // Chinese office sheets and phone-sync exports.
    F("名字", col::Name), F("名称", col::Name), F("联系人", col::Name), F("联系人姓名", col::Name),
    F("客户姓名", col::Name), F("全名", col::Name), F("手机号码", col::Mobile), F("手机号", col::Mobile),
    F("移动电话", col::Mobile), F("移动电话号码", col::Mobile), F("其他手机", col::Mobile),
    F("联系电话", col::Phone), F("固定电话", col::Phone), F("办公电话", col::Phone), F("座机", col::Phone),
    F("电话号码", col::Phone), F("家庭电话", col::Phone), F("工作电话", col::Phone), F("传真号", col::Fax),
    F("传真号码", col::Fax), F("电子邮件", col::Email), F("邮件", col::Email), F("电子邮箱", col::Email),
    F("邮箱地址", col::Email), F("邮件地址", col::Email), F("电子邮件地址", col::Email), F("家庭邮箱", col::Email),
    F("工作邮箱", col::Email), F("Email", col::Email), F("E-mail", col::Email), F("QQ号", col::QQ),
    F("QQ号码", col::QQ), F("网址", col::HomePage), F("网站", col::HomePage), F("个人主页", col::HomePage),
    F("网页", col::HomePage), F("主页地址", col::HomePage), F("说明", col::Remarks), F("附注", col::Remarks),
    F("备注信息", col::Remarks), G("分组", ';'), G("类别", ';'), G("组别", ';'), G("群组", ';'),
    G("qq同步助手 分组", ';'), T("公司", Target::Company), T("单位", Target::Company),
    T("公司名称", Target::Company), T("单位名称", Target::Company), T("工作单位", Target::Company),
    T("姓", Target::FamilyName), T("名", Target::GivenName), T("中间名", Target::MiddleName), N("职务"), N("职位"),
    N("部门"), N("地址"), N("住址"), N("家庭住址"), N("家庭地址"), N("联系地址"), N("通讯地址"), N("单位地址"),
    N("公司地址"), N("生日", {}, true), N("出生日期"), N("昵称"), N("性别", {}, true), N("微信"), N("微信号"),
    N("前缀", "称谓"), N("后缀"), N("公司/部门"),

    // Sheets in traditional characters (Taiwan, Hong Kong).
    F("分類", col::Category), F("聯絡人", col::Name), F("手機", col::Mobile), F("手機號碼", col::Mobile),
    F("行動電話", col::Mobile), F("電話", col::Phone), F("聯絡電話", col::Phone), F("電話號碼", col::Phone),
    F("傳真", col::Fax), F("傳真號碼", col::Fax), F("電子郵件", col::Email), F("電郵", col::Email),
    F("郵箱", col::Email), F("網址", col::HomePage), F("網站", col::HomePage), F("備註", col::Remarks),
    F("QQ號", col::QQ), N("職稱", "职务"), N("職務", "职务"), N("部門", "部门"),
    G("分組", ';'), G("群組", ';'),

    // Outlook's columns in Chinese (those the sheets above do not name).
    N("英文称谓", "称谓"), N("中文称谓", "称谓"), N("称谓"), P("商务地址 街道", "business"),
    P("商务地址 街道 2", "business"), P("商务地址 街道 3", "business"), P("商务地址 市/县", "business"),
    P("商务地址 省/市/自治区", "business"), P("商务地址 邮政编码", "business"),
    P("商务地址 国家/地区", "business"), P("商务地址 - 邮箱", "business"), P("住宅地址 街道", "home"),
    P("住宅地址 街道 2", "home"), P("住宅地址 街道 3", "home"), P("住宅地址 市/县", "home"),
    P("住宅地址 省/市/自治区", "home"), P("住宅地址 邮政编码", "home"), P("住宅地址 国家/地区", "home"),
    P("住宅地址 - 邮箱", "home"), P("其他地址 街道", "other"), P("其他地址 街道 2", "other"),
    P("其他地址 街道 3", "other"), P("其他地址 市/县", "other"), P("其他地址 省/市/自治区", "other"),
    P("其他地址 邮政编码", "other"), P("其他地址 国家/地区", "other"), P("其他地址 - 邮箱", "other"),
    Tel("助理的电话", Other), Tel("商务传真", Fax), Tel("商务电话", Other), Tel("商务电话 2", Other),
    Tel("回电话", Other), Tel("车载电话", Other), Tel("单位主要电话", Other), Tel("住宅传真", Fax),
    Tel("住宅电话", Other), Tel("住宅电话 2", Other), Tel("ISDN", Other), Tel("其他传真", Fax),
    Tel("其他电话", Other), Tel("寻呼机", Other), Tel("主要电话", Other), Tel("无绳电话", Other),
    Tel("TTY/TDD 电话", Other), Tel("电报", Other),
    // The same numbers as later versions name them.
    Tel("公司代表线路", Other), Tel("无线电话", Other), Tel("回拨电话", Other), N("Internet 忙闲", "忙闲地址"), N("办公地点"), N("地点"),
    T("电子邮件类型", Target::Skipped), T("电子邮件显示名称", Target::Skipped), T("电子邮件 2 地址", Target::Email),
    T("电子邮件 2 类型", Target::Skipped), T("电子邮件 2 显示名", Target::Skipped), T("电子邮件 3 地址", Target::Email),
    T("电子邮件 3 类型", Target::Skipped), T("电子邮件 3 显示名", Target::Skipped), N("工作证号码"), N("关键词"),
    N("记帐信息"), N("纪念日", {}, true), N("经理姓名"), N("里程"), N("敏感度", {}, true), N("目录服务器"),
    N("配偶"), N("身份证编号"), N("私有", {}, true), N("缩写"), N("业余爱好"), N("引用者"), Own("用户 1", "用户1"),
    Own("用户 2", "用户2"), Own("用户 3", "用户3"), Own("用户 4", "用户4"), N("优先级", {}, true), N("语言"), N("帐户"),
    N("职业"), N("助理的姓名"), N("子女"),

    // Outlook's columns in English.
    N("Title", "称谓"), T("First Name", Target::GivenName), T("Middle Name", Target::MiddleName),
    T("Last Name", Target::FamilyName), N("Suffix", "后缀"), T("Company", Target::Company), N("Department", "部门"),
    N("Job Title", "职务"), P("Business Street", "business"), P("Business Street 2", "business"),
    P("Business Street 3", "business"), P("Business City", "business"), P("Business State", "business"),
    P("Business Postal Code", "business"), P("Business Country/Region", "business"),
    P("Business Country", "business"), P("Business Address PO Box", "business"), P("Home Street", "home"),
    P("Home Street 2", "home"), P("Home Street 3", "home"), P("Home City", "home"), P("Home State", "home"),
    P("Home Postal Code", "home"), P("Home Country/Region", "home"), P("Home Address PO Box", "home"),
    P("Other Street", "other"), P("Other Street 2", "other"), P("Other Street 3", "other"), P("Other City", "other"),
    P("Other State", "other"), P("Other Postal Code", "other"), P("Other Country/Region", "other"),
    P("Other Address PO Box", "other"), Tel("Assistant's Phone", Other), Tel("Business Fax", Fax),
    Tel("Business Phone", Other), Tel("Business Phone 2", Other), Tel("Callback", Other), Tel("Car Phone", Other),
    Tel("Company Main Phone", Other), Tel("Home Fax", Fax), Tel("Home Phone", Other), Tel("Home Phone 2", Other),
    Tel("Mobile Phone", Mobile), Tel("Other Fax", Fax), Tel("Other Phone", Other), Tel("Pager", Other),
    Tel("Primary Phone", Other), Tel("Radio Phone", Other), Tel("TTY/TDD Phone", Other), Tel("Telex", Other),
    N("Account", "帐户"), N("Anniversary", "纪念日", true), N("Assistant's Name", "助理"),
    N("Billing Information", "记帐信息"), N("Birthday", "生日", true), G("Categories", ';'), N("Children", "子女"),
    N("Directory Server", "目录服务器"), T("E-mail Address", Target::Email), T("E-mail Type", Target::Skipped),
    T("E-mail Display Name", Target::Skipped), T("E-mail 2 Address", Target::Email),
    T("E-mail 2 Type", Target::Skipped), T("E-mail 2 Display Name", Target::Skipped),
    T("E-mail 3 Address", Target::Email), T("E-mail 3 Type", Target::Skipped),
    T("E-mail 3 Display Name", Target::Skipped), N("Gender", "性别", true), N("Government ID Number", "身份证号"),
    N("Hobby", "爱好"), N("Initials", "缩写"), N("Internet Free Busy", "忙闲地址"), N("Keywords", "关键词"),
    N("Language", "语言"), N("Location", "位置"), N("Manager's Name", "经理"), N("Mileage", "里程"),
    F("Notes", col::Remarks), N("Office Location", "办公地点"), N("Organizational ID Number", "工作证号"),
    N("Priority", "优先级", true), N("Private", "私有", true), N("Profession", "职业"), N("Referred By", "推荐人"),
    N("Sensitivity", "敏感度", true), N("Spouse", "配偶"), Own("User 1", "用户1"), Own("User 2", "用户2"),
    Own("User 3", "用户3"), Own("User 4", "用户4"), T("Web Page", Target::HomePage),
    T("Personal Web Page", Target::HomePage),

    // Thunderbird's columns (its US and UK wordings).
    T("Display Name", Target::Name), N("Nickname", "昵称"), T("Primary Email", Target::Email),
    T("Secondary Email", Target::Email), N("Screen Name", "聊天帐号"), Tel("Work Phone", Other),
    Tel("Fax Number", Fax), Tel("Pager Number", Other), Tel("Mobile Number", Mobile), P("Home Address", "home"),
    P("Home Address 2", "home"), P("Home County", "home"), P("Home ZipCode", "home"), P("Home Zip", "home"),
    P("Home Post Code", "home"), P("Home Country", "home"), P("Work Address", "work"), P("Work Address 2", "work"),
    P("Work City", "work"), P("Work State", "work"), P("Work County", "work"), P("Work ZipCode", "work"),
    P("Work Zip", "work"), P("Work Post Code", "work"), P("Work Country", "work"), T("Organization", Target::Company),
    T("Organisation", Target::Company), T("Web Page 1", Target::HomePage), N("Web Page 2", "其他主页"),
    P("Birth Year", "birth"), P("Birth Month", "birth"), P("Birth Day", "birth"), Own("Custom 1", "自定义1"),
    Own("Custom 2", "自定义2"), Own("Custom 3", "自定义3"), Own("Custom 4", "自定义4"),

    // Google Contacts, the older and the newer export (numbered columns are read apart).
    T("Name", Target::Name), T("Given Name", Target::GivenName), T("Additional Name", Target::MiddleName),
    T("Family Name", Target::FamilyName), P("Yomi Name", "phonetic"), P("Given Name Yomi", "phonetic"),
    P("Additional Name Yomi", "phonetic"), P("Family Name Yomi", "phonetic"), N("Name Prefix", "称谓"),
    N("Name Suffix", "后缀"), N("Short Name", "简称"), N("Maiden Name", "婚前姓"), N("Occupation", "职业"),
    N("Subject", "主题"), Known("Photo", "照片"), G("Group Membership", 0), P("Phonetic First Name", "phonetic"),
    P("Phonetic Middle Name", "phonetic"), P("Phonetic Last Name", "phonetic"), N("File As", "归档为"),
    T("Organization Name", Target::Company), N("Organization Title", "职务"),
    N("Organization Department", "部门"), G("Labels", 0),

    // English words of hand-made sheets.
    T("Full Name", Target::Name), T("Surname", Target::FamilyName), Tel("Mobile", Mobile), Tel("Cell", Mobile),
    Tel("Cell Phone", Mobile), Tel("Phone", Other), Tel("Telephone", Other), Tel("Tel", Other),
    Tel("Phone Number", Other), Tel("Fax", Fax), T("Email Address", Target::Email), T("Website", Target::HomePage),
    T("Homepage", Target::HomePage), T("URL", Target::HomePage), F("Note", col::Remarks),
    F("Remarks", col::Remarks), F("Comment", col::Remarks), F("Comments", col::Remarks), G("Category", ','),
    G("Group", ','), N("Address", "地址"),
};

// Thunderbird's columns in Chinese. They reuse names that office sheets mean
// otherwise (名字 is the given name here, not the whole one) and name the city,
// province, postcode and country of both addresses alike, so they are read
// only in a table that Thunderbird's own names mark.
constexpr ColumnWord kThunderbirdChinese[] = {
    T("名字", Target::GivenName), T("姓氏", Target::FamilyName), T("显示名称", Target::Name),
    T("显示姓名", Target::Name), N("昵称"), T("主要电子邮件", Target::Email), T("备用电子邮件", Target::Email),
    N("屏幕名", "聊天帐号"), Tel("工作电话", Other), Tel("家庭电话", Other), Tel("传真号码", Fax),
    Tel("寻呼机号码", Other), Tel("移动电话号码", Mobile), P("家庭地址", "home"), P("家庭地址 2", "home"),
    P("工作地址", "work"), P("工作地址 2", "work"), P("城市", {}), P("省/自治区/直辖市", {}), P("邮政编码", {}),
    P("国家", {}), P("居住地省/自治区/直辖市", "home"), P("居住国家/地区", "home"),
    P("工作地省/自治区/直辖市", "work"), P("工作国家/地区", "work"), N("职务"), N("部门"),
    T("公司", Target::Company), T("网页 1", Target::HomePage), N("网页 2", "其他主页"), P("出生年份", "birth"),
    P("出生月份", "birth"), P("出生日", "birth"), Own("定制 1", "自定义1"), Own("定制 2", "自定义2"),
    Own("定制 3", "自定义3"), Own("定制 4", "自定义4"), F("注释", col::Remarks),
};

using WordMap = std::unordered_map<std::string, const ColumnWord*>;

WordMap MapOf(std::span<const ColumnWord> words)
{
    WordMap map;
    for (const ColumnWord& word : words)
        map.emplace(NormalisedName(word.name), &word); // the first entry of a name wins
    return map;
}

const WordMap& Vocabulary()
{
    static const WordMap words = MapOf(kWords);
    return words;
}

const WordMap& ThunderbirdChineseWords()
{
    static const WordMap words = MapOf(kThunderbirdChinese);
    return words;
}

} // namespace

const ColumnWord* FindColumnWord(const std::string& key, bool thunderbirdChinese)
{
    if (thunderbirdChinese)
        if (const auto found = ThunderbirdChineseWords().find(key); found != ThunderbirdChineseWords().end())
            return found->second;
    const auto found = Vocabulary().find(key);
    return found == Vocabulary().end() ? nullptr : found->second;
}

const GroupWord& PartGroupOf(std::string_view key)
{
    return *std::find_if(std::begin(kGroups), std::end(kGroups), [&](const GroupWord& g) { return g.key == key; });
}

bool IsAddressBlock(std::string_view key) { return key == "business" || key == "home" || key == "other" || key == "work"; }

} // namespace transfer
