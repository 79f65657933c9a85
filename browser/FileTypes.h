#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

#include <optional>

// File-type names, open commands and type icons as the desktop knows them: the shared MIME
// database and the desktop's default applications. Each extension is looked up once.
class FileTypes {
public:
    // The type's description in the user's language, or "WAV ﾌｧｲﾙ" for an unknown ".wav".
    QString GetFileTypeName(const QString& ext);
    // The Exec line of the default application for the type; "" when there is none.
    QString GetOpenCommand(const QString& ext);
    // The icon of the application that opens the type, else the type's own; null when none.
    QIcon typeIcon(const QString& ext);

private:
    struct TypeFacts {
        bool known = false;
        QString name;
        QString openCommand;
        QIcon icon;
    };
    const TypeFacts& lookup(const QString& ext);

    QMimeDatabase mime_;
    QHash<QString, TypeFacts> byExtension_;
};
