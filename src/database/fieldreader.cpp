#include "fieldreader.h"

FieldReader::FieldReader(QStringView text)
    : m_text(text)
{
}

std::optional<QString> FieldReader::next()
{
    QStringView field;
    if (!nextView(field))
        return std::nullopt;
    return field.toString();
}
