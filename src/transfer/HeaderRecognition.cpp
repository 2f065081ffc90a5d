#include "transfer/HeaderRecognition.h"

#include "transfer/Ascii.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <span>
#include <unordered_map>

namespace transfer {
namespace {

// One known column name and what it brings.
struct Word {
    std::string_view name;
    Target target;
    int field = -1;
    PhoneKind phone = PhoneKind::Other;
    std::string_view label = {}; // Note, Ignore: the label (empty: the column's own name); Part: its group's key
    bool dropsDefaults = false;
    char list = 0;
    bool qqLabelled = false;
};

constexpr Word F(std::string_view name, int field) { return {name, Target::Field, field}; }
constexpr Word T(std::string_view name, Target target) { return {name, target}; }
constexpr Word Tel(std::string_view name, PhoneKind kind) { return {name, Target::Telephone, -1, kind}; }
constexpr Word N(std::string_view name, std::string_view label = {}, bool defaults = false)
{
    return {name, Target::Note, -1, PhoneKind::Other, label, defaults};
}
constexpr Word P(std::string_view name, std::string_view group) { return {name, Target::Part, -1, PhoneKind::Other, group}; }
constexpr Word G(std::string_view name, char list) { return {name, Target::Groups, -1, PhoneKind::Other, {}, false, list}; }
// The user's own fields, where people keep what a program has no field for (a QQ number).
constexpr Word Own(std::string_view name, std::string_view label)
{
    return {name, Target::Note, -1, PhoneKind::Other, label, false, 0, true};
}
// Known, never kept: named in the closing message by its label.
constexpr Word Known(std::string_view name, std::string_view label) { return {name, Target::Ignore, -1, PhoneKind::Other, label}; }

constexpr PhoneKind Mobile = PhoneKind::Mobile, Fax = PhoneKind::Fax, Other = PhoneKind::Other;

// The values put together from Part columns, by key; a Part word with no key
// belongs to the address block of the column before it.
struct GroupWord {
    std::string_view key;
    std::string_view label;
    std::string_view joiner;
};
constexpr GroupWord kGroups[] = {
    {"business", "商务地址", " "}, {"home", "住宅地址", " "}, {"other", "其他地址", " "},
    {"work", "工作地址", " "},     {"birth", "生日", "-"},    {"phonetic", "姓名读音", " "},
};

// This program's own columns first: its export reads back exactly.
constexpr Word kWords[] = {
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
    Tel("TTY/TDD 电话", Other), Tel("电报", Other), N("Internet 忙闲", "忙闲地址"), N("办公地点"), N("地点"),
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
constexpr Word kThunderbirdChinese[] = {
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

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A name as the tables compare it: ASCII letters in lower case, without the
// punctuation that exporters and sheets vary ("E-mail", "Country/Region"),
// and without blanks except one between two words ("Birth Day" is not
// "Birthday"; "住宅电话 2" is "住宅电话2").
std::string Normalised(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    bool blank = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (name.substr(i, 3) == "\xE3\x80\x80") { // an ideographic blank
            blank = true;
            i += 2;
        } else if (name.substr(i, 3) == "\xEF\xBC\x9A") { // a full-width colon
            i += 2;
        } else if (c == ' ' || c == '\t' || c == '_') {
            blank = true;
        } else if (c == '-' || c == '.' || c == '/' || c == '\'' || c == ':' || c == '*') {
            continue; // left out, and no blank either
        } else {
            if (blank && !key.empty() && IsAsciiLetter(key.back()) && IsAsciiLetter(c))
                key += ' ';
            blank = false;
            key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return key;
}

using WordMap = std::unordered_map<std::string, const Word*>;

WordMap MapOf(std::span<const Word> words)
{
    WordMap map;
    for (const Word& word : words)
        map.emplace(Normalised(word.name), &word); // the first entry of a name wins
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

bool IsAddressBlock(std::string_view key) { return key == "business" || key == "home" || key == "other" || key == "work"; }

// Google's numbered columns: "Phone 2 - Value" is kind "Phone", number 2, part "Value".
struct Numbered {
    std::string kind;
    std::string number;
    std::string part;
};

std::optional<Numbered> SplitNumbered(std::string_view name)
{
    name = Trimmed(name);
    const std::size_t dash = name.find(" - ");
    if (dash == std::string_view::npos)
        return std::nullopt;
    std::string_view left = Trimmed(name.substr(0, dash));
    const std::string_view part = Trimmed(name.substr(dash + 3));
    std::size_t digits = left.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(left[digits - 1])))
        --digits;
    if (digits == left.size() || digits == 0 || left[digits - 1] != ' ' || part.empty())
        return std::nullopt;
    return Numbered{Normalised(left.substr(0, digits)), std::string(left.substr(digits)), Normalised(part)};
}

bool IsTypePart(const std::string& part) { return part == "type" || part == "label"; }

class Recogniser {
public:
    explicit Recogniser(const std::vector<std::string>& names) : names_(names)
    {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (const auto numbered = SplitNumbered(names[i]))
                numbered_[numbered->kind + "#" + numbered->number + "#" + numbered->part] = static_cast<int>(i);
        thunderbirdChinese_ =
            Has("主要电子邮件") || Has("备用电子邮件") || Has("屏幕名") || (Has("显示名称") && Has("姓氏"));
    }

    RecognisedHeader Run()
    {
        RecognisedHeader header;
        for (const std::string& name : names_) {
            header.roles.push_back(RoleOf(name));
        }
        header.groups = std::move(groups_);
        header.kind = KindOf(header);
        return header;
    }

private:
    ColumnRole RoleOf(const std::string& name)
    {
        if (const auto numbered = SplitNumbered(name))
            return NumberedRole(*numbered);
        const Word* word = Find(Normalised(name));
        if (!word)
            return {};
        ColumnRole role;
        role.target = word->target;
        role.field = word->field;
        role.phone = word->phone;
        role.dropsDefaults = word->dropsDefaults;
        role.listSeparator = word->list;
        role.qqLabelled = word->qqLabelled;
        if (word->target == Target::Part) {
            const std::string_view key = word->label.empty() ? std::string_view(lastBlock_) : word->label;
            if (key.empty()) { // a city or postcode with no address before it
                role.target = Target::Note;
                role.label = Trimmed(name);
                return role;
            }
            if (IsAddressBlock(key))
                lastBlock_ = key;
            const auto group = std::find_if(std::begin(kGroups), std::end(kGroups),
                                            [&](const GroupWord& g) { return g.key == key; });
            role.group = GroupIndex(std::string(group->key), std::string(group->label), std::string(group->joiner));
        } else {
            role.label = word->label.empty() && word->target == Target::Note ? Trimmed(name) : word->label;
        }
        return role;
    }

    const Word* Find(const std::string& key) const
    {
        if (thunderbirdChinese_)
            if (const auto found = ThunderbirdChineseWords().find(key); found != ThunderbirdChineseWords().end())
                return found->second;
        const auto found = Vocabulary().find(key);
        return found == Vocabulary().end() ? nullptr : found->second;
    }

    ColumnRole NumberedRole(const Numbered& column)
    {
        ColumnRole role;
        const std::string& kind = column.kind;
        const std::string& part = column.part;
        if (IsTypePart(part) || part == "service") {
            role.target = Target::Companion;
            return role;
        }
        const auto companion = [&](std::initializer_list<const char*> parts) {
            for (const char* wanted : parts)
                if (const auto found = numbered_.find(kind + "#" + column.number + "#" + wanted); found != numbered_.end())
                    return found->second;
            return -1;
        };
        if (kind == "email" && part == "value") {
            role.target = Target::Email;
        } else if (kind == "phone" && part == "value") {
            role.target = Target::Telephone;
            role.typeColumn = companion({"type", "label"});
        } else if (kind == "website" && part == "value") {
            role.target = Target::HomePage;
        } else if (kind == "im" && part == "value") {
            role.target = Target::InstantMessage;
            role.label = "即时通讯";
            role.typeColumn = companion({"service", "type", "label"});
        } else if ((kind == "custom field" || kind == "relation" || kind == "event") && part == "value") {
            role.target = Target::Custom;
            role.label = kind == "relation" ? "相关人" : kind == "event" ? "纪念日" : "自定义字段";
            role.typeColumn = companion({"type", "label"});
        } else if (kind == "address") {
            role.target = Target::Part;
            role.group = GroupIndex("address" + column.number, "地址", " ");
            role.whole = part == "formatted";
        } else if (kind == "organization") {
            if (part == "name") {
                role.target = Target::Company;
            } else {
                role.target = Target::Note;
                role.label = part == "title" ? "职务" : part == "department" ? "部门" : part == "yomi name" ? "公司读音"
                    : part == "symbol" ? "股票代码" : part == "location" ? "办公地点" : part == "job description" ? "工作描述"
                    : "公司信息";
            }
        }
        return role;
    }

    int GroupIndex(const std::string& key, const std::string& label, const std::string& joiner)
    {
        const auto [found, added] = groupOfKey_.emplace(key, static_cast<int>(groups_.size()));
        if (added)
            groups_.push_back({label, joiner});
        return found->second;
    }

    bool Has(std::string_view name) const
    {
        const std::string wanted = Normalised(name);
        return std::any_of(names_.begin(), names_.end(), [&](const std::string& n) { return Normalised(n) == wanted; });
    }

    std::string KindOf(const RecognisedHeader& header) const
    {
        if (Has("编号") && Has("分类") && Has("姓名") && Has("备注"))
            return "本程序导出的表格";
        if (Has("Group Membership") || (Has("Given Name") && Has("Family Name")))
            return "Google 通讯录 (旧版)";
        if (Has("Labels") || Has("File As") || numbered_.count("phone#1#label") || numbered_.count("email#1#label"))
            return "Google 通讯录";
        if (Has("E-mail Display Name") || (Has("Job Title") && Has("Business Street")))
            return "Outlook";
        if (Has("电子邮件显示名称") || Has("商务地址 街道"))
            return "Outlook (中文)";
        if (Has("Primary Email") || Has("Mobile Number"))
            return "Thunderbird";
        if (thunderbirdChinese_)
            return "Thunderbird (中文)";
        if (Has("qq同步助手 分组"))
            return "QQ同步助手";
        bool any = false, chinese = false;
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (header.roles[i].target == Target::Ignore || header.roles[i].target == Target::Skipped)
                continue;
            any = true;
            chinese = chinese || HasCjk(names_[i]);
        }
        return chinese ? "中文表格" : any ? "表格" : "未识别的表格";
    }

    const std::vector<std::string>& names_;
    std::map<std::string, int> numbered_;
    std::vector<PartGroup> groups_;
    std::map<std::string, int> groupOfKey_;
    bool thunderbirdChinese_ = false;
    std::string lastBlock_; // the address block of the last address column
};

std::string_view WithoutGoogleMark(std::string_view text)
{
    text = Trimmed(text);
    return text.substr(0, 2) == "* " ? Trimmed(text.substr(2)) : text;
}

bool Contains(const std::string& haystack, std::string_view needle) { return haystack.find(needle) != std::string::npos; }

} // namespace

RecognisedHeader RecogniseHeader(const std::vector<std::string>& names) { return Recogniser(names).Run(); }

std::string DescribeRole(const ColumnRole& role, const std::vector<PartGroup>& groups)
{
    switch (role.target) {
    case Target::Ignore:
    case Target::Skipped: return "不导入";
    case Target::Field: return std::string(ColumnNames[role.field]);
    case Target::Name: return "姓名";
    case Target::GivenName: return "姓名 (名)";
    case Target::MiddleName: return "姓名 (中间名)";
    case Target::FamilyName: return "姓名 (姓)";
    case Target::Company: return "备注: 公司 (没有人名时作姓名)";
    case Target::Telephone:
        if (role.typeColumn >= 0)
            return "手机/电话/传真 (按类型)";
        return role.phone == PhoneKind::Mobile ? "手机" : role.phone == PhoneKind::Fax ? "传真" : "电话";
    case Target::Email: return "邮箱";
    case Target::HomePage: return "主页";
    case Target::QQ: return "QQ";
    case Target::Groups: return "分类 (多个时取第一个)";
    case Target::Note: return "备注: " + role.label + (role.qqLabelled ? " (标为QQ的进QQ)" : "");
    case Target::Part: return "备注: " + groups.at(static_cast<std::size_t>(role.group)).label;
    case Target::InstantMessage: return "QQ 或 备注 (按服务)";
    case Target::Custom: return "备注: 按标签 (标为QQ的进QQ)";
    case Target::Companion: return "随同组的列导入";
    }
    return {};
}

std::vector<ColumnRole> PlainRoles(std::string_view columnName)
{
    std::vector<ColumnRole> roles;
    for (int column = col::Category; column < col::Remarks; ++column) {
        ColumnRole role;
        role.target = Target::Field;
        role.field = column;
        roles.push_back(role);
    }
    ColumnRole remarks;
    const std::string_view label = Trimmed(columnName);
    if (label.empty()) {
        remarks.target = Target::Field;
        remarks.field = col::Remarks;
    } else {
        remarks.target = Target::Note;
        remarks.label = label;
    }
    roles.push_back(remarks);
    roles.emplace_back(); // 不导入
    return roles;
}

bool NamesQQ(std::string_view label)
{
    const std::string key = Normalised(WithoutGoogleMark(label));
    return key == "qq" || key == "qq号" || key == "qq号码";
}

std::string_view QQInValue(std::string_view value)
{
    value = Trimmed(value);
    if (!ascii::StartsWithIgnoringCase(value, "qq"))
        return {};
    value.remove_prefix(2);
    if (value.starts_with("号码"))
        value.remove_prefix(std::string_view("号码").size());
    else if (value.starts_with("号"))
        value.remove_prefix(std::string_view("号").size());
    // Blanks and one colon (ASCII or full-width) or number sign before the number.
    value = Trimmed(value);
    for (const std::string_view mark : {":", "：", "#"})
        if (value.starts_with(mark)) {
            value = Trimmed(value.substr(mark.size()));
            break;
        }
    const bool digits = std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && value.size() >= 5 && value.size() <= 11 && value[0] != '0' ? value : std::string_view();
}

NumberKind KindOfNumber(std::string_view type)
{
    if (NamesQQ(type))
        return NumberKind::QQ;
    const std::string key = Normalised(WithoutGoogleMark(type));
    if (Contains(key, "fax") || Contains(key, "传真"))
        return NumberKind::Fax;
    if (Contains(key, "mobile") || Contains(key, "cell") || Contains(key, "iphone") || Contains(key, "手机") ||
        Contains(key, "移动"))
        return NumberKind::Mobile;
    return NumberKind::Other;
}

bool IsOutlookDefault(std::string_view value)
{
    constexpr std::array<std::string_view, 11> defaults = {"0/0/00", "0/0/0000", "0.0.00", "00-0-0",
                                                            "Unspecified", "未指定", "Normal", "普通",
                                                            "一般", "False", "假"};
    value = Trimmed(value);
    return std::any_of(defaults.begin(), defaults.end(),
                       [&](std::string_view d) { return ascii::EqualsIgnoringCase(d, value); });
}

} // namespace transfer
