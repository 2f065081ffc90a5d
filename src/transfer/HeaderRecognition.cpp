#include "transfer/HeaderRecognition.h"

#include "transfer/ColumnVocabulary.h"
#include "transfer/ContactWords.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <unordered_set>

namespace transfer {
namespace {

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
    return Numbered{NormalisedName(left.substr(0, digits)), std::string(left.substr(digits)), NormalisedName(part)};
}

bool IsTypePart(const std::string& part) { return part == "type" || part == "label"; }

class Recogniser {
public:
    explicit Recogniser(const std::vector<std::string>& names) : names_(names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            normalised_.insert(NormalisedName(names[i]));
            if (const auto numbered = SplitNumbered(names[i]))
                numbered_[numbered->kind + "#" + numbered->number + "#" + numbered->part] = static_cast<int>(i);
        }
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
        const ColumnWord* word = FindColumnWord(NormalisedName(name), thunderbirdChinese_);
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
            const GroupWord& group = PartGroupOf(key);
            role.group = GroupIndex(std::string(group.key), std::string(group.label), std::string(group.joiner));
        } else {
            role.label = word->label.empty() && word->target == Target::Note ? Trimmed(name) : word->label;
        }
        return role;
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

    bool Has(std::string_view name) const { return normalised_.count(NormalisedName(name)) > 0; }

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
    std::unordered_set<std::string> normalised_; // every name as NormalisedName gives it
    std::map<std::string, int> numbered_;
    std::vector<PartGroup> groups_;
    std::map<std::string, int> groupOfKey_;
    bool thunderbirdChinese_ = false;
    std::string lastBlock_; // the address block of the last address column
};

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

} // namespace transfer
