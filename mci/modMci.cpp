#include "mci/modMci.h"

#include "app/NumberText.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciService.h"

#include <string>

namespace {

QString fromReply(const std::string& text)
{
    // Replies end at their first NUL, as a C buffer would.
    const auto end = text.find('\0');
    return QString::fromStdString(end == std::string::npos ? text : text.substr(0, end));
}

// The service's text for an error code, or "Error" when it has none.
QString errorText(const kb::mci::MciService& service, uint32_t code)
{
    std::string text;
    return service.getErrorString(code, text) ? fromReply(text) : QStringLiteral("Error");
}

// A track number reply read as a number; anything else (an "Error:" text) reads as 0.
int16_t currentTrack(const QString& reply)
{
    return kb::numtext::toInt16(kb::numtext::leadingNumber(reply));
}

} // namespace

ModMci::ModMci(PlayerState& state, kb::mci::MciService& service)
    : state_(state), service_(service)
{
}

int32_t ModMci::MciSend(const QString& command, QString& reply, QObject* callbackWindow)
{
    reply.clear();
    if (command.isEmpty()) {
        reply = QStringLiteral("Error");
        return -1;
    }
    std::string out;
    const uint32_t code = service_.sendString(command.toStdString(), out, callbackWindow);
    if (code == 0) {
        reply = fromReply(out);
        return 0;
    }
    reply = errorText(service_, code);
    return static_cast<int32_t>(code);
}

QString ModMci::MciStatus(const QString& command)
{
    const int32_t code = MciSend(command, state_.LastMciText, callbackWindow_);
    if (code != 0)
        return QStringLiteral("Error:") + QString::number(code);
    return state_.LastMciText;
}

int32_t ModMci::MciOpen(const QString& device, const QString& alias, const QString& prefix)
{
    // The device name is quoted in the command; a quote inside it would end the name early
    // and turn the rest into other keywords, so such a name is refused unsent.
    if (device.contains(QLatin1Char('"'))) {
        state_.LastMciText = errorText(service_, kb::mci::MCIERR_FILE_NOT_FOUND);
        return static_cast<int32_t>(kb::mci::MCIERR_FILE_NOT_FOUND);
    }
    return MciSend("open " + prefix + '"' + device + '"' + " alias " + alias + " notify",
                   state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciClose(const QString& alias)
{
    return MciSend("close " + alias, state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciPlay(const QString& alias, const QString& from, const QString& to)
{
    QString command = "play " + alias;
    if (!from.isEmpty())
        command += " from " + from;
    if (!to.isEmpty())
        command += " to " + to;
    return MciSend(command, state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciStop(const QString& alias)
{
    return MciSend("stop " + alias, state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciPause(const QString& alias)
{
    return MciSend("pause " + alias, state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciResume(const QString& alias)
{
    return MciSend("resume " + alias, state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciSeek(int32_t position, const QString& alias)
{
    return MciSend("seek " + alias + " to " + QString::number(position), state_.LastMciText,
                   callbackWindow_);
}

int32_t ModMci::MciSetTimeFormat(const QString& format, const QString& alias)
{
    return MciSend("set " + alias + " time format " + format, state_.LastMciText,
                   callbackWindow_);
}

int32_t ModMci::MciDoorOpen(const QString& alias)
{
    return MciSend("set " + alias + " door open", state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciDoorClosed(const QString& alias)
{
    return MciSend("set " + alias + " door closed", state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciSetWindow(const QString& alias, int32_t handle)
{
    return MciSend("window " + alias + " handle " + QString::number(handle), state_.LastMciText,
                   callbackWindow_);
}

int32_t ModMci::MciPutDestination(const QString& alias, int32_t left, int32_t top, int32_t width,
                                  int32_t height)
{
    return MciSend("put " + alias + " destination at " + QString::number(left) + ' ' +
                       QString::number(top) + ' ' + QString::number(width) + ' ' +
                       QString::number(height),
                   state_.LastMciText, callbackWindow_);
}

int32_t ModMci::MciGetIdentity(const QString& alias)
{
    return MciSend("info " + alias + " identity", state_.LastMciText, callbackWindow_);
}

QString ModMci::MciGetPosition(const QString& alias)
{
    return MciStatus("status " + alias + " position");
}

QString ModMci::MciGetLength(const QString& alias)
{
    return MciStatus("status " + alias + " length");
}

QString ModMci::MciGetCurrentTrack(const QString& alias)
{
    return MciStatus("status " + alias + " current track");
}

QString ModMci::MciGetTrackPosition(const QString& alias, const QString& track)
{
    return MciStatus("status " + alias + " position track " + track);
}

QString ModMci::MciGetMediaPresent(const QString& alias)
{
    return MciStatus("status " + alias + " media present");
}

QString ModMci::MciGetTrackCount(const QString& alias)
{
    return MciStatus("status " + alias + " number of tracks");
}

QString ModMci::MciGetTimeFormat(const QString& alias)
{
    return MciStatus("status " + alias + " time format");
}

int32_t ModMci::MciPlayTrack(int32_t track, const QString& alias)
{
    const QString from = MciGetTrackPosition(alias, QString::number(track));
    return MciPlay(alias, from, {});
}

int16_t ModMci::MciNextTrack(const QString& alias)
{
    const int16_t current = currentTrack(MciGetCurrentTrack(alias));
    const int32_t next = current + 1;
    if (MciPlay(alias, MciGetTrackPosition(alias, QString::number(next)), {}) == 0)
        return static_cast<int16_t>(next);
    MciPlay(alias, MciGetTrackPosition(alias, QStringLiteral("1")), {});
    return 1;
}

int16_t ModMci::MciPrevTrack(const QString& alias)
{
    const int16_t current = currentTrack(MciGetCurrentTrack(alias));
    const int16_t target = current - 1 <= 0 ? int16_t{1} : static_cast<int16_t>(current - 1);
    MciPlay(alias, MciGetTrackPosition(alias, QString::number(target)), {});
    return target;
}

namespace {

// The code a skip returns when the position could not be read: the status query's own
// error number when it failed, otherwise "not an integer".
int32_t positionFailure(const QString& reply)
{
    if (reply.startsWith(QLatin1String("Error:"))) {
        bool ok = false;
        const int code = reply.mid(6).toInt(&ok);
        if (ok && code != 0)
            return code;
    }
    return static_cast<int32_t>(kb::mci::MCIERR_BAD_INTEGER);
}

// Seeks `milliseconds` away from the position, in milliseconds whatever the time format,
// then puts the format back. A position that cannot be read leaves the format changed.
int32_t seekBy(ModMci& mci, const QString& alias, int64_t milliseconds)
{
    const QString saved = mci.MciGetTimeFormat(alias);
    mci.MciSetTimeFormat(QStringLiteral("milliseconds"), alias);
    const QString reply = mci.MciGetPosition(alias);
    const auto position = kb::numtext::toInt32(reply);
    if (!position)
        return positionFailure(reply);
    const int32_t code = mci.MciSeek(kb::numtext::saturatingAdd(*position, milliseconds), alias);
    mci.MciSetTimeFormat(saved, alias);
    return code;
}

} // namespace

int32_t ModMci::MciForward(const QString& alias, int32_t milliseconds)
{
    return seekBy(*this, alias, milliseconds);
}

int32_t ModMci::MciRewind(const QString& alias, int32_t milliseconds)
{
    return seekBy(*this, alias, -int64_t{milliseconds});
}
