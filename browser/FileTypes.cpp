#include "browser/FileTypes.h"

#include "platform/shell/DesktopApps.h"

namespace {

const QString kOctetStream = QStringLiteral("application/octet-stream");

QString fallbackName(const QString& ext) { return ext.mid(1).toUpper() + QStringLiteral(" ﾌｧｲﾙ"); }

} // namespace

const FileTypes::TypeFacts& FileTypes::lookup(const QString& ext)
{
    const auto found = byExtension_.constFind(ext);
    if (found != byExtension_.constEnd())
        return *found;
    TypeFacts facts;
    const QList<QMimeType> types = ext.size() > 1 ? mime_.mimeTypesForFileName(QStringLiteral("x") + ext)
                                                  : QList<QMimeType>();
    if (!types.isEmpty() && types.first().isValid() && types.first().name() != kOctetStream) {
        const QMimeType& type = types.first();
        facts.known = true;
        facts.name = type.comment();
        QStringList names{type.name()};
        names << type.aliases();
        for (const QString& parent : type.allAncestors()) {
            if (parent != kOctetStream)
                names << parent;
        }
        const auto app = kb::shell::defaultApplication(names);
        if (app) {
            facts.openCommand = app->exec;
            facts.icon = kb::shell::themeIcon(app->icon);
        }
        if (facts.icon.isNull())
            facts.icon = kb::shell::themeIcon(type.iconName());
        if (facts.icon.isNull())
            facts.icon = kb::shell::themeIcon(type.genericIconName());
    }
    return *byExtension_.insert(ext, facts);
}

QString FileTypes::GetFileTypeName(const QString& ext)
{
    const TypeFacts& facts = lookup(ext);
    return facts.known && !facts.name.isEmpty() ? facts.name : fallbackName(ext);
}

QString FileTypes::GetOpenCommand(const QString& ext) { return lookup(ext).openCommand; }

QIcon FileTypes::typeIcon(const QString& ext) { return lookup(ext).icon; }
