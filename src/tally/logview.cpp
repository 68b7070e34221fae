#include "logview.h"

#include <optional>

#include <QDir>

#include "fieldreader.h"
#include "textfile.h"

namespace LogView {

LogLoad logText(QStringView log)
{
    LogLoad load;
    load.opened = true;
    // Splitting at commas adds one character per piece, so the text rarely
    // outgrows the log by much; build it in one buffer, appended in place.
    load.text.reserve(log.size() + log.size() / 16 + 2);
    FieldReader reader(log);
    while (!reader.atEnd()) {
        const std::optional<QString> item = reader.next();
        if (!item)
            return load;
        load.text += *item;
        load.text += u"\r\n";
    }
    load.complete = true;
    return load;
}

LogLoad showLog(const QString &folder)
{
    const std::optional<QString> log = TextFile::read(QDir(folder).filePath(QStringLiteral("mylist")));
    if (!log)
        return {};
    return logText(*log);
}

} // namespace LogView
