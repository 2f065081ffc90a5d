#pragma once

#include <string>
#include <string_view>

// What the import makes of each vCard property, and what the preview and the
// closing message call it.
namespace transfer {

enum class PropertyUse {
    Name,         // FN: the whole name
    NameParts,    // N: family, given, middle name; prefix and suffix to 备注
    Company,      // ORG: the company, and the department to 备注
    Telephone,    // TEL: 手机, 传真 or 电话 by its types or label; QQ when labelled so
    Email,
    HomePage,
    Remarks,      // NOTE
    Groups,       // CATEGORIES
    QQ,           // X-QQ
    Messaging,    // IMPP: QQ when its service or scheme says so, else a labelled line
    Chat,         // X-AIM, X-SKYPE, ...: a labelled line naming the service
    Address,      // ADR: a labelled line
    Note,         // a labelled line of 备注
    AndroidField, // X-ANDROID-CUSTOM: nickname, event or relation
    Label,        // X-ABLABEL: the label of the properties of its group
    Bookkeeping,  // about the file or the card rather than the contact
    NotKept,      // PHOTO, SOUND, KEY, ...: named in the closing message
};

struct PropertyInfo {
    PropertyUse use = PropertyUse::NotKept;
    std::string_view label; // Note, Chat: the label of the line
};

// What an upper-case property name is taken for; an unknown name is not kept.
PropertyInfo PropertyOf(std::string_view name);

// How the preview and the closing message name a property: in Chinese, an
// unknown one as "其他属性(NAME)".
std::string ChineseNameOf(std::string_view name);

// Where the property's values go, in Chinese, for the preview.
std::string DescribeUse(const PropertyInfo& property);

} // namespace transfer
