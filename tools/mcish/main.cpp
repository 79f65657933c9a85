#include "platform/engine/Platform.h"
#include "tools/mcish/McishSession.h"

#include <QApplication>
#include <QMetaObject>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: mcish [--audio=sdl|null|capture:FILE.wav] [COMMAND...]\n"
                 "Runs MCI command strings, each argument one command, or one per line from stdin.\n"
                 "Prints \"<code> <reply or error text>\" per command and \"notify <alias> <code>\"\n"
                 "per notification; a line \"sleep <ms>\" waits while notifications arrive.\n");
}

} // namespace

int main(int argc, char** argv)
{
    kb::audio::SinkChoice sink = kb::audio::SinkChoice::fromEnvironment();
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--audio=", 0) == 0) {
            if (!kb::audio::SinkChoice::parse(arg.substr(8), sink)) {
                std::fprintf(stderr, "mcish: unknown audio output '%s'\n", arg.c_str() + 8);
                return 2;
            }
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else {
            commands.push_back(arg);
        }
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A video window closing (close, close all, state hide) must not end the shell: it
    // answers every line until its input ends.
    QApplication::setQuitOnLastWindowClosed(false);

    auto platform = kb::platform::makePlatform(sink);
    McishSession session(*platform->mci);

    std::thread reader;
    if (!commands.empty()) {
        QMetaObject::invokeMethod(&session, [&session, &commands] {
            for (auto& c : commands)
                session.addCommand(std::move(c));
            session.finish();
        }, Qt::QueuedConnection);
    } else {
        // The reader ends at end of input, which is also the only way the session finishes.
        reader = std::thread([&session] {
            std::string line;
            while (std::getline(std::cin, line))
                QMetaObject::invokeMethod(&session, [&session, line] { session.addLine(line); },
                                          Qt::QueuedConnection);
            QMetaObject::invokeMethod(&session, [&session] { session.finish(); }, Qt::QueuedConnection);
        });
    }

    const int rc = app.exec();
    if (reader.joinable())
        reader.join();
    return rc;
}
