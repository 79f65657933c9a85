#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace kbtest {

// A private X server (Xvfb on a free display number) for the length of one test.
class XvfbSession {
public:
    XvfbSession();
    ~XvfbSession();
    bool running() const { return display_ >= 0; }
    QString display() const { return QStringLiteral(":%1").arg(display_); }

private:
    int display_ = -1;
    Child server_;
};

// Readies `dir` for a player under test: a copy of `built` as dir/kobaltune, private config,
// runtime and media folders, and an environment that points the player at them, at the
// display, at dir/capture.wav for its sound and at dir/panel.json for its inspection file.
// False when the program could not be copied.
bool preparePlayerFolder(const TempDir& dir, const QString& built, const XvfbSession& xvfb, ChildEnv& env);

// Runs a program (a path, or a name found on PATH) to its end; its exit code, or -1 when it
// could not run.
int runTool(const QString& program, const QStringList& args, const ChildEnv& env, QString* output = nullptr);

// Waits (pumping nothing: the program under test is another process) until `done` holds.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

// The JSON object in a file, empty when it cannot be read.
QJsonObject readJson(const QString& path);

// Seconds of an "mm:ss" read-out, -1 when it is not one.
int readOutSeconds(const QString& text);

} // namespace kbtest
