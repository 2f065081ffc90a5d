#include "security/PasswordCharacters.h"

#include <QString>

#include <algorithm>
#include <iterator>

bool IsPasswordCharacter(QChar typed)
{
    const char16_t c = typed.unicode();
    return c == u'\b' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

QString PasswordCharactersOf(const QString& text)
{
    QString kept;
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), IsPasswordCharacter);
    return kept;
}
