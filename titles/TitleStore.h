#pragma once

#include <QString>

struct AppContext;

// The per-disc title records in the settings file: a section per disc key holding album,
// artist, one title per track and the strip's font.
class TitleStore {
public:
    explicit TitleStore(AppContext& ctx) : ctx_(ctx) {}

    // The disc key: the identity reply as upper-case hexadecimal, "" when there is none.
    QString GetCdIdentityKey();
    void LoadCdTitles(const QString& section);
    void SaveCdTitles(const QString& section);

    // The key for an identity reply ("" when it is not a signed 32-bit number).
    static QString keyFromIdentity(const QString& reply);
    // A track count as the title loops read it: empty or not a number counts as 0.
    static int trackCountOf(const QString& text);

private:
    AppContext& ctx_;
};
