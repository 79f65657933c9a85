#pragma once

#include <QString>

struct AppContext;
struct PlayerState;
class ModMci;
class Settings;

// The per-disc title records in the settings file: a section per disc key holding album,
// artist, one title per track and the strip's font.
class TitleStore {
public:
    explicit TitleStore(AppContext& ctx);
    // The records alone, with no device to ask for a key (tools): GetCdIdentityKey gives "".
    TitleStore(PlayerState& state, const Settings& settings) : state_(state), settings_(settings) {}

    // The disc key: the identity reply as upper-case hexadecimal, "" when there is none.
    QString GetCdIdentityKey();
    void LoadCdTitles(const QString& section);
    void SaveCdTitles(const QString& section);

    // The key for an identity reply ("" when it is not a signed 32-bit number).
    static QString keyFromIdentity(const QString& reply);
    // A track count as the title loops read it: empty or not a number counts as 0.
    static int trackCountOf(const QString& text);

private:
    PlayerState& state_;
    const Settings& settings_;
    ModMci* mci_ = nullptr;
};
